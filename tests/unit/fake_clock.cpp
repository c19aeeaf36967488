#include "unit/fake_clock.h"

#include "sim/clock_source.h"

// Constant-initialised, so the stopwatch built during static initialisation can read them.
namespace fake_clock {
std::uint32_t milliseconds = 0;
long reads = 0;
bool hasPerformanceCounter = true;
std::int64_t performanceFrequency = 1000000;
std::int64_t performanceCounter = 0;
}  // namespace fake_clock

namespace clock_source {

std::uint32_t milliseconds() {
    ++fake_clock::reads;
    return fake_clock::milliseconds;
}

bool performanceFrequency(std::int64_t& ticksPerSecond) {
    ticksPerSecond = fake_clock::hasPerformanceCounter ? fake_clock::performanceFrequency : 0;
    return fake_clock::hasPerformanceCounter;
}

std::int64_t performanceCounter() { return fake_clock::performanceCounter; }

}  // namespace clock_source
