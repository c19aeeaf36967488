#pragma once

#include <windows.h>

// The top-level window of this process whose class name and title are both `name`, or null.
// A second copy of the program may have a set of its own on the desktop; it is never meant.
HWND findOwnWindow(const char* name);

// Restacks the windows of the set owned, directly or not, by the window of class `owner`
// above it, in owner order. A system keeps owned windows above their owner by itself; some
// (Wine's X11 driver) raise a clicked owner's native window alone, so the rim of the net or
// the ball ends up hidden behind the board. That driver restacks a native window only when a
// call changes the window's place in the system's order, and raising a window already on top
// changes nothing: so each owned window is made topmost and then not, which lands it on top.
void keepOwnedWindowsAbove(const char* owner);
