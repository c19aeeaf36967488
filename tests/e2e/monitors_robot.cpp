// The real program on a desktop of two monitors side by side, the primary 1024 x 768 at (0, 0)
// and a second 800 x 600 at (1024, 0), as scripts/check-monitors sets them up: the ball plays on
// whichever monitor it is on, and a set dragged to the second monitor scores there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "desktop_robot.h"
#include "play.h"

namespace {

using play::describe;
using play::sameRect;

constexpr RECT primaryScreen{0, 0, 1024, 768};
constexpr RECT secondScreen{1024, 0, 1824, 600};

struct Monitor {
    RECT rect;
    RECT work;
    bool primary;
};

BOOL CALLBACK collectMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(handle, &info))
        reinterpret_cast<std::vector<Monitor>*>(data)->push_back(
            {info.rcMonitor, info.rcWork, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

std::vector<Monitor> monitors() {
    std::vector<Monitor> found;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT workAreaOf(const RECT& monitor) {
    for (const Monitor& m : monitors())
        if (sameRect(m.rect, monitor)) return m.work;
    return monitor;
}

// Waits until the ball lies still with its bottom edge on `floor`.
::testing::AssertionResult restsOn(HWND ball, LONG floor) {
    if (play::waitForRest(ball, play::restTimeoutMs, floor)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the ball did not come to rest with its bottom at "
                                         << floor << ": " << describe(windowRect(ball));
}

TEST(TwoMonitors, WineReportsBothHeads) {
    const std::vector<Monitor> found = monitors();
    for (const Monitor& m : found)
        std::printf("monitor %s, work area %s%s\n", describe(m.rect).c_str(), describe(m.work).c_str(),
                    m.primary ? ", primary" : "");
    ASSERT_EQ(found.size(), 2u);
    bool sawPrimary = false;
    bool sawSecond = false;
    for (const Monitor& m : found) {
        sawPrimary |= m.primary && sameRect(m.rect, primaryScreen);
        sawSecond |= !m.primary && sameRect(m.rect, secondScreen);
    }
    EXPECT_TRUE(sawPrimary);
    EXPECT_TRUE(sawSecond);
}

TEST(TwoMonitors, TheBallPlaysOnTheSecondMonitorAndASetMovedThereScores) {
    ASSERT_EQ(monitors().size(), 2u) << "this test needs the two-monitor display";
    const RECT secondWork = workAreaOf(secondScreen);
    Program program;
    SetWindows set;
    std::string error;
    ASSERT_TRUE(play::startSet(program, set, error)) << error;
    ASSERT_TRUE(restsOn(set.ball, workAreaOf(primaryScreen).bottom));

    // Let go in the middle of the second monitor, it falls straight onto that monitor's floor.
    ASSERT_TRUE(play::letGoAt(set.ball, {1424, 200}));
    const RECT letGo = windowRect(set.ball);
    EXPECT_GE(letGo.left, secondScreen.left);
    ASSERT_TRUE(restsOn(set.ball, secondWork.bottom));
    // It falls straight down; the nested display may echo the cursor a pixel off after the
    // release, and the ball follows that last move.
    EXPECT_LE(std::abs(windowRect(set.ball).left - letGo.left), 1);
    std::printf("let go at %s on the second monitor: rests at %s\n", describe(letGo).c_str(),
                describe(windowRect(set.ball)).c_str());

    // Thrown hard toward the primary, it bounces off the second monitor's left edge. The window
    // moves once a display frame, so the closest look may be a frame's travel before the contact,
    // which the fake clock of the unit tests proves exact; it never passes the edge.
    const POINT c = centreOf(windowRect(set.ball));
    ASSERT_TRUE(play::throwThrough(set.ball, {{c.x - 60, c.y - 10}, {c.x - 120, c.y - 20}, {c.x - 180, c.y - 30}}));
    LARGE_INTEGER frequency{}, now{};
    QueryPerformanceFrequency(&frequency);
    const auto ms = [&] { return QueryPerformanceCounter(&now), 1000.0 * now.QuadPart / frequency.QuadPart; };
    const double start = ms();
    const LONG first = windowRect(set.ball).left;
    LONG leftmost = first;
    double leftmostAt = start;
    // Looked at without pause until it has turned back from its leftmost place.
    bool turnedBack = false;
    for (double t = start; !turnedBack && t - start < play::restTimeoutMs; t = ms()) {
        const LONG x = windowRect(set.ball).left;
        if (x < leftmost) leftmost = x, leftmostAt = t;
        turnedBack = x > leftmost + 5;
    }
    EXPECT_TRUE(turnedBack) << "the ball never turned back from " << leftmost;
    // Its mean speed from the release to there, no less than its speed at the edge.
    const double frameMs = 1000.0 / 60.0;
    const double travel = (first - leftmost) / (leftmostAt - start) * frameMs;
    std::printf("thrown left on the second monitor: leftmost x %ld, %.1f px a frame\n", leftmost, travel);
    EXPECT_GE(leftmost, secondScreen.left) << "the ball passed the second monitor's left edge";
    EXPECT_LE(leftmost, secondScreen.left + travel + 1) << "the ball turned back short of the edge";
    ASSERT_TRUE(restsOn(set.ball, secondWork.bottom));
    EXPECT_GE(windowRect(set.ball).left, secondScreen.left);

    // The set dragged onto the second monitor: a ball dropped into its hoop scores there.
    constexpr int boardX = 1400;
    constexpr int boardY = 150;
    ASSERT_TRUE(play::dragSetTo(set, boardX, boardY));
    ASSERT_TRUE(waitUntil([&] { return play::readScore(set) == 0; }, play::windowTimeoutMs))
        << "score before the drop: " << play::readScore(set);
    ASSERT_TRUE(play::dropIntoHoop(set));
    EXPECT_TRUE(waitUntil([&] { return play::readScore(set) == 2; }, play::windowTimeoutMs))
        << "score after the drop: " << play::readScore(set);
    ASSERT_TRUE(restsOn(set.ball, secondWork.bottom));
    EXPECT_EQ(windowRect(set.ball).left, boardX + 67) << "a basket drops the ball through the net";
    std::printf("set at (%d, %d): a drop into its hoop shows score %d, ball rests at %s\n", boardX,
                boardY, play::readScore(set), describe(windowRect(set.ball)).c_str());

    pressKey(VK_ESCAPE);
    DWORD code = 1;
    EXPECT_TRUE(program.waitExit(play::windowTimeoutMs, code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
