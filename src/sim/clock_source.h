#pragma once

#include <cstdint>

// The platform clocks behind every Stopwatch. The Win32 side (timeGetTime,
// QueryPerformanceFrequency/Counter) is linked into the program; native tests link a fake.
namespace clock_source {

// Milliseconds since the system started; 32 bits wide, wraps every 2^32 ms.
std::uint32_t milliseconds();

// Ticks per second of the high-resolution counter; false when there is none.
bool performanceFrequency(std::int64_t& ticksPerSecond);

std::int64_t performanceCounter();

}  // namespace clock_source
