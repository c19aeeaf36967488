#include <windows.h>

#include "platform/desktop.h"
#include "win/dpi.h"

namespace {

ScreenRect toScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

ScreenRect readWorkArea() {
    RECT area{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0) || IsRectEmpty(&area)) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return toScreenRect(area);
}

MonitorArea readMonitorAt(int x, int y, unsigned* dpi) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST);
    if (dpi) *dpi = monitorDpi(monitor);
    if (monitor && GetMonitorInfoA(monitor, &info) && !IsRectEmpty(&info.rcMonitor) &&
        !IsRectEmpty(&info.rcWork)) {
        return {toScreenRect(info.rcMonitor), toScreenRect(info.rcWork)};
    }
    return {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, readWorkArea()};
}
