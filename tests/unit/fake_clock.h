#pragma once

#include <cstdint>

// The clocks that portable tests drive by hand.
namespace fake_clock {
extern std::uint32_t milliseconds;
extern bool hasPerformanceCounter;
extern std::int64_t performanceFrequency;
extern std::int64_t performanceCounter;
}  // namespace fake_clock
