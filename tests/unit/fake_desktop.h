#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/ball.h"
#include "sim/game_state.h"
#include "windows/scaled_desktop.h"
#include "support/fake_clock.h"

// Records what the ball asks of its window and the desktop, in the desktop's pixels.
struct FakeDesktop : DeviceDesktop {
    struct Move {
        int x, y, frame;
        bool operator==(const Move& o) const { return x == o.x && y == o.y && frame == o.frame; }
    };

    // The primary monitor and its work area, then any further monitors.
    ScreenRect screen{0, 0, 1024, 768};
    ScreenRect area{0, 0, 1024, 768};
    std::vector<MonitorArea> otherMonitors;
    // The primary's DPI, and those of the further monitors in their order (96 where missing).
    unsigned screenDpi = 96;
    std::vector<unsigned> otherDpis;
    long monitorReads = 0;
    ScreenRect backboard{100, 150, 287, 284};
    std::vector<Move> moves;
    std::vector<int> cues;
    int scoreboardRepaints = 0;
    int captures = 0;
    int releases = 0;

    // The monitor holding the point, else the nearest by distance to its rectangle, as the
    // system's own lookup does.
    DeviceMonitor deviceMonitorAt(int x, int y) override {
        ++monitorReads;
        DeviceMonitor best{{screen, area}, screenDpi};
        std::int64_t bestDistance = distanceSquared(screen, x, y);
        for (std::size_t i = 0; i < otherMonitors.size(); ++i) {
            const std::int64_t d = distanceSquared(otherMonitors[i].monitor, x, y);
            if (d < bestDistance) {
                best = {otherMonitors[i], i < otherDpis.size() ? otherDpis[i] : 96u};
                bestDistance = d;
            }
        }
        return best;
    }
    MonitorArea monitorAt(int x, int y) override { return deviceMonitorAt(x, y).area; }
    void moveTo(int x, int y, int frame) override { moves.push_back({x, y, frame}); }
    void playCue(int cueId) override { cues.push_back(cueId); }
    ScreenRect backboardRect() override { return backboard; }
    void repaintScoreboard() override { ++scoreboardRepaints; }
    void captureMouse() override { ++captures; }
    void releaseMouse() override { ++releases; }

    static std::int64_t distanceSquared(const ScreenRect& r, int x, int y) {
        const std::int64_t dx = x < r.left ? r.left - x : x >= r.right ? x - (r.right - 1) : 0;
        const std::int64_t dy = y < r.top ? r.top - y : y >= r.bottom ? y - (r.bottom - 1) : 0;
        return dx * dx + dy * dy;
    }
};

// Each test starts from a fresh game, a millisecond clock set by hand at an arbitrary reading
// and the system timer's resolution as the system starts it.
inline void resetWorld(std::uint32_t nowMs = 100000) {
    gameState = GameState{};
    lowerClockResolution();
    fake_clock::stopTicking();
    fake_clock::refuseResolution = false;
    fake_clock::raisesGranted = fake_clock::raisesRefused = fake_clock::lowers = 0;
    fake_clock::milliseconds = nowMs;
}

// Runs one flight step that measures exactly `ms` milliseconds.
inline void stepBy(Ball& ball, std::uint32_t ms) {
    ball.tickClock.restart();
    fake_clock::milliseconds += ms;
    ball.flightStep();
}
