#include "motion/display_clock.h"

#include <cmath>

#include "sim/clock_source.h"

namespace motion {

Ticks ticksPerSecond() {
    std::int64_t perSecond = 0;
    return clock_source::performanceFrequency(perSecond) && perSecond > 0 ? perSecond : 1000;
}

Ticks now() {
    std::int64_t perSecond = 0;
    if (clock_source::performanceFrequency(perSecond) && perSecond > 0)
        return clock_source::performanceCounter();
    return clock_source::milliseconds();
}

Ticks ticksOf(double milliseconds, Ticks perSecond) {
    return std::llround(milliseconds * static_cast<double>(perSecond) / 1000.0);
}

Ticks nextVBlank(Ticks period, Ticks vblank, Ticks now) {
    const Ticks since = now - vblank;
    Ticks whole = since / period;  // toward zero; floored below
    if (whole * period > since) --whole;
    return vblank + (whole + 1) * period;
}

Ticks nextWake(Ticks period, Ticks vblank, Ticks now) {
    const Ticks half = period / 2;
    return nextVBlank(period, vblank, now + half) - half;
}

}  // namespace motion
