#pragma once

#include <windows.h>

// The top-level window of this process whose class name and title are both `name`, or null.
// A second copy of the program may have a set of its own on the desktop; it is never meant.
HWND findOwnWindow(const char* name);
