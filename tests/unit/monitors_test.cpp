#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/fake_desktop.h"

namespace {

// A desktop of four monitors of different sizes: the primary with a taskbar at the bottom,
// a taller one to its left and above it (negative coordinates), a shorter one to its right
// with a taskbar of its own, and a small one beyond a gap.
const MonitorArea leftOfPrimary{{-1280, -256, 0, 768}, {-1280, -256, 0, 768}};
const MonitorArea rightOfPrimary{{1024, 0, 1824, 600}, {1024, 0, 1824, 570}};
const MonitorArea beyondAGap{{2000, 100, 2640, 580}, {2000, 100, 2640, 580}};
const MonitorArea primary{{0, 0, 1024, 768}, {0, 0, 1024, 728}};

struct Named {
    const char* name;
    MonitorArea field;
};
const Named monitors[] = {
    {"primary", primary},
    {"left of the primary", leftOfPrimary},
    {"right of the primary", rightOfPrimary},
    {"beyond a gap", beyondAGap},
};

class Monitors : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        desktop.screen = primary.monitor;
        desktop.area = primary.workArea;
        desktop.otherMonitors = {leftOfPrimary, rightOfPrimary, beyondAGap};
    }

    // Lets the ball fly in 51 ms steps until it lies still on the floor within both walls;
    // false if it never does.
    bool flyUntilRest() {
        for (int step = 0; step < 60 * 20; ++step) {
            stepBy(ball, 51);
            const bool still = ball.velocity.x == 0.0 && ball.velocity.y == 0.0;
            const bool onTheFloor = ball.position.y == ball.floorY();
            const bool withinTheWalls = ball.position.x >= ball.leftWallX() &&
                                        ball.position.x + ball.width <= ball.workAreaRight();
            if (still && onTheFloor && withinTheWalls) return true;
        }
        return false;
    }

    // Every window position since the ball was let go lies on that monitor.
    void expectEveryMoveOn(const MonitorArea& p) {
        for (const FakeDesktop::Move& m : desktop.moves) {
            SCOPED_TRACE(testing::Message() << "window at (" << m.x << ", " << m.y << ")");
            EXPECT_GE(m.x, p.monitor.left);
            EXPECT_LE(m.x + ball.width, p.workArea.right);
            EXPECT_GE(m.y, p.monitor.top);
            EXPECT_LE(m.y + ball.height, p.workArea.bottom);
        }
    }

    FakeDesktop desktop;
    Ball ball{desktop};
};

TEST_F(Monitors, ABallLetGoOnAMonitorRestsOnItsFloor) {
    for (const Named& m : monitors) {
        SCOPED_TRACE(m.name);
        const ScreenRect& r = m.field.monitor;
        const Vector2 start{(r.left + r.right) / 2 - 25.0, r.top + 40.0};
        ball.position = start;
        ball.velocity = {0.0, 0.0};
        desktop.moves.clear();

        ASSERT_TRUE(flyUntilRest()) << "stuck at " << ball.position.x << ", " << ball.position.y;
        EXPECT_EQ(ball.position.y, m.field.workArea.bottom - 50.0);
        EXPECT_EQ(ball.position.x, start.x) << "a ball let go falls straight down";
        EXPECT_EQ(ball.floorY(), m.field.workArea.bottom - 50);
        EXPECT_EQ(ball.workAreaRight(), m.field.workArea.right);
        EXPECT_EQ(ball.ceilingY(), m.field.monitor.top);
        EXPECT_EQ(ball.leftWallX(), m.field.monitor.left);
        expectEveryMoveOn(m.field);
    }
}

TEST_F(Monitors, AThrowIsHeldByTheWallsAndCeilingOfTheBallsOwnMonitor) {
    struct Throw {
        const char* direction;
        Vector2 velocity;
    };
    const Throw throws[] = {
        {"left", {-3000.0, -200.0}},
        {"right", {3000.0, -200.0}},
        {"up", {0.0, -4000.0}},
    };
    for (const Named& m : monitors) {
        for (const Throw& t : throws) {
            SCOPED_TRACE(testing::Message() << t.direction << " on the monitor " << m.name);
            const ScreenRect& r = m.field.monitor;
            ball.position = {(r.left + r.right) / 2 - 25.0, (r.top + m.field.workArea.bottom) / 2 - 25.0};
            ball.velocity = t.velocity;
            desktop.moves.clear();
            desktop.cues.clear();

            ASSERT_TRUE(flyUntilRest());
            expectEveryMoveOn(m.field);
            EXPECT_EQ(ball.position.y, m.field.workArea.bottom - 50.0);

            // The first bounce is off the edge the ball was thrown at.
            ASSERT_FALSE(desktop.cues.empty());
            bool reachedTheEdge = false;
            for (const FakeDesktop::Move& move : desktop.moves) {
                if (t.velocity.x < 0) reachedTheEdge |= move.x == r.left;
                if (t.velocity.x > 0) reachedTheEdge |= move.x == m.field.workArea.right - 50;
                if (t.velocity.x == 0) reachedTheEdge |= move.y == r.top;
            }
            EXPECT_TRUE(reachedTheEdge);
            EXPECT_EQ(desktop.cues.front(), t.velocity.x == 0 ? cueFloorBounce : cueWallBounce);
        }
    }
}

TEST_F(Monitors, ASubStepThatWouldCarryTheBallOntoTheNextMonitorBouncesOffTheEdgeBetween) {
    // Each candidate's centre lies on the neighbouring monitor.
    struct Case {
        const char* where;
        double x;
        double vx;
        double wall;
    };
    const Case cases[] = {
        {"primary toward the monitor on its right", 960.0, 3000.0, 974.0},
        {"primary toward the monitor on its left", 10.0, -3000.0, 0.0},
        {"right-hand monitor toward the primary", 1030.0, -3000.0, 1024.0},
        {"left-hand monitor toward the primary", -60.0, 3000.0, -50.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        ball.position = {c.x, 300.0};
        ball.velocity = {c.vx, 0.0};
        desktop.cues.clear();
        stepBy(ball, 20);
        EXPECT_EQ(ball.position.x, c.wall);
        EXPECT_EQ(desktop.cues, std::vector<int>{cueWallBounce});
        EXPECT_LT(ball.velocity.x * c.vx, 0.0) << "it turns back";
    }
}

TEST_F(Monitors, AStepLooksTheMonitorUpOncePerSubStep) {
    // A lookup is slow on some systems; a flight of three sub-steps makes three.
    ball.position = {500.0, 300.0};
    ball.velocity = {0.0, 0.0};
    desktop.monitorReads = 0;
    stepBy(ball, 50);
    EXPECT_EQ(desktop.monitorReads, 3);
    // The loop asks whether the ball rests after every message; a moving ball needs no lookup.
    desktop.monitorReads = 0;
    EXPECT_FALSE(ball.resting());
    EXPECT_EQ(desktop.monitorReads, 0);
}

TEST_F(Monitors, ABallOffEveryMonitorIsBroughtBackToTheNearest) {
    struct Case {
        const char* where;
        Vector2 position;
        MonitorArea nearest;
    };
    const Case cases[] = {
        {"above the primary", {500.0, -300.0}, primary},
        {"far left of every monitor", {-5000.0, 100.0}, leftOfPrimary},
        {"below the shorter monitor", {1500.0, 700.0}, rightOfPrimary},
        {"in the gap, nearer the far monitor", {1940.0, 300.0}, beyondAGap},
        {"far below and right of everything", {9000.0, 9000.0}, beyondAGap},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        ball.position = c.position;
        ball.velocity = {0.0, 0.0};
        desktop.moves.clear();

        ASSERT_TRUE(flyUntilRest()) << "stuck at " << ball.position.x << ", " << ball.position.y;
        EXPECT_EQ(ball.position.y, c.nearest.workArea.bottom - 50.0);
        EXPECT_GE(ball.position.x, c.nearest.monitor.left);
        EXPECT_LE(ball.position.x + 50.0, c.nearest.workArea.right);
    }
}

TEST_F(Monitors, ABallDroppedIntoTheHoopOfASetOnAnyMonitorScores) {
    for (const Named& m : monitors) {
        SCOPED_TRACE(m.name);
        gameState = GameState{};
        const ScreenRect& r = m.field.monitor;
        const int boardX = r.left + 100;
        const int boardY = r.top + 100;
        desktop.backboard = {boardX, boardY, boardX + 187, boardY + 134};

        // Let go from still, just above the opening, as the throw leaves a ball with no speed.
        ball.position = {boardX + 67.0, boardY + 20.0};
        ball.velocity = {0.0, 0.0};
        gameState.shotLive = true;
        ASSERT_TRUE(flyUntilRest());
        EXPECT_EQ(gameState.score, 2);
        EXPECT_EQ(ball.position.x, boardX + 67.0) << "it drops through the net";
        EXPECT_EQ(ball.position.y, m.field.workArea.bottom - 50.0);
    }
}

}  // namespace
