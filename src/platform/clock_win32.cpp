#include <windows.h>
#include <mmsystem.h>

#include "sim/clock_source.h"
#include "win/system_library.h"

namespace clock_source {

namespace {

// winmm is no KnownDLL: looked up in the system folder at first use, never imported.
using TimeGetTimeFunction = DWORD(WINAPI*)();
using TimePeriodFunction = MMRESULT(WINAPI*)(UINT);

template <typename Function>
Function winmm(const char* name) {
    return systemFunction<Function>("winmm.dll", name);
}

}  // namespace

std::uint32_t milliseconds() {
    static const auto timeGetTime = winmm<TimeGetTimeFunction>("timeGetTime");
    return timeGetTime ? timeGetTime() : GetTickCount();
}

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

bool raiseTimerResolution() {
    static const auto timeBeginPeriod = winmm<TimePeriodFunction>("timeBeginPeriod");
    return timeBeginPeriod && timeBeginPeriod(1) == TIMERR_NOERROR;
}

void lowerTimerResolution() {
    static const auto timeEndPeriod = winmm<TimePeriodFunction>("timeEndPeriod");
    if (timeEndPeriod) timeEndPeriod(1);
}

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
