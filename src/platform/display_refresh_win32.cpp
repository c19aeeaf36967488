#include "platform/display_refresh.h"

#include <dwmapi.h>

#include <vector>

#include "win/dpi.h"
#include "win/system_library.h"

namespace {

using GetTimingFunction = HRESULT(WINAPI*)(HWND, DWM_TIMING_INFO*);
using IsCompositionEnabledFunction = HRESULT(WINAPI*)(BOOL*);
using GetBufferSizesFunction = LONG(WINAPI*)(UINT32, UINT32*, UINT32*);
using QueryDisplayConfigFunction = LONG(WINAPI*)(UINT32, UINT32*, DISPLAYCONFIG_PATH_INFO*, UINT32*,
                                                 DISPLAYCONFIG_MODE_INFO*, DISPLAYCONFIG_TOPOLOGY_ID*);
using GetDeviceInfoFunction = LONG(WINAPI*)(DISPLAYCONFIG_DEVICE_INFO_HEADER*);

template <typename Function>
Function user32(const char* name) {
    return functionFrom<Function>(user32Function(name));
}

struct Rate {
    UINT32 numerator = 0, denominator = 1;
};

// The exact rate of the active display path whose source is GDI's `device` (Windows 7 on).
Rate displayConfigRate(const WCHAR* device) {
    static const auto sizes = user32<GetBufferSizesFunction>("GetDisplayConfigBufferSizes");
    static const auto query = user32<QueryDisplayConfigFunction>("QueryDisplayConfig");
    static const auto deviceInfo = user32<GetDeviceInfoFunction>("DisplayConfigGetDeviceInfo");
    if (!sizes || !query || !deviceInfo) return {};
    std::vector<DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
    LONG result = ERROR_INSUFFICIENT_BUFFER;
    // The paths can change between the two calls; a few tries, then the fallback.
    for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        UINT32 pathCount = 0, modeCount = 0;
        if (sizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS) return {};
        paths.resize(pathCount);
        modes.resize(modeCount);
        result = query(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths.data(), &modeCount, modes.data(), nullptr);
        paths.resize(pathCount);
    }
    if (result != ERROR_SUCCESS) return {};
    for (const DISPLAYCONFIG_PATH_INFO& path : paths) {
        DISPLAYCONFIG_SOURCE_DEVICE_NAME source{};
        source.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME;
        source.header.size = sizeof source;
        source.header.adapterId = path.sourceInfo.adapterId;
        source.header.id = path.sourceInfo.id;
        if (deviceInfo(&source.header) != ERROR_SUCCESS || lstrcmpiW(source.viewGdiDeviceName, device) != 0)
            continue;
        const DISPLAYCONFIG_RATIONAL rate = path.targetInfo.refreshRate;
        if (rate.Numerator != 0 && rate.Denominator != 0) return {rate.Numerator, rate.Denominator};
    }
    return {};
}

// The rate of the monitor holding most of the window. Kept for a second: the ball asks once a
// step, and QueryDisplayConfig walks every display path.
Rate monitorRate(HWND window) {
    static HMONITOR keptMonitor = nullptr;
    static DWORD keptAt = 0;
    static Rate kept;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    const DWORD now = GetTickCount();
    if (monitor == keptMonitor && now - keptAt < 1000) return kept;

    Rate rate;
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        rate = displayConfigRate(info.szDevice);
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        // 0 and 1 stand for the hardware's default.
        if (rate.numerator == 0 && EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode) &&
            mode.dmDisplayFrequency > 1)
            rate = {mode.dmDisplayFrequency, 1};
    }
    keptMonitor = monitor;
    keptAt = now;
    kept = rate;
    return rate;
}

// dwmapi is loaded once and stays loaded for the process's life.
template <typename Function>
Function dwm(const char* name) {
    return systemFunction<Function>("dwmapi.dll", name);
}

}  // namespace

RefreshReport readRefreshReport(HWND window) {
    RefreshReport report;
    LARGE_INTEGER frequency{};
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) report.ticksPerSecond = frequency.QuadPart;

    static const auto getTiming = dwm<GetTimingFunction>("DwmGetCompositionTimingInfo");
    static const auto isComposing = dwm<IsCompositionEnabledFunction>("DwmIsCompositionEnabled");
    DWM_TIMING_INFO info{};
    info.cbSize = sizeof info;
    // Null: the composition's timing; a window there is refused from Windows 8.1 on.
    if (getTiming && SUCCEEDED(getTiming(nullptr, &info))) {
        report.compositorTiming = true;
        report.compositorPeriod = static_cast<std::int64_t>(info.qpcRefreshPeriod);
        report.compositorVBlank = static_cast<std::int64_t>(info.qpcVBlank);
    }
    BOOL composing = FALSE;
    report.composition = isComposing && SUCCEEDED(isComposing(&composing)) && composing;

    const Rate rate = monitorRate(window);
    report.monitorNumerator = rate.numerator;
    report.monitorDenominator = rate.denominator;
    return report;
}

DisplayRefresh readDisplayRefresh(HWND window) { return chooseRefresh(readRefreshReport(window)); }
