#include "app/basketball_set.h"

#include "windows/ball_window.h"
#include "windows/backboard_window.h"
#include "windows/host_window.h"
#include "windows/net_window.h"
#include "windows/scoreboard_window.h"
#include "windows/set_layout.h"

using namespace set_layout;

namespace {

// A window of the set could not be made: close whatever exists. The objects go with the
// caller's frame, the last made first.
int abandon(HostWindow& host) {
    if (host.hwnd) SendMessageA(host.hwnd, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int playBasketballSet(HINSTANCE instance, StepWake wake) {
    HostWindow host(startX, startY);
    if (!host.create(instance)) return 0;

    BackboardWindow backboard(&host);
    if (!backboard.create(instance)) return abandon(host);

    ScoreboardWindow scoreboard(&backboard);
    if (!scoreboard.create(instance)) return abandon(host);

    BallWindow ball(&scoreboard);
    if (!ball.create(instance)) return abandon(host);

    NetWindow net(&ball);
    if (!net.create(instance)) return abandon(host);

    return runMainLoop(ball, wake);
}
