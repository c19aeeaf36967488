#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "unit/fake_desktop.h"

namespace {

// The backboard of the fake desktop stands at (100, 150)-(287, 284): the hoop's target point
// is (191.5, 290), up and to the left of a ball near (600, 600).
class Throw : public ::testing::Test {
protected:
    void SetUp() override { resetWorld(); }

    void after(std::uint32_t ms) { fake_clock::milliseconds += ms; }

    // Cursor coordinates that centre the ball on `topLeft` + (25, 25), the way the window
    // reports them: relative to the ball's current top-left corner.
    int cursorX(double topLeftX) const { return static_cast<int>(topLeftX - ball.position.x) + 25; }
    int cursorY(double topLeftY) const { return static_cast<int>(topLeftY - ball.position.y) + 25; }
    void dragTo(double x, double y) { ball.drag(cursorX(x), cursorY(y)); }

    // Picks the ball up where it stands, drags it through `a` at 100 ms and `b` at 110 ms
    // and lets go at 120 ms with the cursor at `releaseCursor`.
    void throwThrough(Vector2 a, Vector2 b, int releaseX, int releaseY) {
        ball.grab(25, 25);
        after(100);
        dragTo(a.x, a.y);
        after(10);
        dragTo(b.x, b.y);
        after(10);
        ball.release(releaseX, releaseY);
    }

    FakeDesktop desktop;
    Ball ball{desktop};
};

TEST_F(Throw, TheGrabCentresTheBallOnTheCursorAndHoldsIt) {
    ball.position = {600.0, 600.0};
    ball.velocity = {600.0, 0.0};
    ball.dragSampleIndex = 1;
    after(70);
    ball.grab(40, 10);

    EXPECT_TRUE(ball.grabbed);
    EXPECT_EQ(desktop.captures, 1);
    EXPECT_EQ(ball.position.x, 615.0);
    EXPECT_EQ(ball.position.y, 585.0);
    ASSERT_EQ(desktop.moves.size(), 1u);
    EXPECT_EQ(desktop.moves[0], (FakeDesktop::Move{615, 585, 0}));
    EXPECT_EQ(gameState.spinCounter, 1) << "the move still spins at the flight speed";
    EXPECT_EQ(ball.velocity.x, 0.0);
    EXPECT_EQ(ball.velocity.y, 0.0);
    EXPECT_EQ(ball.dragSampleIndex, 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ball.dragSamples[i].x, 615.0);
        EXPECT_EQ(ball.dragSamples[i].y, 585.0);
        EXPECT_EQ(ball.dragSampleTimes[i], 0.0);
    }
    EXPECT_EQ(ball.grabClock.elapsedSeconds(), 0.0);

    // Held, the flight leaves it where it is.
    after(60);
    ball.flightStep();
    EXPECT_EQ(ball.position.x, 615.0);
    EXPECT_EQ(desktop.moves.size(), 1u);
}

TEST_F(Throw, TheDragKeepsTheTwoLatestDistinctPositions) {
    ball.position = {600.0, 600.0};
    ball.grab(25, 25);
    after(30);
    ball.drag(15, 5);  // to (590, 580)
    after(10);
    ball.drag(25, 25);  // the cursor at the ball's centre: no move, no sample
    EXPECT_EQ(ball.dragSampleIndex, 1);
    EXPECT_EQ(ball.dragSampleTimes[1], 30.0);
    EXPECT_EQ(desktop.moves.size(), 1u);

    after(10);
    ball.drag(-75, 325);  // far off the work area: nothing clamps a drag
    EXPECT_EQ(ball.position.x, 490.0);
    EXPECT_EQ(ball.position.y, 880.0);
    EXPECT_EQ(ball.dragSampleIndex, 0);
    EXPECT_EQ(ball.dragSamples[0].x, 490.0);
    EXPECT_EQ(ball.dragSamples[0].y, 880.0);
    EXPECT_EQ(ball.dragSampleTimes[0], 50.0);
    EXPECT_EQ(ball.dragSamples[1].x, 590.0);
    EXPECT_EQ(ball.dragSamples[1].y, 580.0);
    EXPECT_EQ(gameState.spinCounter, 0) << "a held ball has no speed to spin with";
}

TEST_F(Throw, MoveAndReleaseDoNothingWhileNotHeld) {
    ball.position = {600.0, 600.0};
    ball.velocity = {120.0, -80.0};
    ball.tickClock.restart();
    after(30);
    ball.drag(100, 100);
    ball.release(100, 100);
    EXPECT_EQ(ball.position.x, 600.0);
    EXPECT_EQ(ball.velocity.x, 120.0);
    EXPECT_EQ(ball.velocity.y, -80.0);
    EXPECT_TRUE(desktop.moves.empty());
    EXPECT_EQ(desktop.releases, 0);
    EXPECT_FALSE(gameState.shotLive);
    EXPECT_EQ(ball.tickClock.elapsedSeconds(), 0.030) << "the flight clock was not restarted";

    // Nor does a second release after a throw.
    ball.grab(25, 25);
    ball.release(25, 25);
    gameState.shotLive = false;
    ball.release(25, 25);
    EXPECT_EQ(desktop.releases, 1);
    EXPECT_FALSE(gameState.shotLive);
}

TEST_F(Throw, ReleaseArmsTheShotAndRestartsTheFlightClock) {
    ball.position = {600.0, 600.0};
    ball.grab(30, 20);
    after(200);
    ball.release(25, 25);
    EXPECT_FALSE(ball.grabbed);
    EXPECT_EQ(desktop.releases, 1);
    EXPECT_TRUE(gameState.shotLive);
    EXPECT_EQ(ball.tickClock.elapsedSeconds(), 0.0);
    EXPECT_EQ(ball.position.x, 605.0) << "the ball stays centred on the press point";
    EXPECT_EQ(ball.position.y, 595.0);
    EXPECT_EQ(ball.velocity.x, 0.0) << "it drops from rest";
    EXPECT_EQ(ball.velocity.y, 0.0);
}

TEST_F(Throw, TooQuickOrTooShortAReleaseIsNoSpeed) {
    struct Case {
        const char* what;
        std::uint32_t ms;      // from the grab, the older sample's time, to the release
        int dx, dy;            // release point minus the older sample, in px
        Vector2 velocity;
    };
    // Every throw here points right, away from the hoop, so no steering blurs the measure.
    const Case cases[] = {
        {"5 ms: too quick", 5, 10, 0, {0.0, 0.0}},
        {"6 ms", 6, 10, 0, {10.0 * 1000.0 / 6.0, 0.0}},
        {"2 px: kept as the displacement itself", 20, 2, 0, {2.0, 0.0}},
        {"just over 2 px", 20, 2, 1, {100.0, 50.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ball.position = {600.0, 600.0};
        ball.grab(25, 25);
        after(c.ms);
        ball.release(25 + c.dx, 25 + c.dy);
        EXPECT_NEAR(ball.velocity.x, c.velocity.x, 1e-9);
        EXPECT_NEAR(ball.velocity.y, c.velocity.y, 1e-9);
        EXPECT_TRUE(gameState.shotLive);
    }
}

TEST_F(Throw, AFlickIsTimedByTheClockAsItTicks) {
    // A system clock that ticks every 15.625 ms until the grab raises its resolution to 1 ms,
    // or keeps ticking so when the raise is refused. The ball rests at (600, 600), is grabbed
    // 1 ms past a tick, dragged to (610, 605) and (620, 610) and let go at (630, 615): right
    // and down, away from the hoop, so the velocity is the measured one.
    struct Case {
        const char* what;
        bool refused;
        double a, b, release;   // true ms after the grab
        double aShown;          // the first sample's time as the grab clock shows it
        double dtShown;         // from that sample to the release, as shown
    };
    const Case cases[] = {
        {"refused: a flick within one tick measures 0 ms", true, 3, 6, 9, 0, 0},
        {"refused: a slower throw measures whole ticks", true, 20, 40, 60, 15, 31},
        {"raised: the same flick measures 6 ms", false, 3, 6, 9, 3, 6},
        {"raised: the slower throw measures 40 ms", false, 20, 40, 60, 20, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetWorld();
        fake_clock::refuseResolution = c.refused;
        fake_clock::tickLikeTheSystem(100001.0);
        ball.position = {600.0, 600.0};
        ball.grab(25, 25);
        EXPECT_EQ(fake_clock::resolutionHeld, !c.refused) << "raised with the grab";
        fake_clock::advanceTrueTime(c.a);
        dragTo(610.0, 605.0);
        fake_clock::advanceTrueTime(c.b - c.a);
        dragTo(620.0, 610.0);
        fake_clock::advanceTrueTime(c.release - c.b);
        ball.release(cursorX(630.0), cursorY(615.0));

        EXPECT_EQ(ball.dragSampleTimes[1 - ball.dragSampleIndex], c.aShown);
        const Vector2 expected = c.dtShown > 5.0 ? Vector2{20.0 * 1000.0 / c.dtShown, 10.0 * 1000.0 / c.dtShown}
                                                 : Vector2{0.0, 0.0};
        EXPECT_DOUBLE_EQ(ball.velocity.x, expected.x);
        EXPECT_DOUBLE_EQ(ball.velocity.y, expected.y);
        EXPECT_EQ(fake_clock::raisesGranted + fake_clock::raisesRefused, 1);
    }
}

TEST_F(Throw, AThrowTowardTheHoopIsSteered) {
    ball.position = {600.0, 600.0};
    throwThrough({515.0, 520.0}, {475.0, 475.0}, 49, 52);
    EXPECT_NEAR(ball.velocity.x, -566.72, 1e-2);
    EXPECT_NEAR(ball.velocity.y, -1121.85, 1e-2);
    EXPECT_EQ(ball.position.x, 475.0) << "the flight starts where the drag left the ball";
    EXPECT_EQ(ball.position.y, 475.0);
}

TEST_F(Throw, ASlowThrowIsClosedByItsSpeedOverTheApexDistance) {
    ball.position = {600.0, 600.0};
    throwThrough({479.0, 478.0}, {475.0, 475.0}, 25, 25);
    EXPECT_NEAR(ball.velocity.x, -438.95, 1e-2);
    EXPECT_NEAR(ball.velocity.y, -756.04, 1e-2);
}

TEST_F(Throw, AThrowAwayFromTheHoopOnEitherAxisKeepsItsMeasuredVelocity) {
    struct Case {
        const char* what;
        int dx, dy;  // px in 20 ms
    };
    const Case cases[] = {
        {"to the right, the hoop being left", 10, -10},
        {"downward, the hoop being above", -10, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ball.position = {600.0, 600.0};
        ball.grab(25, 25);
        after(20);
        ball.release(25 + c.dx, 25 + c.dy);
        EXPECT_DOUBLE_EQ(ball.velocity.x, c.dx * 50.0);
        EXPECT_DOUBLE_EQ(ball.velocity.y, c.dy * 50.0);
    }
}

TEST_F(Throw, ABallCentredOnTheApexKeepsItsMeasuredVelocity) {
    // The apex lies 120 px above the target (191.5, 290), 40 % of the way across: with the
    // ball's centre at (191.5, 170) it is the centre itself.
    ball.position = {166.5, 145.0};
    ball.grab(25, 25);
    after(20);
    ball.release(15, 45);
    EXPECT_EQ(ball.velocity.x, -500.0);
    EXPECT_EQ(ball.velocity.y, 1000.0);
}

TEST_F(Throw, AWholeThrowFromTheFloorScoresExactlyTwo) {
    // The ball rests on the floor, is picked up, swung up and to the left in four timed
    // moves, and let go while still moving.
    ball.position = {560.0, 718.0};
    ball.velocity = {0.0, 0.0};
    ball.grab(25, 25);
    const int swing[][2] = {{9, 20}, {10, 23}, {11, 25}, {11, 25}};
    for (const auto& move : swing) {
        after(12);
        ball.drag(25 - move[0], 25 - move[1]);
    }
    after(12);
    ball.release(25 - 11, 25 - 25);
    ASSERT_TRUE(gameState.shotLive);
    ASSERT_LT(ball.velocity.x, 0.0);
    ASSERT_LT(ball.velocity.y, 0.0);

    // Ten seconds of 51 ms steps: long enough to score, fall and come to rest.
    for (int i = 0; i < 200; ++i) stepBy(ball, 51);
    EXPECT_EQ(gameState.score, 2);
    EXPECT_FALSE(gameState.shotLive);
    EXPECT_EQ(desktop.scoreboardRepaints, 1);
    EXPECT_EQ(ball.position.y, 718.0) << "after the basket the ball drops to the floor";
    int cheers = 0;
    for (int cue : desktop.cues) cheers += cue == cueCheer || cue == cueBigCheer;
    EXPECT_EQ(cheers, 1);
}

}  // namespace
