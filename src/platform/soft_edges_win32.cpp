#include "platform/soft_edges.h"

#include <windows.h>

#include <cstdio>

namespace soft_edges {

int override_ = -1;

bool choose(bool underWine, Probe seen) { return !underWine || seen == Probe::blended; }

namespace {

bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

constexpr char probeClass[] = "bballprobe";

void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // not ours to take
            return;
        }
        DispatchMessageA(&message);
    }
}

// The half-black pixel as a layered window's whole picture.
bool showHalfBlack(HWND window, POINT at) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP pixel = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (pixel == nullptr) return false;
    *static_cast<DWORD*>(bits) = 0x80000000u;  // premultiplied black at alpha 128
    HDC dc = CreateCompatibleDC(nullptr);
    bool shown = false;
    if (dc != nullptr) {
        HGDIOBJ previous = SelectObject(dc, pixel);
        SIZE size{1, 1};
        POINT from{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        shown = UpdateLayeredWindow(window, nullptr, &at, &size, dc, &from, 0, &blend, ULW_ALPHA) != FALSE;
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    DeleteObject(pixel);
    return shown;
}

Probe read(HDC screen, POINT at) {
    const COLORREF c = GetPixel(screen, at.x, at.y);
    if (c == CLR_INVALID) return Probe::unknown;
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    if (r < 48 && g < 48 && b < 48) return Probe::unblended;
    if (r > 80 && r < 176 && g > 80 && g < 176 && b > 80 && b < 176) return Probe::blended;
    return Probe::notRun;  // the white beneath, or something else
}

bool white(HDC screen, POINT at) { return GetPixel(screen, at.x, at.y) == RGB(255, 255, 255); }

// Pumps and reads until `done` or the time is up.
template <class Done>
bool waitFor(Done done, DWORD start, unsigned limitMs) {
    for (;;) {
        pump();
        if (done()) return true;
        if (GetTickCount() - start >= limitMs) return false;
        Sleep(2);  // the screen is the X server's: nothing to wait on but time
    }
}

}  // namespace

Probe probeScreen(unsigned limitMs) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = probeClass;
    if (RegisterClassA(&wc) == 0) return Probe::unknown;
    const POINT at{0, 0};  // the primary monitor's corner: on screen whatever the layout
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    HWND under = CreateWindowExA(exStyle, probeClass, "", WS_POPUP, at.x, at.y, 1, 1, nullptr, nullptr, instance, nullptr);
    HWND half = CreateWindowExA(exStyle | WS_EX_LAYERED | WS_EX_TRANSPARENT, probeClass, "", WS_POPUP, at.x, at.y, 1, 1,
                                nullptr, nullptr, instance, nullptr);
    Probe seen = Probe::unknown;
    HDC screen = GetDC(nullptr);
    if (under != nullptr && half != nullptr && screen != nullptr) {
        ShowWindow(under, SW_SHOWNOACTIVATE);
        UpdateWindow(under);
        const DWORD start = GetTickCount();
        // The white first: whatever was there before it (a wallpaper) says nothing.
        if (waitFor([&] { return white(screen, at); }, start, limitMs) && showHalfBlack(half, at)) {
            ShowWindow(half, SW_SHOWNOACTIVATE);
            waitFor([&] { return (seen = read(screen, at)) != Probe::notRun; }, start, limitMs);
            if (seen == Probe::notRun) seen = Probe::unknown;
        }
    }
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    if (half != nullptr) DestroyWindow(half);
    if (under != nullptr) DestroyWindow(under);
    UnregisterClassA(probeClass, instance);
    return seen;
}

bool on() {
    if (override_ >= 0) return override_ != 0;
    static const bool chosen = [] {
        const bool wine = underWine();
        const Probe seen = wine ? probeScreen(300) : Probe::notRun;
        const bool soft = choose(wine, seen);
        if (wine) {
            static const char* const seenAs[] = {"not run", "blended", "unblended", "unknown"};
            char note[96];
            std::snprintf(note, sizeof note, "basketball: soft edges %s (the probe's pixel %s)\n", soft ? "on" : "off",
                          seenAs[static_cast<int>(seen)]);
            OutputDebugStringA(note);
        }
        return soft;
    }();
    return chosen;
}

}  // namespace soft_edges
