#pragma once

#include <windows.h>

// Loads a DLL of the system from the system folder alone, never from the program's folder,
// the current directory or PATH, where a planted copy could run inside the program. Null when
// the system has no such DLL.
// `load` stands for LoadLibraryExA.
using LoadLibraryExFn = HMODULE(WINAPI*)(LPCSTR name, HANDLE file, DWORD flags);
HMODULE loadSystemLibrary(const char* name, LoadLibraryExFn load = LoadLibraryExA);
