#include <gtest/gtest.h>

#include "platform/display_refresh_choice.h"

namespace {

constexpr std::int64_t perSecond = 10'000'000;  // the performance counter's rate on Windows 10
constexpr std::int64_t vblank = 1'234'567;      // a vblank of the compositor's grid

std::int64_t periodOf(double hz) { return static_cast<std::int64_t>(perSecond / hz + 0.5); }

struct Case {
    const char* what;
    double compositorHz;  // 0: DwmGetCompositionTimingInfo failed
    bool composition;
    std::uint32_t monitorNumerator, monitorDenominator;
    std::int64_t period, vblank;  // chosen
};

TEST(DisplayRefresh, TheBallIsPacedAtTheLowerOfTheCompositorsAndItsMonitorsRate) {
    const Case cases[] = {
        {"compositor 60, ball on 144", 60, true, 144, 1, periodOf(60), 0},
        {"compositor 144, ball on 60", 144, true, 60, 1, periodOf(60), 0},
        {"compositor 240, ball on 60", 240, true, 60, 1, periodOf(60), 0},
        {"compositor 240, ball on 240", 240, true, 240, 1, periodOf(240), vblank},
        {"both 144 as 143.98 and 144", 143.98, true, 144, 1, periodOf(143.98), vblank},
        {"within 2 %: 59.94 and 60", 60, true, 60000, 1001, periodOf(60), vblank},
        {"apart by 2.5 %: 60 and 61.5", 61.5, true, 60, 1, periodOf(60), 0},
        {"59.94 alone, the compositor failing", 0, true, 60000, 1001, 166'833, 0},
        {"the compositor failing, 75 Hz monitor", 0, true, 75, 1, periodOf(75), 0},
        {"the compositor failing, rate unknown", 0, true, 0, 1, periodOf(60), 0},
        {"the compositor alone", 144, true, 0, 1, periodOf(144), vblank},
        {"5 Hz reported alone", 0, true, 5, 1, periodOf(60), 0},
        {"5 Hz reported, compositor 144", 144, true, 5, 1, periodOf(144), vblank},
        {"2000 Hz reported", 0, true, 2000, 1, periodOf(60), 0},
        {"a compositor at 5 Hz is a misreading", 5, true, 50, 1, periodOf(50), 0},
        {"a zero denominator", 0, true, 60, 0, periodOf(60), 0},
        {"no composition, 144 Hz monitor", 0, false, 144, 1, periodOf(60), 0},
        {"no composition, 50 Hz monitor", 0, false, 50, 1, periodOf(50), 0},
        {"no composition, 59.94 Hz monitor", 0, false, 60000, 1001, 166'833, 0},
        // Wine: the timing succeeds at 60 Hz while composition is reported off.
        {"no composition, compositor 60 (Wine)", perSecond / 166'666.0, false, 0, 1, 166'666, vblank},
        {"no composition, compositor 60, monitor 60", 60, false, 60, 1, periodOf(60), vblank},
        {"no composition, 62 Hz monitor", 0, false, 62, 1, periodOf(60), 0},
        {"no composition, compositor 240 on 240", 240, false, 240, 1, periodOf(60), 0},
    };
    for (const Case& c : cases) {
        const DisplayRefresh chosen =
            chooseRefresh({perSecond, c.compositorHz > 0, c.compositorHz > 0 ? periodOf(c.compositorHz) : 0, vblank,
                           c.composition, c.monitorNumerator, c.monitorDenominator});
        EXPECT_EQ(chosen.period, c.period) << c.what;
        EXPECT_EQ(chosen.vblank, c.vblank) << c.what;
    }
}

TEST(DisplayRefresh, WithoutTheCountersRateNothingIsChosen) {
    EXPECT_EQ(chooseRefresh({0, true, 166'666, 0, true, 60, 1}).period, 0);
}

}  // namespace
