#pragma once

// The clock the ball is shown by, and the display's refresh on it. Portable: no <windows.h>.
#include <cstdint>

namespace motion {

using Ticks = std::int64_t;

// The performance counter, or the millisecond clock on a system without one.
Ticks now();
Ticks ticksPerSecond();
Ticks ticksOf(double milliseconds, Ticks perSecond);

// How far behind its present the ball is shown: one step, so that the keyframes around the
// shown time are always known. The loop steps once its millisecond clock shows more than 50 ms,
// 50 to 52 ms after the last step ended; the step itself, the high-resolution timer's wake and
// the two clocks' disagreement add up to about 3 ms more.
constexpr double latencyMs = 56.0;
// The shown time never trails the newest keyframe by more than two steps.
constexpr double maxLagMs = 2 * 51.0;

// The first vblank strictly after `now` on the grid of `period` ticks through `vblank`.
Ticks nextVBlank(Ticks period, Ticks vblank, Ticks now);
// When to wake for the next present: half a period before its vblank, strictly after `now`
// and at most a period on.
Ticks nextWake(Ticks period, Ticks vblank, Ticks now);

}  // namespace motion
