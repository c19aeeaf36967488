#include "win32/window_test_support.h"

#include "gdi_objects.h"

int pumpMessages(int limit) {
    int handled = 0;
    MSG msg;
    while (handled < limit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++handled;
    }
    return handled;
}

bool takeQuit(int* exitCode) {
    MSG msg;
    bool found = false;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        found = true;
        if (exitCode != nullptr) *exitCode = static_cast<int>(msg.wParam);
    }
    return found;
}

COLORREF pixelAt(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

void fillClient(HWND hwnd, COLORREF colour) {
    RECT client;
    GetClientRect(hwnd, &client);
    HDC dc = GetDC(hwnd);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    GdiFlush();
    ReleaseDC(hwnd, dc);
}

namespace {

// The handle table is read where GetGuiResources is a stub: trust it only once a new bitmap is
// seen to move its count by one.
bool countMovesWithANewObject() {
    const long before = gdiObjectsOf(GetCurrentProcess());
    if (before < 0) return false;
    HBITMAP probe = CreateBitmap(1, 1, 1, 1, nullptr);
    const long during = gdiObjectsOf(GetCurrentProcess());
    DeleteObject(probe);
    return during == before + 1 && gdiObjectsOf(GetCurrentProcess()) == before;
}

}  // namespace

long gdiObjectCount(std::string* how) {
    std::string method;
    const long count = gdiObjectsOf(GetCurrentProcess(), &method);
    if (how != nullptr) *how = method;
    if (count < 0 || method == "GetGuiResources") return count;
    static const bool tableWorks = countMovesWithANewObject();
    if (!tableWorks) {
        if (how != nullptr) *how = method + ", but its count does not follow a new bitmap";
        return -1;
    }
    return count;
}

namespace {
MessageSpy* activeSpy = nullptr;
}

MessageSpy::MessageSpy(std::function<void(const Seen&)> onMessage_)
    : handle(nullptr), onMessage(std::move(onMessage_)) {
    activeSpy = this;
    handle = SetWindowsHookExA(WH_CALLWNDPROC, hook, nullptr, GetCurrentThreadId());
}

MessageSpy::~MessageSpy() {
    if (handle != nullptr) UnhookWindowsHookEx(handle);
    activeSpy = nullptr;
}

LRESULT CALLBACK MessageSpy::hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && activeSpy != nullptr) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        Seen seen{sent->hwnd, sent->message, sent->wParam, sent->lParam, WINDOWPOS{}};
        if (sent->message == WM_WINDOWPOSCHANGING || sent->message == WM_WINDOWPOSCHANGED) {
            seen.position = *reinterpret_cast<const WINDOWPOS*>(sent->lParam);
        }
        activeSpy->seen.push_back(seen);
        if (activeSpy->onMessage) activeSpy->onMessage(seen);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<MessageSpy::Seen> MessageSpy::to(HWND hwnd, UINT message) const {
    std::vector<Seen> found;
    for (const Seen& each : seen) {
        if (each.hwnd == hwnd && each.message == message) found.push_back(each);
    }
    return found;
}

bool MessageSpy::sawMessage(UINT message) const {
    for (const Seen& each : seen) {
        if (each.message == message) return true;
    }
    return false;
}

void WindowTest::SetUp() {
    pumpMessages();
    takeQuit();
}

void WindowTest::TearDown() {
    pumpMessages();
    takeQuit();
    for (const std::string& name : classNames) UnregisterClassA(name.c_str(), instance);
}

const char* WindowTest::uniqueClassName(const char* stem) {
    static int next = 0;
    classNames.push_back(std::string(stem) + "-" + std::to_string(++next));
    return classNames.back().c_str();
}
