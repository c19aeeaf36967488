#pragma once

#include <cstdint>

// The platform clocks behind every Stopwatch, and the resolution of the millisecond one. The
// Win32 side (timeGetTime, timeBeginPeriod, QueryPerformanceFrequency/Counter) is linked into
// the program; native tests link a fake.
namespace clock_source {

// Milliseconds since the system started; 32 bits wide, wraps every 2^32 ms.
std::uint32_t milliseconds();

// Ticks per second of the high-resolution counter; false when there is none.
bool performanceFrequency(std::int64_t& ticksPerSecond);

std::int64_t performanceCounter();

// Asks the system to advance the millisecond clock every millisecond (timeBeginPeriod(1));
// false when it refuses. Each granted request is given back with lowerTimerResolution.
bool raiseTimerResolution();
void lowerTimerResolution();

// How often, in milliseconds, the millisecond clock advances when nobody has raised it: the
// system's clock interrupt interval, 15.625 ms on a default Windows.
double coarseTimerPeriodMs();

}  // namespace clock_source
