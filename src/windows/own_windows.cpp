#include "windows/own_windows.h"

#include "windows/set_layout.h"

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

void keepOwnedWindowsAbove(const char* owner) {
    static const char* const chain[] = {set_layout::backboardClass, set_layout::scoreboardClass,
                                         set_layout::ballClass, set_layout::netClass};
    bool above = false;
    for (const char* name : chain) {
        if (above) {
            if (HWND window = findOwnWindow(name)) {
                SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            }
        }
        above = above || lstrcmpA(name, owner) == 0;
    }
}
