#include <windows.h>
#include <mmsystem.h>

#include "sim/clock_source.h"

namespace clock_source {

std::uint32_t milliseconds() { return timeGetTime(); }

bool performanceFrequency(std::int64_t& ticksPerSecond) {
    LARGE_INTEGER f;
    const BOOL ok = QueryPerformanceFrequency(&f);
    ticksPerSecond = ok ? f.QuadPart : 0;
    return ok != FALSE;
}

std::int64_t performanceCounter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

bool raiseTimerResolution() { return timeBeginPeriod(1) == TIMERR_NOERROR; }

void lowerTimerResolution() { timeEndPeriod(1); }

// timeGetDevCaps only tells the range a program may ask for (1 to 1,000,000 ms on Windows),
// not how often the clock ticks; the clock interrupt interval does.
double coarseTimerPeriodMs() {
    DWORD adjustment = 0, increment = 0;
    BOOL disabled = FALSE;
    if (GetSystemTimeAdjustment(&adjustment, &increment, &disabled) && increment > 0)
        return increment / 10000.0;  // 100 ns units
    return 15.625;
}

}  // namespace clock_source
