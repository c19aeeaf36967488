#include "win/system_library.h"

#include <cstring>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

HMODULE loadSystemLibrary(const char* name, LoadLibraryExFn load) {
    // Windows 8 and later, and 7 with its loader update; an older loader refuses the flag.
    if (HMODULE module = load(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    const size_t length = std::strlen(name);
    if (folder == 0 || folder + 1 + length >= MAX_PATH) return nullptr;
    path[folder] = '\\';
    std::memcpy(path + folder + 1, name, length + 1);
    return load(path, nullptr, 0);
}

FARPROC systemLibraryFunction(const char* library, const char* name) {
    HMODULE module = loadSystemLibrary(library);
    return module ? GetProcAddress(module, name) : nullptr;
}
