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
// shown time are known. The loop steps once its millisecond clock shows more than 50 ms, 50 to
// 52 ms after the last step ended; a busy system wakes it late now and then (under Wine on a
// loaded machine one step in ten came more than 67 ms after the last). A step later than this
// holds the ball until it comes, then skips; a longer latency costs nothing the user can meet,
// since the cues, the score and a press all keep to the shown time.
constexpr double latencyMs = 68.0;
// After a release, and at the roll-in, the flight is shown from its first present on, and its
// latency grows to the above at this share of real time. The next step is counted on no later
// than this after the last: 50 to 52 ms, and a little to spare.
constexpr double rampSpeed = 0.9;
constexpr double nextStepDueMs = 55.0;
// The shown time never trails the newest keyframe by more than two steps.
constexpr double maxLagMs = 2 * 51.0;

// The first vblank strictly after `now` on the grid of `period` ticks through `vblank`.
Ticks nextVBlank(Ticks period, Ticks vblank, Ticks now);
// When to wake for the next present: half a period before its vblank, strictly after `now`
// and at most a period on.
Ticks nextWake(Ticks period, Ticks vblank, Ticks now);

}  // namespace motion
