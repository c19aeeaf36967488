#pragma once

#include <windows.h>

// Loads a DLL of the system from the system folder alone, never from the program's folder,
// the current directory or PATH, where a planted copy could run inside the program. Null when
// the system has no such DLL.
// `load` stands for LoadLibraryExA.
using LoadLibraryExFn = HMODULE(WINAPI*)(LPCSTR name, HANDLE file, DWORD flags);
HMODULE loadSystemLibrary(const char* name, LoadLibraryExFn load = LoadLibraryExA);

// The function `name` of the system's `library` (loaded as above and kept for the process's
// life), or null where either is missing. For DLLs that are not KnownDLLs: a static import of
// one would be looked for beside the program first.
FARPROC systemLibraryFunction(const char* library, const char* name);

// A function looked up with GetProcAddress, as its own type; null stays null.
template <typename Function>
Function functionFrom(FARPROC address) {
    Function function = nullptr;
    static_assert(sizeof function == sizeof address, "function pointers of one size");
    if (address) CopyMemory(&function, &address, sizeof function);
    return function;
}

template <typename Function>
Function systemFunction(const char* library, const char* name) {
    return functionFrom<Function>(systemLibraryFunction(library, name));
}
