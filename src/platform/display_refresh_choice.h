#pragma once

// Which refresh the ball is paced at, from what the system reports. Portable: no <windows.h>.
#include <cstdint>

#include "sim/flight_stepper.h"

// What the system says, on the performance counter (`ticksPerSecond`).
struct RefreshReport {
    std::int64_t ticksPerSecond = 0;
    // The compositor's clock (DwmGetCompositionTimingInfo): one clock for every monitor, the
    // primary's or the fastest one's, so not necessarily the ball's.
    bool compositorTiming = false;
    std::int64_t compositorPeriod = 0;
    std::int64_t compositorVBlank = 0;
    // DwmIsCompositionEnabled; false where the function is missing or fails.
    bool composition = false;
    // The rate of the monitor under the ball as numerator / denominator Hz (60000 / 1001 for
    // 59.94 Hz); a numerator of 0: unknown.
    std::uint32_t monitorNumerator = 0;
    std::uint32_t monitorDenominator = 1;
};

// The lower of the compositor's rate and the monitor's, on the compositor's vblank grid only
// where the two agree within 2 %, else on a grid of its own (vblank 0). A rate outside 10 to
// 1000 Hz is a misreading and stands aside; with neither, 60 Hz. Without composition every move
// repaints the windows beneath, so at most 60 presents a second (within 2 %). A period of 0 only
// where the counter's rate is unknown.
DisplayRefresh chooseRefresh(const RefreshReport& report);
