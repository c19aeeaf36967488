#pragma once

#include <cstdint>

// The clocks that tests drive by hand. The millisecond clock counts how often it is read.
namespace fake_clock {
extern std::uint32_t milliseconds;
extern long reads;
extern bool hasPerformanceCounter;
extern std::int64_t performanceFrequency;
extern std::int64_t performanceCounter;
}  // namespace fake_clock
