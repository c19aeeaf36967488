#pragma once

#include <windows.h>

#include "sim/flight_stepper.h"

// The refresh of the display `window` is shown on, on the performance counter: the compositor's
// period and vblank where it reports them (looked up at run time, so that Windows 7 without
// the compositor still starts), else the rate of the window's monitor on a grid of its own,
// else 60 Hz.
DisplayRefresh readDisplayRefresh(HWND window);
