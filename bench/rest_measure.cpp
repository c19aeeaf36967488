// One flight step after a long pause (an About screen left open, a laptop asleep), for a
// ball at rest, one rolling along the floor and one in the air: how many times the step reads
// the monitor and its work area from the system and how long it takes, beside the catch-up that runs one
// sub-step per 20 ms of the pause. Not a test: it prints figures.
//
//   rest_measure [--hours=10]
//
// The monitors are the system's own (MonitorFromPoint under Wine or Windows); the clock
// is a stand-in that jumps over the pause.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "clocks.h"
#include "platform/desktop.h"
#include "sim/clock_source.h"
#include "sim/game_state.h"
#include "sim/unbounded_flight.h"

namespace {

std::uint32_t clockMs = 1000;

// The system's monitors, counted; everything else the ball asks for is dropped.
struct CountingDesktop : BallDesktop {
    long reads = 0;
    MonitorArea monitorAt(int x, int y) override {
        ++reads;
        return readMonitorAt(x, y);
    }
    void moveTo(int, int, int) override {}
    void playCue(int) override {}
    ScreenRect backboardRect() override { return {100, 150, 287, 284}; }
    void repaintScoreboard() override {}
    void captureMouse() override {}
    void releaseMouse() override {}
};

struct Start {
    const char* name;
    Vector2 position;  // y < 0: on the floor
    Vector2 velocity;
};

// The catch-up without an early end looks the monitor up five times a sub-step, which takes
// over 0.1 ms under Wine: it runs over a sample of the pause (every start below settles within
// it), and its reads and time are scaled to the whole pause.
const std::uint32_t sampleMs = 120u * 1000u;

void measure(const Start& start, std::uint32_t pauseMs, bool unbounded) {
    gameState = GameState{};
    CountingDesktop desktop;
    Ball ball(desktop);
    ball.position = start.position;
    if (ball.position.y < 0) ball.position.y = ball.floorY();
    ball.velocity = start.velocity;
    desktop.reads = 0;

    const std::uint32_t runMs = unbounded && pauseMs > sampleMs ? sampleMs : pauseMs;
    const double scale = static_cast<double>(pauseMs) / runMs;
    ball.tickClock.restart();
    clockMs += runMs;
    const double began = counterSeconds();
    if (unbounded) {
        unboundedCatchUp(ball, desktop, runMs);
    } else {
        ball.flightStep();
    }
    const double ms = (counterSeconds() - began) * 1000.0;
    // A catch-up that ended at a bounce read as much as it would over the whole pause.
    const bool scaled = scale > 1.0 && desktop.reads > 0 && ball.velocity.x == 0.0 && ball.velocity.y == 0.0;
    std::printf("  %-26s %-22s %10.0f monitor reads  %10.3f ms   ends at (%.1f, %.1f)%s\n", start.name,
                unbounded ? "sub-step by sub-step" : "the step", desktop.reads * (scaled ? scale : 1.0),
                ms * (scaled ? scale : 1.0), ball.position.x, ball.position.y,
                scaled ? "   (scaled from 2 min)" : "");
    std::fflush(stdout);
}

}  // namespace

namespace clock_source {
std::uint32_t milliseconds() { return clockMs; }
bool performanceFrequency(std::int64_t& ticksPerSecond) {
    ticksPerSecond = 0;
    return false;
}
std::int64_t performanceCounter() { return 0; }
bool raiseTimerResolution() { return true; }
void lowerTimerResolution() {}
double coarseTimerPeriodMs() { return 1.0; }
}  // namespace clock_source

int main(int argc, char** argv) {
    int hours = 10;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--hours=", 8) == 0) hours = std::atoi(argv[i] + 8);
    const std::uint32_t pauseMs = static_cast<std::uint32_t>(hours) * 3600u * 1000u;

    const Start starts[] = {
        {"at rest", {300.0, -1.0}, {0.0, 0.0}},
        {"rolling along the floor", {300.0, -1.0}, {200.0, 0.0}},
        {"in the air", {500.0, 300.0}, {120.0, -50.0}},
    };
    std::printf("one flight step after a pause of %d h, monitor read from the system\n", hours);
    for (const Start& start : starts) {
        measure(start, pauseMs, false);
        measure(start, pauseMs, true);
    }
    return 0;
}
