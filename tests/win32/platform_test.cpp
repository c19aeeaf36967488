#include <windows.h>

#include <gtest/gtest.h>

#include "platform/desktop.h"
#include "sim/stopwatch.h"

namespace {

TEST(Win32Clock, MeasuresASleepOfSixtyMillisecondsAsMoreThanAStep) {
    Stopwatch watch;
    Sleep(60);
    const double elapsed = watch.elapsedSeconds();
    EXPECT_GT(elapsed, 0.05);
    EXPECT_LT(elapsed, 5.0);
    // Every stopwatch after the first of the process reads whole milliseconds.
    EXPECT_FALSE(watch.usesPerformanceCounter());
    EXPECT_DOUBLE_EQ(elapsed * 1000.0, static_cast<double>(static_cast<long>(elapsed * 1000.0 + 0.5)));
}

TEST(Win32Desktop, WorkAreaIsWhatTheSystemReports) {
    RECT expected{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &expected, 0));
    const ScreenRect area = readWorkArea();
    EXPECT_EQ(area.left, expected.left);
    EXPECT_EQ(area.top, expected.top);
    EXPECT_EQ(area.right, expected.right);
    EXPECT_EQ(area.bottom, expected.bottom);
    EXPECT_GT(area.right - area.left, 0);
    EXPECT_GT(area.bottom - area.top, 0);
}

}  // namespace
