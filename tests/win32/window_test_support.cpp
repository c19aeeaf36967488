#include "win32/window_test_support.h"

#include <cstdint>

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

// One entry of the GDI handle table as Wine lays it out for both bitnesses.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;  // low byte: bit 7 marks a stock object
    std::uint8_t type;     // 0: free
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "Wine's GDI handle entry is 24 bytes");

constexpr int gdiHandleCount = 0x10000;

const GdiHandleEntry* handleTable() {
    using GetPeb = const void*(WINAPI*)();
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    FARPROC proc = ntdll != nullptr ? GetProcAddress(ntdll, "RtlGetCurrentPeb") : nullptr;
    if (proc == nullptr) return nullptr;
    const void* peb = reinterpret_cast<GetPeb>(reinterpret_cast<void (*)()>(proc))();
    // GdiSharedHandleTable: not in the public PEB declaration; its offset is fixed per bitness.
    const std::size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    return *reinterpret_cast<const GdiHandleEntry* const*>(static_cast<const char*>(peb) + offset);
}

long countHandleTable() {
    const GdiHandleEntry* table = handleTable();
    if (table == nullptr) return -1;
    long count = 0;
    for (int i = 0; i < gdiHandleCount; ++i) {
        if (table[i].type != 0 && (table[i].unique & 0x80) == 0) ++count;
    }
    return count;
}

bool handleTableCountsObjects() {
    const long before = countHandleTable();
    if (before < 0) return false;
    HBITMAP probe = CreateBitmap(1, 1, 1, 1, nullptr);
    const long during = countHandleTable();
    DeleteObject(probe);
    return during == before + 1 && countHandleTable() == before;
}

}  // namespace

long gdiObjectCount(std::string* how) {
    SetLastError(0);
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        if (how != nullptr) *how = "GetGuiResources";
        return static_cast<long>(reported);
    }
    static const bool tableWorks = handleTableCountsObjects();
    if (!tableWorks) return -1;
    if (how != nullptr) *how = "the process's GDI handle table (GetGuiResources is a stub here)";
    return countHandleTable();
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
