// The program's entry: one set on the desktop, the opening cue and About screen, then the set
// itself until it is closed.
#include <windows.h>

#include <memory>

#include "platform/about_screen.h"
#include "platform/resource_numbers.h"
#include "platform/sound_cues.h"
#include "app/basketball_set.h"
#include "windows/set_layout.h"

// Brings a set that is already on the desktop (of any copy of the program) to the front.
bool activateRunningCopy() {
    HWND running = FindWindowA(set_layout::backboardClass, set_layout::backboardClass);
    if (!running) return false;
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    return true;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (activateRunningCopy()) return 0;

    playCue(IDW_BIG_CHEER, instance);
    {
        auto about = std::make_unique<AboutScreen>(instance, nullptr);
        about->show();
    }

    return playBasketballSet(instance, programStepWake);
}
