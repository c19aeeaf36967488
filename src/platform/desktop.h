#pragma once

#include "sim/ball.h"

// The work area (the desktop less the taskbar) in screen pixels, read afresh at every call.
// Where the system cannot report it, the primary screen's rectangle stands in.
ScreenRect readWorkArea();
