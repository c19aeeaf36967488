#pragma once

#include <cstdint>

// The millisecond clock of the main-loop tests: it stands still unless a test moves it, and
// counts how often the loop reads it.
namespace fake_loop_clock {
extern std::uint32_t milliseconds;
extern long reads;
}  // namespace fake_loop_clock
