#include "platform/display_refresh.h"

#include <dwmapi.h>

#include "win/system_library.h"

namespace {

using GetTimingFunction = HRESULT(WINAPI*)(HWND, DWM_TIMING_INFO*);

GetTimingFunction compositionTiming() {
    static const GetTimingFunction function = [] {
        GetTimingFunction found = nullptr;
        if (HMODULE dwm = loadSystemLibrary("dwmapi.dll")) {
            const FARPROC address = GetProcAddress(dwm, "DwmGetCompositionTimingInfo");
            static_assert(sizeof found == sizeof address, "function pointers of one size");
            if (address) CopyMemory(&found, &address, sizeof found);
        }
        return found;  // the library stays loaded for the process's life
    }();
    return function;
}

// Rates outside these are no display's: a period read wrong.
bool plausible(LONGLONG period, LONGLONG perSecond) {
    return period >= perSecond / 1000 && period <= perSecond / 10 && period > 0;
}

// The rate of the monitor holding most of the window; 0 where unknown (0 and 1 stand for the
// hardware's default).
DWORD monitorRate(HWND window) {
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return 0;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(info.szDevice, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0;
}

}  // namespace

DisplayRefresh readDisplayRefresh(HWND window) {
    LARGE_INTEGER frequency{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return {};
    const LONGLONG perSecond = frequency.QuadPart;

    if (const GetTimingFunction get = compositionTiming()) {
        DWM_TIMING_INFO info{};
        info.cbSize = sizeof info;
        // Null: the composition's timing; a window there is refused from Windows 8.1 on.
        if (SUCCEEDED(get(nullptr, &info)) &&
            plausible(static_cast<LONGLONG>(info.qpcRefreshPeriod), perSecond)) {
            return {static_cast<std::int64_t>(info.qpcRefreshPeriod), static_cast<std::int64_t>(info.qpcVBlank)};
        }
    }
    const DWORD hz = monitorRate(window);
    return {perSecond / (hz ? hz : 60), 0};
}
