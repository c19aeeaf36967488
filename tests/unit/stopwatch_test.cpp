#include <gtest/gtest.h>

#include <cstdint>

#include "sim/stopwatch.h"
#include "sim/vector2.h"
#include "support/fake_clock.h"

namespace {

TEST(Stopwatch, TheFirstStopwatchDecidesTheMillisecondClockForEveryOther) {
    // cueGateClock was built during static initialisation and set the mode.
    EXPECT_EQ(clockMode, 0);
    EXPECT_FALSE(cueGateClock.usesPerformanceCounter());

    fake_clock::hasPerformanceCounter = true;
    Stopwatch second;
    EXPECT_FALSE(second.usesPerformanceCounter());
}

TEST(Stopwatch, MeasuresWholeMillisecondsStrictlyPastTheStepInterval) {
    fake_clock::milliseconds = 5000;
    Stopwatch watch;
    EXPECT_EQ(watch.elapsedSeconds(), 0.0);

    fake_clock::milliseconds += 50;
    EXPECT_EQ(watch.elapsedSeconds(), 50 * 0.001);
    EXPECT_FALSE(watch.elapsedSeconds() > 0.05);
    fake_clock::milliseconds += 1;
    EXPECT_TRUE(watch.elapsedSeconds() > 0.05);

    watch.restart();
    EXPECT_EQ(watch.elapsedSeconds(), 0.0);
}

TEST(Stopwatch, AReadingAcrossTheClockWrapIsSmallAndPositive) {
    fake_clock::milliseconds = 0xFFFFFFFFu - 9;  // 10 ms before the wrap
    Stopwatch watch;
    fake_clock::milliseconds = 30;               // 40 ms later, after it
    EXPECT_DOUBLE_EQ(watch.elapsedSeconds(), 0.040);
}

TEST(Stopwatch, ThePerformanceCounterModeDividesTicksByTheFrequency) {
    const int savedMode = clockMode;
    clockMode = 1;
    fake_clock::hasPerformanceCounter = true;
    fake_clock::performanceFrequency = 10000000;
    fake_clock::performanceCounter = 123456789;
    Stopwatch precise;
    fake_clock::performanceCounter += 2500000;
    EXPECT_TRUE(precise.usesPerformanceCounter());
    EXPECT_DOUBLE_EQ(precise.elapsedSeconds(), 0.25);

    fake_clock::hasPerformanceCounter = false;
    Stopwatch fallback;
    EXPECT_FALSE(fallback.usesPerformanceCounter());
    clockMode = savedMode;
    fake_clock::hasPerformanceCounter = true;
}

TEST(ClockResolution, EachGrantedRaiseIsLoweredOnceAndARefusalIsNotAskedAgainUntilRest) {
    struct Case {
        const char* what;
        bool refuse;
        int granted, refused, lowers;
    };
    // Three raises (a grab, then the loop's while the ball flies), a lower at rest, two more
    // lowers (the next rest, the way out), then a raise and a lower again.
    const Case cases[] = {
        {"granted", false, 2, 0, 2},
        {"refused", true, 0, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        lowerClockResolution();
        fake_clock::raisesGranted = fake_clock::raisesRefused = fake_clock::lowers = 0;
        fake_clock::refuseResolution = c.refuse;

        for (int i = 0; i < 3; ++i) raiseClockResolution();
        EXPECT_EQ(clockResolutionRaised(), !c.refuse);
        for (int i = 0; i < 3; ++i) lowerClockResolution();
        EXPECT_FALSE(clockResolutionRaised());
        raiseClockResolution();
        lowerClockResolution();

        EXPECT_EQ(fake_clock::raisesGranted, c.granted);
        EXPECT_EQ(fake_clock::raisesRefused, c.refused);
        EXPECT_EQ(fake_clock::lowers, c.lowers);
        EXPECT_FALSE(fake_clock::resolutionHeld);
    }
    fake_clock::refuseResolution = false;
}

TEST(Vector2, OperationsLeaveTheirOperandsAlone) {
    const Vector2 a{3.0, -4.0};
    const Vector2 b{1.5, 2.0};
    const Vector2 sum = a.add(b);
    const Vector2 diff = a.subtract(b);
    const Vector2 product = a.scale(b);
    EXPECT_EQ(sum.x, 4.5);
    EXPECT_EQ(sum.y, -2.0);
    EXPECT_EQ(diff.x, 1.5);
    EXPECT_EQ(diff.y, -6.0);
    EXPECT_EQ(product.x, 4.5);
    EXPECT_EQ(product.y, -8.0);
    EXPECT_EQ(a.x, 3.0);
    EXPECT_EQ(a.y, -4.0);

    const Vector2 gravityStep = Vector2{0.0, 1200.0}.scale({0.02, 0.02});
    EXPECT_EQ(gravityStep.x, 0.0);
    EXPECT_DOUBLE_EQ(gravityStep.y, 24.0);
}

TEST(Vector2, DistanceIsSymmetricAndZeroToItself) {
    const Vector2 a{0.0, 0.0};
    const Vector2 b{3.0, 4.0};
    EXPECT_EQ(distance(a, b), 5.0);
    EXPECT_EQ(distance(b, a), 5.0);
    EXPECT_EQ(distance(b, b), 0.0);
}

}  // namespace
