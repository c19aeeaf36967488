#include "windows/own_windows.h"

HWND findOwnWindow(const char* name) {
    const DWORD self = GetCurrentProcessId();
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, name, name)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(found, &process);
        if (process == self) return found;
    }
    return nullptr;
}
