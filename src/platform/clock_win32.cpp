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

}  // namespace clock_source
