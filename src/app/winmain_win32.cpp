// The program's entry: one set on the desktop, the opening cue and About screen, then the set
// itself until it is closed.
#include <windows.h>

#include <memory>

#include "platform/about_screen.h"
#include "platform/dpi_awareness.h"
#include "platform/pictures.h"
#include "platform/sound_cues.h"
#include "app/basketball_set.h"
#include "res/resource_ids.h"
#include "windows/set_layout.h"

// Brings a set that is already on the desktop (of any copy of the program) to the front,
// restored first if it was minimised.
bool activateRunningCopy() {
    HWND running = FindWindowA(set_layout::backboardClass, set_layout::backboardClass);
    if (!running) return false;
    // The taskbar button is the host's, the board's owner: minimising it hides the whole set,
    // while the board itself never becomes iconic.
    HWND host = GetWindow(running, GW_OWNER);
    if (host && IsIconic(host)) ShowWindow(host, SW_RESTORE);
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    return true;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before any window: the manifest asks for the same, but a system may not read it.
    enableDpiAwareness();
    if (activateRunningCopy()) return 0;
    // The codecs stay loaded for the About screens and every change of scale.
    PictureCodecs codecs;

    playCue(IDW_BIG_CHEER, instance);
    {
        auto about = std::make_unique<AboutScreen>(instance, nullptr);
        about->show();
    }

    return playBasketballSet(instance, programStepWake);
}
