#pragma once

#include <windows.h>

#include "platform/display_refresh_choice.h"
#include "sim/flight_stepper.h"

// What the system reports of the refresh of the display `window` is shown on: the compositor's
// timing and whether it composes (dwmapi, looked up at run time, so that a Windows without it
// still starts), and the exact rate of the window's monitor (QueryDisplayConfig, looked up at
// run time, else EnumDisplaySettings).
RefreshReport readRefreshReport(HWND window);
// The refresh the ball on `window` is paced at: chooseRefresh of the report.
DisplayRefresh readDisplayRefresh(HWND window);
