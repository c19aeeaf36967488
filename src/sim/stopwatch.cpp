#include "sim/stopwatch.h"

#include "sim/clock_source.h"

int clockMode = -1;

Stopwatch::Stopwatch() {
    if (clockMode == -1) {
        clockMode = 0;
    } else if (clockMode != 0) {
        if (!clock_source::performanceFrequency(frequency)) frequency = 0;
    }
    restart();
}

void Stopwatch::restart() {
    start = frequency != 0 ? clock_source::performanceCounter()
                           : static_cast<std::int64_t>(clock_source::milliseconds());
}

double Stopwatch::elapsedSeconds() const {
    if (frequency != 0) {
        const std::int64_t now = clock_source::performanceCounter();
        return static_cast<double>(now - start) / static_cast<double>(frequency);
    }
    // The difference is taken in 32 bits so that a reading across the clock's wrap
    // (every ~49.7 days of uptime) is small and positive rather than hugely negative.
    const std::uint32_t elapsedMs =
        clock_source::milliseconds() - static_cast<std::uint32_t>(start);
    return static_cast<double>(elapsedMs) * 0.001;
}

namespace {
bool resolutionRaised = false;
bool resolutionRefused = false;
}  // namespace

void raiseClockResolution() {
    if (resolutionRaised || resolutionRefused) return;
    resolutionRaised = clock_source::raiseTimerResolution();
    resolutionRefused = !resolutionRaised;
}

void lowerClockResolution() {
    if (resolutionRaised) clock_source::lowerTimerResolution();
    resolutionRaised = resolutionRefused = false;
}

bool clockResolutionRaised() { return resolutionRaised; }

// Defined after clockMode in this file, so clockMode (constant-initialised anyway) is -1
// when this, the process's first stopwatch, is constructed.
Stopwatch cueGateClock;
