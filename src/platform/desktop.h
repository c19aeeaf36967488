#pragma once

#include "sim/ball.h"

// The work area (the desktop less the taskbar) in screen pixels, read afresh at every call.
// Where the system cannot report it, the primary screen's rectangle stands in.
ScreenRect readWorkArea();

// The monitor that holds screen point (x, y), or the nearest one when the point is on none,
// with its work area, read afresh at every call. Where the system cannot say, the primary
// screen's rectangle and readWorkArea() stand in.
// With `dpi`, also the monitor's DPI (the system's where the monitor cannot say).
MonitorArea readMonitorAt(int x, int y, unsigned* dpi = nullptr);
