#pragma once

#include <cstdint>

// Wall-clock time since the last restart, in seconds. Runs from construction.
class Stopwatch {
public:
    Stopwatch();

    void restart();
    double elapsedSeconds() const;

    bool usesPerformanceCounter() const { return frequency != 0; }

private:
    std::int64_t frequency = 0;  // counter ticks per second; 0 selects the millisecond clock
    std::int64_t start = 0;      // counter ticks, or milliseconds widened with a zero high half
};

// Which clock stopwatches read: -1 undecided, 0 milliseconds, otherwise the performance
// counter. The first stopwatch of the process decides it, and it always decides 0.
extern int clockMode;

// The first stopwatch of the process, built during static initialisation; it times the
// gate on long sound cues.
extern Stopwatch cueGateClock;

// The millisecond clock's resolution. The system advances it every 15.625 ms unless a program
// asks for 1 ms; the gesture and the flight are timed to the millisecond, so the program asks
// while the ball is held or flies, and gives it back at rest, where a raised resolution would
// cost the whole machine power. Both calls may be repeated: the requests to the system stay
// balanced, and one that was refused is not asked again until the next lowering.
void raiseClockResolution();
void lowerClockResolution();
bool clockResolutionRaised();
