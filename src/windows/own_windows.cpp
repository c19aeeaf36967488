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
        HWND window = above ? findOwnWindow(name) : nullptr;
        above = above || lstrcmpA(name, owner) == 0;
        if (!window) continue;
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    }
}
