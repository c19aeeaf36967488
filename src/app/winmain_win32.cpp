// The program's entry: one set on the desktop, the opening cue and About screen, the five
// windows in their owner chain, then the main loop until the set is closed.
#include <windows.h>

#include <memory>

#include "app/about_screen.h"
#include "app/main_loop.h"
#include "app/sound_cues.h"
#include "app/resource_numbers.h"
#include "windows/ball_window.h"
#include "windows/backboard_window.h"
#include "windows/host_window.h"
#include "windows/net_window.h"
#include "windows/scoreboard_window.h"

// Brings a set that is already on the desktop (of any copy of the program) to the front.
bool activateRunningCopy() {
    HWND running = FindWindowA("backboard", "backboard");
    if (!running) return false;
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    return true;
}

namespace {

constexpr int hostX = 100;
constexpr int hostY = 150;

// A window of the set could not be made: close whatever exists. The objects go with
// WinMain's frame, the last made first.
int abandonStartUp(HostWindow& host) {
    if (host.hwnd) SendMessageA(host.hwnd, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (activateRunningCopy()) return 0;

    playCue(IDW_BIG_CHEER, instance);
    {
        auto about = std::make_unique<AboutScreen>(instance, nullptr);
        about->show();
    }

    HostWindow host(hostX, hostY);
    if (!host.create(instance)) return 0;

    BackboardWindow backboard("backboard", 187, 134, IDC_HAND, IDB_BACKBOARD, &host);
    if (!backboard.create(instance)) return abandonStartUp(host);

    ScoreboardWindow scoreboard("bballscoreb", 187, 42, 0, IDB_SCOREBOARD, &backboard);
    if (!scoreboard.create(instance)) return abandonStartUp(host);

    BallWindow ball(&scoreboard);
    if (!ball.create(instance)) return abandonStartUp(host);

    NetWindow net("bballnet", 83, 76, 0, IDB_NET, 1, &ball);
    if (!net.create(instance)) return abandonStartUp(host);

    return runMainLoop(ball);
}
