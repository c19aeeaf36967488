#pragma once

#include <cstdint>

// The clocks that tests drive by hand. The millisecond clock counts how often it is read.
namespace fake_clock {
extern std::uint32_t milliseconds;
extern long reads;
extern bool hasPerformanceCounter;
extern std::int64_t performanceFrequency;
extern std::int64_t performanceCounter;

// The system timer's resolution: whether a raise is granted, whether one is held, the calls
// made, and the period of the clock while nothing is raised.
extern bool refuseResolution;
extern bool resolutionHeld;
extern int raisesGranted;
extern int raisesRefused;
extern int lowers;
extern double coarsePeriodMs;

// A millisecond clock that ticks as the system's does: it shows true time rounded down to its
// tick, the coarse period until the resolution is raised and 1 ms while it is. The true time
// is set by hand (advanceTrueTime, or the main-loop tests' waits), and the performance counter
// follows it.
void tickLikeTheSystem(double trueMs);
void advanceTrueTime(double ms);
bool ticking();
// Back to the hand-set clock of the other tests.
void stopTicking();
}  // namespace fake_clock
