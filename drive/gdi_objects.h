#pragma once

// Counting the GDI objects a process holds, for the leak checks of the tests and the measuring
// programs. Works on this process and on another one started by the caller.
#include <windows.h>

#include <string>

// GDI objects held by `process`, stock objects excepted, or -1 when they cannot be counted;
// `how` names the method used, or why it failed. GetGuiResources where the system implements
// it; Wine's is a stub, so there the process's GDI handle table is read instead.
long gdiObjectsOf(HANDLE process, std::string* how = nullptr);
