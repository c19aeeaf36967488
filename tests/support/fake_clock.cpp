#include "support/fake_clock.h"

#include <cmath>

#include "sim/clock_source.h"

// Constant-initialised, so the stopwatch built during static initialisation can read them.
namespace fake_clock {
std::uint32_t milliseconds = 0;
long reads = 0;
bool hasPerformanceCounter = true;
std::int64_t performanceFrequency = 1000000;
std::int64_t performanceCounter = 0;
bool refuseResolution = false;
bool resolutionHeld = false;
int raisesGranted = 0;
int raisesRefused = 0;
int lowers = 0;
double coarsePeriodMs = 15.625;

namespace {
bool trueTime = false;
double trueMs = 0.0;

// What a system clock shows at true time `ms`: the time of its latest tick.
std::uint32_t shown(double ms) {
    const double tick = resolutionHeld ? 1.0 : coarsePeriodMs;
    return static_cast<std::uint32_t>(std::floor(std::floor(ms / tick) * tick));
}
}  // namespace

void tickLikeTheSystem(double ms) {
    trueTime = true;
    trueMs = ms;
    milliseconds = shown(trueMs);
    performanceCounter = std::llround(trueMs * static_cast<double>(performanceFrequency) / 1000.0);
}

void advanceTrueTime(double ms) { tickLikeTheSystem(trueMs + ms); }

bool ticking() { return trueTime; }

void stopTicking() { trueTime = false; }
}  // namespace fake_clock

namespace clock_source {

using namespace fake_clock;

std::uint32_t milliseconds() {
    ++fake_clock::reads;
    return fake_clock::milliseconds;
}

bool performanceFrequency(std::int64_t& ticksPerSecond) {
    ticksPerSecond = hasPerformanceCounter ? fake_clock::performanceFrequency : 0;
    return hasPerformanceCounter;
}

std::int64_t performanceCounter() { return fake_clock::performanceCounter; }

bool raiseTimerResolution() {
    if (refuseResolution) {
        ++raisesRefused;
        return false;
    }
    ++raisesGranted;
    resolutionHeld = true;
    if (trueTime) fake_clock::milliseconds = shown(trueMs);
    return true;
}

void lowerTimerResolution() {
    ++lowers;
    resolutionHeld = false;
    if (trueTime) fake_clock::milliseconds = shown(trueMs);
}

double coarseTimerPeriodMs() { return coarsePeriodMs; }

}  // namespace clock_source
