#include "win32_loop/fake_loop_clock.h"

#include "sim/clock_source.h"

namespace fake_loop_clock {
std::uint32_t milliseconds = 0;
long reads = 0;
}  // namespace fake_loop_clock

namespace clock_source {

std::uint32_t milliseconds() {
    ++fake_loop_clock::reads;
    return fake_loop_clock::milliseconds;
}

bool performanceFrequency(std::int64_t& ticksPerSecond) {
    ticksPerSecond = 0;
    return false;
}

std::int64_t performanceCounter() { return 0; }

}  // namespace clock_source
