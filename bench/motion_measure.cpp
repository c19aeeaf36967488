// Plays the start-up roll-in and a few throws of the real program for scripts/measure-motion,
// whose recorder times the ball window's moves on the X server. This program only acts and
// marks the phases: "program <file>" once the program runs, "start <phase>" and "end <phase>"
// around each flight, "result ..." when something went wrong.
//
//   motion_measure basketball.exe [--launches=3] [--throws=3]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "play.h"
#include "print_line.h"

using namespace play;

namespace {

std::string fileNameOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A throw up and toward the middle of the screen from wherever the ball lies. The phase is
// marked after the last move of the hand and before the release, so that no move of the held
// ball falls inside it (each move of the hand waits until the program has seen it).
bool throwOnce(HWND ball) {
    const POINT c = centreOf(windowRect(ball));
    const int dx = c.x > 512 ? -13 : 13;
    if (!grabBall(ball)) {
        leftUp();
        return false;
    }
    mouseTo(c.x + dx, c.y - 40);
    mouseTo(c.x + 2 * dx, c.y - 80);
    line("start throw");
    leftUp();
    return true;
}

bool playOnce(int throws) {
    parkMouse();
    Program program;
    if (!program.start()) {
        line("result cannot start %s", programPath.c_str());
        return false;
    }
    if (!waitUntil([&] { return findAboutScreen(program.pid) != nullptr; }, firstWindowTimeoutMs)) {
        line("result no About screen");
        return false;
    }
    line("program %s", fileNameOf(programPath).c_str());
    // The ball rolls in as soon as the screen closes.
    line("start rollin");
    if (!closeAboutScreen(program.pid)) {
        line("result a click did not close the About screen");
        return false;
    }
    SetWindows set;
    if (!waitUntil([&] { return findSet(program.pid, set); }, windowTimeoutMs)) {
        line("result the five windows did not appear");
        return false;
    }
    parkMouse();
    const bool rested = waitForRest(set.ball);
    line("end rollin");
    if (!rested) line("result the ball did not come to rest after the roll-in");
    for (int i = 0; i < throws && rested; ++i) {
        if (!throwOnce(set.ball)) {
            line("result throw %d missed the ball", i + 1);
            waitForRest(set.ball);
            continue;
        }
        parkMouse();
        const bool still = waitForRest(set.ball);
        line("end throw");
        if (!still) line("result the ball did not come to rest after throw %d", i + 1);
        Sleep(300);
    }
    if (HWND menu = openMenu(program, set)) chooseMenuItem(menu, menuExit);
    DWORD code = 1;
    if (!program.waitExit(windowTimeoutMs, code)) line("result the program did not end");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int launches = 3, throws = 3;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strncmp(a, "--launches=", 11) == 0) launches = std::atoi(a + 11);
        else if (std::strncmp(a, "--throws=", 9) == 0) throws = std::atoi(a + 9);
        else programPath = a;
    }
    if (programPath.empty()) {
        std::fprintf(stderr, "usage: motion_measure basketball.exe [--launches=3] [--throws=3]\n");
        return 2;
    }
    for (int i = 0; i < launches; ++i)
        if (!playOnce(throws)) return 1;
    return 0;
}
