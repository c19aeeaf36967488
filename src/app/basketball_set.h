#pragma once

#include <windows.h>

#include "app/main_loop.h"

// Builds the five windows of the set in their owner chain, then runs the main loop until the
// set is closed. Returns the exit code: the WM_QUIT code, or 0 when a window cannot be made
// (whatever exists of the set is closed first).
int playBasketballSet(HINSTANCE instance, StepWake wake);

// How the program's loop sleeps; each program links the one translation unit that defines
// it (the measuring baseline's never sleeps).
extern const StepWake programStepWake;
