#pragma once

// The scale of a window or a monitor. Every function newer than Windows 7 is looked up at run
// time, so that the program still starts there.
#include <windows.h>

// GetDpiForWindow, else the DPI of the window's monitor, else the system's.
unsigned windowDpi(HWND window);
// GetDpiForMonitor (shcore), else the system's.
unsigned monitorDpi(HMONITOR monitor);
// The screen's LOGPIXELSX.
unsigned systemDpi();
// The width of a cursor at `dpi`: GetSystemMetricsForDpi where it exists.
int cursorSizeForDpi(unsigned dpi);
// GetProcAddress of a function of user32 or shcore (loaded on first use), or null.
FARPROC user32Function(const char* name);
FARPROC shcoreFunction(const char* name);
