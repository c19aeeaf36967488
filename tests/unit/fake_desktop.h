#pragma once

#include <string>
#include <vector>

#include "sim/ball.h"
#include "sim/game_state.h"
#include "unit/fake_clock.h"

// Records what the ball asks of its window and the desktop.
struct FakeDesktop : BallDesktop {
    struct Move {
        int x, y, frame;
        bool operator==(const Move& o) const { return x == o.x && y == o.y && frame == o.frame; }
    };

    ScreenRect area{0, 0, 1024, 768};
    ScreenRect backboard{100, 150, 287, 284};
    std::vector<Move> moves;
    std::vector<int> cues;
    int scoreboardRepaints = 0;
    int captures = 0;
    int releases = 0;
    long workAreaReads = 0;

    ScreenRect workArea() override {
        ++workAreaReads;
        return area;
    }
    void moveTo(int x, int y, int frame) override { moves.push_back({x, y, frame}); }
    void playCue(int cueId) override { cues.push_back(cueId); }
    ScreenRect backboardRect() override { return backboard; }
    void repaintScoreboard() override { ++scoreboardRepaints; }
    void captureMouse() override { ++captures; }
    void releaseMouse() override { ++releases; }
};

// Each test starts from a fresh game and a millisecond clock at an arbitrary reading.
inline void resetWorld(std::uint32_t nowMs = 100000) {
    gameState = GameState{};
    fake_clock::milliseconds = nowMs;
}

// Runs one flight step that measures exactly `ms` milliseconds.
inline void stepBy(Ball& ball, std::uint32_t ms) {
    ball.tickClock.restart();
    fake_clock::milliseconds += ms;
    ball.flightStep();
}
