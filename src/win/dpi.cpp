#include "win/dpi.h"

#include "win/system_library.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

constexpr int mdtEffectiveDpi = 0;

template <typename Fn>
Fn as(FARPROC f) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(f));
}

}  // namespace

FARPROC user32Function(const char* name) {
    static HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

// Loaded once and kept; present from Windows 8.1 on.
FARPROC shcoreFunction(const char* name) {
    static HMODULE shcore = loadSystemLibrary("shcore.dll");
    return shcore ? GetProcAddress(shcore, name) : nullptr;
}

unsigned systemDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

unsigned monitorDpi(HMONITOR monitor) {
    static const auto getDpiForMonitor = as<GetDpiForMonitorFn>(shcoreFunction("GetDpiForMonitor"));
    UINT x = 0, y = 0;
    if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, mdtEffectiveDpi, &x, &y)) && x > 0)
        return x;
    return systemDpi();
}

unsigned windowDpi(HWND window) {
    static const auto getDpiForWindow = as<GetDpiForWindowFn>(user32Function("GetDpiForWindow"));
    if (getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return dpi;
    }
    return monitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int cursorSizeForDpi(unsigned dpi) {
    static const auto forDpi = as<GetSystemMetricsForDpiFn>(user32Function("GetSystemMetricsForDpi"));
    if (forDpi) return forDpi(SM_CXCURSOR, dpi);
    return MulDiv(GetSystemMetrics(SM_CXCURSOR), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}
