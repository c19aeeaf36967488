#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "unit/fake_desktop.h"
#include "windows/set_scale.h"

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

// The desktop `d` of the primary monitor `first` and the `others`, at their DPIs (96 where
// none is given).
void placeMonitors(FakeDesktop& d, const MonitorArea& first, std::vector<MonitorArea> others,
                   unsigned firstDpi = 96, std::vector<unsigned> otherDpis = {}) {
    d.screen = first.monitor;
    d.area = first.workArea;
    d.screenDpi = firstDpi;
    d.otherMonitors = std::move(others);
    d.otherDpis = std::move(otherDpis);
}

class Monitors : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        placeMonitors(desktop, primary, {leftOfPrimary, rightOfPrimary, beyondAGap});
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

// The same rules on monitors of different scales: the ball plays in 100 % units, its window
// moves in each monitor's pixels.
namespace scaled {

// 150 % primary with a taskbar; 200 % to its left and above it; 125 % to its right with a
// taskbar of its own; 100 % beyond a gap.
const MonitorArea primary150{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
const MonitorArea left200{{-2560, -360, 0, 1080}, {-2560, -360, 0, 1080}};
const MonitorArea right125{{1920, 0, 3840, 1200}, {1920, 0, 3840, 1160}};
const MonitorArea beyond100{{4000, 100, 5280, 1124}, {4000, 100, 5280, 1124}};

struct Scaled {
    const char* name;
    MonitorArea pixels;
    unsigned dpi;
    MonitorArea units;  // worked out by hand
};
const Scaled monitors[] = {
    {"150 % primary", primary150, 144, {{0, 0, 1280, 720}, {0, 0, 1280, 693}}},
    {"200 % at negative coordinates", left200, 192, {{-2560, -360, -1280, 360}, {-2560, -360, -1280, 360}}},
    {"125 % to the right", right125, 120, {{1920, 0, 3456, 960}, {1920, 0, 3456, 928}}},
    {"100 % beyond a gap", beyond100, 96, {{4000, 100, 5280, 1124}, {4000, 100, 5280, 1124}}},
};

bool sameRect(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class ScaledMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        placeMonitors(desktop, primary150, {left200, right125, beyond100}, 144, {192, 120, 96});
        desktop.backboard = {150, 225, 431, 426};  // the 150 % board at its start place
    }

    bool flyUntilRest() {
        for (int step = 0; step < 60 * 20; ++step) {
            stepBy(ball, 51);
            if (ball.resting()) return true;
        }
        return false;
    }

    void after(std::uint32_t ms) { fake_clock::milliseconds += ms; }

    // The gesture as the ball's window reports it: the cursor at screen pixel (x, y), also in
    // client pixels of the window where it stands now.
    void press(int x, int y) { scaledDesktop.press(ball, x - windowX(), y - windowY(), x, y); }
    void dragTo(int x, int y) { scaledDesktop.drag(ball, x - windowX(), y - windowY(), x, y); }
    void release(int x, int y) { scaledDesktop.release(ball, x - windowX(), y - windowY(), x, y); }
    int windowX() const { return desktop.moves.empty() ? 0 : desktop.moves.back().x; }
    int windowY() const { return desktop.moves.empty() ? 0 : desktop.moves.back().y; }

    FakeDesktop desktop;
    ScaledDesktop scaledDesktop{desktop, 50, 50};
    Ball ball{scaledDesktop};
};

TEST_F(ScaledMonitors, EachMonitorIsSeenInUnitsFromItsTopLeftCorner) {
    for (const Scaled& m : monitors) {
        SCOPED_TRACE(m.name);
        const MonitorArea u = ScaledDesktop::inUnits({m.pixels, m.dpi});
        EXPECT_PRED2(sameRect, u.monitor, m.units.monitor);
        EXPECT_PRED2(sameRect, u.workArea, m.units.workArea);

        // The ball's own lookup, from a point inside the monitor in units, finds it.
        const MonitorArea seen = scaledDesktop.monitorAt(m.units.monitor.left + 30, m.units.monitor.top + 30);
        EXPECT_PRED2(sameRect, seen.workArea, m.units.workArea);
        EXPECT_EQ(scaledDesktop.dpi(), m.dpi);
    }
}

TEST_F(ScaledMonitors, AtEveryScaleTheBallRestsOnTheWorkAreaAndStopsAtTheRightWall) {
    for (const Scaled& m : monitors) {
        SCOPED_TRACE(m.name);
        const int size = set_scale::scaled(50, m.dpi);
        const ScreenRect& work = m.pixels.workArea;
        ball.position = {(m.units.monitor.left + m.units.monitor.right) / 2.0,
                         m.units.monitor.top + 40.0};
        ball.velocity = {4000.0, 0.0};
        desktop.moves.clear();
        scaledDesktop.monitorAt(trunc32(ball.position.x), trunc32(ball.position.y));

        ASSERT_TRUE(flyUntilRest());
        ASSERT_FALSE(desktop.moves.empty());
        const FakeDesktop::Move last = desktop.moves.back();
        EXPECT_EQ(last.y + size, work.bottom) << "the bottom edge lies on the work area's";
        bool touchedTheWall = false;
        for (const FakeDesktop::Move& move : desktop.moves) {
            SCOPED_TRACE(testing::Message() << "window at (" << move.x << ", " << move.y << ")");
            EXPECT_LE(move.x + size, work.right);
            EXPECT_LE(move.y + size, work.bottom);
            EXPECT_GE(move.y, m.pixels.monitor.top);
            touchedTheWall |= move.x + size == work.right;
        }
        EXPECT_TRUE(touchedTheWall);
    }
}

TEST_F(ScaledMonitors, AtOneHundredPercentEveryMoveIsTheUnscaledBallsOwn) {
    // The same flights straight on the pixel desktop and through the scaled one.
    for (const MonitorArea& m : {primary, leftOfPrimary, rightOfPrimary, beyondAGap}) {
        for (const Vector2 v : {Vector2{-3000.0, -200.0}, Vector2{3000.0, -900.0}, Vector2{0.0, -4000.0}}) {
            FakeDesktop plain;
            placeMonitors(plain, primary, {leftOfPrimary, rightOfPrimary, beyondAGap});
            FakeDesktop underneath = plain;
            ScaledDesktop through{underneath, 50, 50};
            Ball direct{plain};
            Ball scaledBall{through};
            for (Ball* b : {&direct, &scaledBall}) {
                resetWorld();
                b->position = {(m.monitor.left + m.monitor.right) / 2 - 25.0, m.monitor.top + 100.0};
                b->velocity = v;
                for (int step = 0; step < 400 && !b->resting(); ++step) stepBy(*b, 37);
            }
            EXPECT_EQ(plain.moves, underneath.moves);
            EXPECT_EQ(plain.cues, underneath.cues);
            EXPECT_EQ(direct.position.x, scaledBall.position.x);
            EXPECT_EQ(direct.position.y, scaledBall.position.y);
        }
    }
}

TEST_F(ScaledMonitors, AThrowAtOneHundredFiftyPercentIsTheOneHundredPercentThrowScaled) {
    // The 100 % world: the primary in units, the board at its 100 % start place.
    FakeDesktop small;
    small.screen = {0, 0, 1280, 720};
    small.area = {0, 0, 1280, 693};
    ScaledDesktop plainScale{small, 50, 50};
    Ball plain{plainScale};

    // One gesture: picked up at (900, 500), dragged up and left, let go; 150 % pixels are the
    // 100 % ones times 1.5.
    struct Point {
        int x, y;
        std::uint32_t afterMs;
    };
    const Point gesture[] = {{900, 500, 0}, {860, 470, 100}, {800, 430, 10}, {760, 404, 10}};
    auto play = [&](Ball& b, ScaledDesktop& d, FakeDesktop& f, unsigned dpi) {
        resetWorld();
        b.position = {875.0, 475.0};
        d.monitorAt(900, 500);
        f.moves.clear();
        f.moveTo(set_scale::scaled(875, dpi), set_scale::scaled(475, dpi), 0);
        const double s = dpi / 96.0;
        auto at = [&](const Point& p, void (ScaledDesktop::*event)(Ball&, int, int, int, int)) {
            fake_clock::milliseconds += p.afterMs;
            const int x = static_cast<int>(p.x * s), y = static_cast<int>(p.y * s);
            (d.*event)(b, x - f.moves.back().x, y - f.moves.back().y, x, y);
        };
        at(gesture[0], &ScaledDesktop::press);
        at(gesture[1], &ScaledDesktop::drag);
        at(gesture[2], &ScaledDesktop::drag);
        at(gesture[3], &ScaledDesktop::release);
        f.moves.clear();
        for (int step = 0; step < 400 && !b.resting(); ++step) stepBy(b, 30);
    };
    play(plain, plainScale, small, 96);
    const int plainScore = gameState.score;
    const bool plainShotLive = gameState.shotLive;
    play(ball, scaledDesktop, desktop, 144);

    EXPECT_NEAR(ball.velocity.x, plain.velocity.x, 1e-9);
    ASSERT_EQ(desktop.moves.size(), small.moves.size());
    ASSERT_GT(small.moves.size(), 10u);
    for (std::size_t i = 0; i < small.moves.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "move " << i);
        EXPECT_NEAR(desktop.moves[i].x, small.moves[i].x * 1.5, 1.0);
        EXPECT_NEAR(desktop.moves[i].y, small.moves[i].y * 1.5, 1.0);
        EXPECT_EQ(desktop.moves[i].frame, small.moves[i].frame);
    }
    EXPECT_EQ(desktop.cues, small.cues);
    EXPECT_EQ(gameState.score, plainScore);
    EXPECT_EQ(gameState.shotLive, plainShotLive);
}

TEST_F(ScaledMonitors, ADragAcrossAScaleBoundaryThrowsAtTheSpeedOnTheFarSide) {
    // The board far below: no aim assist for these upward drags.
    desktop.backboard = {0, 5000, 281, 5201};
    struct Case {
        const char* crossing;
        int fromX, y, stepX;
        unsigned farDpi;
    };
    const Case cases[] = {
        {"150 % to 125 %", 1840, 600, 16, 120},
        {"125 % to 150 %", 2000, 600, -16, 144},
        {"150 % to 200 % at negative coordinates", 80, 600, -16, 192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.crossing);
        resetWorld();
        desktop.moves.clear();
        scaledDesktop.forgetMonitor();
        ball.grabbed = false;
        // Ten moves 10 ms apart, each 16 px across and 4 px up on the screen.
        int x = c.fromX, y = c.y;
        scaledDesktop.monitorAt(x, y);
        desktop.moveTo(x - 30, y - 30, 0);
        press(x, y);
        for (int i = 0; i < 10; ++i) {
            after(10);
            x += c.stepX;
            y -= 4;
            dragTo(x, y);
        }
        after(10);
        release(x + c.stepX, y - 4);
        EXPECT_EQ(scaledDesktop.dpi(), c.farDpi);
        // The on-screen speed, 1600 px/s across and 400 up, in the far side's units.
        const double s = c.farDpi / 96.0;
        EXPECT_NEAR(ball.velocity.x, c.stepX * 100.0 / s, 250.0 / s);
        EXPECT_NEAR(ball.velocity.y, -400.0 / s, 250.0 / s);
    }
}

TEST_F(ScaledMonitors, AFlightReadsTheMonitorAndItsScaleOncePerSubStep) {
    ball.position = {500.0, 300.0};
    ball.velocity = {0.0, 0.0};
    stepBy(ball, 20);
    desktop.monitorReads = 0;
    stepBy(ball, 50);
    EXPECT_EQ(desktop.monitorReads, 3) << "the moves add no lookups";
    // While the cursor stays on the ball's monitor, a drag looks nothing up.
    press(800, 500);
    for (int i = 1; i <= 5; ++i) dragTo(800 + 10 * i, 500);
    EXPECT_EQ(desktop.monitorReads, 3);
}

}  // namespace scaled
