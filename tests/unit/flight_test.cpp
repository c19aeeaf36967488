#include <gtest/gtest.h>

#include <vector>

#include "sim/unbounded_flight.h"
#include "unit/fake_desktop.h"

namespace {

class Flight : public ::testing::Test {
protected:
    void SetUp() override { resetWorld(); }

    // A ball hanging still in mid-air, far from every edge.
    void hangInAir() {
        ball.position = {500.0, 300.0};
        ball.velocity = {0.0, 0.0};
    }

    // The vertical speed of a ball falling from rest through these sub-steps (seconds).
    static double fallSpeedAfter(const std::vector<double>& subSteps) {
        double vy = 0.0;
        for (double dt : subSteps) vy = (vy + 1200.0 * dt) * 0.985;
        return vy;
    }

    FakeDesktop desktop;
    Ball ball{desktop};
};

TEST_F(Flight, StartsAtTopLeftMovingRight) {
    EXPECT_EQ(ball.position.x, 0.0);
    EXPECT_EQ(ball.position.y, 0.0);
    EXPECT_EQ(ball.velocity.x, 600.0);
    EXPECT_EQ(ball.velocity.y, 0.0);
    EXPECT_EQ(ball.gravity.y, 1200.0);
    EXPECT_FALSE(ball.grabbed);
    EXPECT_EQ(ball.floorY(), 718);
    EXPECT_EQ(ball.workAreaRight(), 1024);
}

TEST_F(Flight, SplitsTheElapsedTimeIntoSubStepsOfAtMost20Ms) {
    struct Case {
        std::uint32_t ms;
        std::vector<double> subSteps;
    };
    const Case cases[] = {
        {50, {0.02, 0.02, 0.01}},
        {60, {0.02, 0.02, 0.02}},
        {61, {0.02, 0.02, 0.02, 0.001}},
        {20, {0.02}},
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "elapsedMs = " << c.ms);
        desktop.moves.clear();
        hangInAir();
        stepBy(ball, c.ms);
        EXPECT_EQ(ball.elapsedMs, static_cast<double>(c.ms));
        EXPECT_EQ(desktop.moves.size(), c.subSteps.size());
        EXPECT_NEAR(ball.velocity.y, fallSpeedAfter(c.subSteps), 1e-9);
        EXPECT_EQ(ball.velocity.x, 0.0);
    }
}

TEST_F(Flight, AHeldBallIsLeftAlone) {
    hangInAir();
    stepBy(ball, 40);
    const double measured = ball.elapsedMs;
    const Vector2 before = ball.position;
    desktop.moves.clear();

    ball.grabbed = true;
    stepBy(ball, 70);
    EXPECT_EQ(ball.elapsedMs, measured);
    EXPECT_EQ(ball.position.x, before.x);
    EXPECT_EQ(ball.position.y, before.y);
    EXPECT_TRUE(desktop.moves.empty());
    EXPECT_TRUE(desktop.cues.empty());
}

TEST_F(Flight, CeilingHitStartsAtMinusOne) {
    // One 10 ms sub-step moves y by velocity.y * 0.985 * 0.01 after gravity.
    auto riseTo = [&](double candidateY) {
        ball.position = {500.0, 10.0};
        const double vyDamped = (candidateY - 10.0) / 0.01;
        ball.velocity = {0.0, vyDamped / 0.985 - 1200.0 * 0.01};
        desktop.cues.clear();
        stepBy(ball, 10);
    };
    riseTo(-0.9);
    EXPECT_TRUE(desktop.cues.empty());
    EXPECT_LT(ball.velocity.y, 0.0);
    EXPECT_NEAR(ball.position.y, -0.9, 1e-6);

    riseTo(-1.0);
    EXPECT_EQ(desktop.cues, std::vector<int>{cueFloorBounce});
    EXPECT_EQ(ball.position.y, 0.0);
    EXPECT_GT(ball.velocity.y, 0.0);
}

TEST_F(Flight, RightWallHitsWhenTheTruncatedEdgePassesTheWorkArea) {
    auto moveRightTo = [&](double candidateX) {
        ball.position = {900.0, 300.0};
        ball.velocity = {(candidateX - 900.0) / 0.01 / 0.985, 0.0};
        desktop.cues.clear();
        desktop.moves.clear();
        stepBy(ball, 10);
    };
    moveRightTo(974.9);
    EXPECT_TRUE(desktop.cues.empty());
    EXPECT_NEAR(ball.position.x, 974.9, 1e-6);
    EXPECT_EQ(desktop.moves.back().x, 974);

    moveRightTo(975.0);
    EXPECT_EQ(desktop.cues, std::vector<int>{cueWallBounce});
    EXPECT_EQ(ball.position.x, 974.0);
    EXPECT_LT(ball.velocity.x, 0.0);
}

TEST_F(Flight, LeftWallHitsBelowZero) {
    ball.position = {5.0, 300.0};
    ball.velocity = {-1000.0, 0.0};
    stepBy(ball, 20);
    EXPECT_EQ(desktop.cues, std::vector<int>{cueWallBounce});
    EXPECT_EQ(ball.position.x, 0.0);
    EXPECT_NEAR(ball.velocity.x, 1000.0 * 0.985 * 0.75, 1e-9);
}

TEST_F(Flight, PastFloorAndWallIsAFloorHitAlone) {
    ball.position = {970.0, 710.0};
    ball.velocity = {1000.0, 1000.0};
    stepBy(ball, 20);
    EXPECT_EQ(desktop.cues, std::vector<int>{cueFloorBounce});
    EXPECT_EQ(ball.position.y, 718.0);
    EXPECT_GT(ball.position.x + ball.width, 1024.0) << "the other coordinate keeps its candidate";
    EXPECT_GT(ball.velocity.x, 0.0);
}

TEST_F(Flight, FloorHitReflectsTheDampedVelocity) {
    // In the air: gravity applies in the hitting sub-step.
    ball.position = {500.0, 710.0};
    ball.velocity = {0.0, 800.0};
    stepBy(ball, 20);
    EXPECT_NEAR(ball.velocity.y, -0.75 * 0.985 * (800.0 + 1200.0 * 0.02), 1e-9);
    EXPECT_EQ(ball.position.y, 718.0);

    // Stored on the floor: no gravity in that sub-step.
    ball.position = {500.0, 718.0};
    ball.velocity = {0.0, 800.0};
    stepBy(ball, 20);
    EXPECT_NEAR(ball.velocity.y, -0.75 * 0.985 * 800.0, 1e-9);

    // A collision drops the time still remaining: one move only.
    desktop.moves.clear();
    ball.position = {500.0, 717.0};
    ball.velocity = {0.0, 800.0};
    stepBy(ball, 100);
    EXPECT_EQ(desktop.moves.size(), 1u);
}

TEST_F(Flight, SettlesNearTheFloorOnlyInsideStrictBounds) {
    struct Case {
        Vector2 velocity;
        bool ySettles;
        bool xStops;
    };
    // Gravity does not apply (the ball stands on the floor), so only damping changes the
    // velocity; the given values are chosen so that damping keeps them on the same side.
    const Case cases[] = {
        {{0.0, 9.0 / 0.985}, true, true},
        {{0.0, 10.0 / 0.985}, false, true},
        {{0.0, -10.0 / 0.985}, false, true},
        {{-9.99 / 0.985, -3000.0}, false, true},
        {{10.0 / 0.985, 0.0}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "velocity (" << c.velocity.x << ", " << c.velocity.y
                                        << ")");
        desktop.cues.clear();
        ball.position = {500.0, 718.0};
        ball.velocity = c.velocity;
        stepBy(ball, 1);
        if (c.ySettles) {
            EXPECT_EQ(ball.velocity.y, 0.0);
            EXPECT_EQ(ball.position.y, 718.0);
        } else {
            EXPECT_NE(ball.velocity.y, 0.0);
        }
        EXPECT_EQ(ball.velocity.x == 0.0, c.xStops);
    }
}

TEST_F(Flight, ARestingBallCostsNothing) {
    ball.position = {300.0, 718.0};
    ball.velocity = {0.0, 0.0};
    for (int i = 0; i < 20; ++i) stepBy(ball, 51);
    EXPECT_TRUE(desktop.moves.empty());
    EXPECT_TRUE(desktop.cues.empty());
    EXPECT_EQ(gameState.spinCounter, 0);
}

TEST_F(Flight, PictureTurnsOnEveryThirdMovingCallAboveFivePxPerSecond) {
    ball.velocity = {5.0, 0.0};
    for (int i = 1; i <= 6; ++i) ball.moveAndSpin({static_cast<double>(i), 0.0});
    EXPECT_EQ(gameState.spinCounter, 0);
    EXPECT_EQ(ball.currentFrame, 0);

    ball.velocity = {3.0, 4.0001};
    std::vector<int> frames;
    for (int i = 1; i <= 9; ++i) {
        ball.moveAndSpin({100.0 + i, 0.0});
        frames.push_back(desktop.moves.back().frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 3}));

    // An unchanged position is no move at all.
    const auto moves = desktop.moves.size();
    ball.moveAndSpin(ball.position);
    EXPECT_EQ(desktop.moves.size(), moves);
    EXPECT_EQ(gameState.spinCounter, 9);

    // The frame wraps after the last picture of the strip.
    for (int i = 0; i < 3 * 5; ++i) ball.moveAndSpin({200.0 + i, 0.0});
    EXPECT_EQ(ball.currentFrame, 1);
}

TEST_F(Flight, MovesTheWindowToTheTruncatedPosition) {
    ball.velocity = {0.0, 0.0};
    ball.moveAndSpin({12.9, 7.99});
    ASSERT_EQ(desktop.moves.size(), 1u);
    EXPECT_EQ(desktop.moves[0], (FakeDesktop::Move{12, 7, 0}));
}

TEST_F(Flight, ReadsTheWorkAreaAfreshAtEachSubStep) {
    ball.position = {500.0, 600.0};
    ball.velocity = {0.0, 0.0};
    desktop.area.bottom = 640;  // the taskbar grew
    stepBy(ball, 20);
    EXPECT_EQ(ball.floorY(), 590);
    EXPECT_EQ(ball.position.y, 590.0);
    EXPECT_EQ(desktop.cues, std::vector<int>{cueFloorBounce});
}

TEST_F(Flight, FromStartUpTheBallComesToRestOnTheFloor) {
    std::vector<int> cues;
    int steps = 0;
    const int maxSteps = 60 * 20;  // a minute of 51 ms steps at most
    while (steps < maxSteps) {
        stepBy(ball, 51);
        ++steps;
        if (steps == 1) {
            ASSERT_FALSE(desktop.moves.empty());
            EXPECT_GT(desktop.moves.back().x, 0);
            EXPECT_GT(desktop.moves.back().y, 0);
        }
        if (ball.velocity.x == 0.0 && ball.velocity.y == 0.0) break;
    }
    ASSERT_LT(steps, maxSteps) << "the ball never came to rest";
    EXPECT_EQ(ball.position.y, 718.0);
    EXPECT_EQ(desktop.moves.back().y, 718);
    EXPECT_GE(ball.position.x, 0.0);
    EXPECT_LE(ball.position.x + ball.width, 1024.0);

    // It falls before it reaches the right wall (600 px/s, 974 px away): the first cue is a
    // floor bounce, and there are several of them as it loses height.
    ASSERT_FALSE(desktop.cues.empty());
    EXPECT_EQ(desktop.cues.front(), cueFloorBounce);
    int floorBounces = 0;
    for (int c : desktop.cues) {
        EXPECT_TRUE(c == cueFloorBounce || c == cueWallBounce);
        floorBounces += c == cueFloorBounce;
    }
    EXPECT_GE(floorBounces, 3);

    // And it stays there without costing a move.
    const auto moves = desktop.moves.size();
    for (int i = 0; i < 10; ++i) stepBy(ball, 51);
    EXPECT_EQ(desktop.moves.size(), moves);
}

// After an hour without a step (a laptop asleep, an About screen left open) one step must
// end exactly where the rules' sub-step by sub-step catch-up ends, without its millions of
// monitor reads.
TEST(LongPause, EndsWhereTheUnboundedCatchUpEnds) {
    struct Case {
        const char* what;
        Vector2 position, velocity;
        bool shotLive;
        int workAreaBottom;
    };
    const Case cases[] = {
        {"at rest", {300.0, 718.0}, {0.0, 0.0}, false, 768},
        {"rolling along the floor", {300.0, 718.0}, {200.0, 0.0}, false, 768},
        {"rolling slowly through the basket's reach", {352.0, 718.0}, {30.0, 0.0}, true, 768},
        {"at rest in the basket's reach with the shot live", {360.0, 718.0}, {0.0, 0.0}, true, 768},
        {"in the air", {500.0, 300.0}, {120.0, -50.0}, false, 768},
        {"rolling into the right wall", {900.0, 718.0}, {300.0, 0.0}, false, 768},
        {"still, half a pixel left of the screen", {-0.5, 718.0}, {0.0, 0.0}, false, 768},
        {"still, a pixel left of the screen", {-1.0, 718.0}, {0.0, 0.0}, false, 768},
        {"still, across the right edge", {980.0, 718.0}, {0.0, 0.0}, false, 768},
        {"still, the floor dropped under it", {300.0, 718.0}, {0.0, 0.0}, false, 800},
        {"still, the floor rose above it", {300.0, 718.0}, {0.0, 0.0}, false, 740},
        {"still on a floor above the screen's top", {300.0, -20.0}, {0.0, 0.0}, false, 30},
    };
    const std::uint32_t hourMs = 3600u * 1000u;

    struct Outcome {
        Vector2 position, velocity;
        int frame;
        GameState game;
        std::vector<FakeDesktop::Move> moves;
        std::vector<int> cues;
        long reads;
    };
    auto run = [&](const Case& c, bool unbounded) {
        resetWorld();
        gameState.shotLive = c.shotLive;
        gameState.score = 4;
        FakeDesktop desktop;
        desktop.area.bottom = c.workAreaBottom;
        desktop.backboard = {300, 600, 487, 734};  // low enough for the basket to reach the floor
        Ball ball{desktop};
        ball.position = c.position;
        ball.velocity = c.velocity;
        if (unbounded) {
            unboundedCatchUp(ball, desktop, hourMs);
        } else {
            stepBy(ball, hourMs);
        }
        return Outcome{ball.position, ball.velocity, ball.currentFrame, gameState,
                       desktop.moves, desktop.cues, desktop.monitorReads};
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome step = run(c, false);
        const Outcome rules = run(c, true);
        EXPECT_EQ(step.position.x, rules.position.x);
        EXPECT_EQ(step.position.y, rules.position.y);
        EXPECT_EQ(step.velocity.x, rules.velocity.x);
        EXPECT_EQ(step.velocity.y, rules.velocity.y);
        EXPECT_EQ(step.frame, rules.frame);
        EXPECT_EQ(step.game.score, rules.game.score);
        EXPECT_EQ(step.game.shotLive, rules.game.shotLive);
        EXPECT_EQ(step.game.spinCounter, rules.game.spinCounter);
        EXPECT_EQ(step.moves, rules.moves);
        EXPECT_EQ(step.cues, rules.cues);
        EXPECT_LT(step.reads, 2000) << "the rules made " << rules.reads;
    }
}

TEST(LongPause, OnlyAStillBallOnTheFloorBetweenTheWallsRests) {
    resetWorld();
    FakeDesktop desktop;
    Ball ball{desktop};
    ball.position = {300.0, 718.0};
    ball.velocity = {0.0, 0.0};
    EXPECT_TRUE(ball.resting());

    // Each of these can make the next sub-step change something.
    ball.velocity.x = 1e-9;
    EXPECT_FALSE(ball.resting()) << "sliding";
    ball.velocity = {0.0, -1e-9};
    EXPECT_FALSE(ball.resting()) << "rising";
    ball.velocity = {0.0, 0.0};
    ball.position.y = 717.5;
    EXPECT_FALSE(ball.resting()) << "half a pixel above the floor";
    ball.position.y = 718.0;
    ball.grabbed = true;
    EXPECT_FALSE(ball.resting()) << "held";
    ball.grabbed = false;
    desktop.area.bottom = 700;
    EXPECT_FALSE(ball.resting()) << "the taskbar grew: the floor is read afresh";
    desktop.area.bottom = 768;
    desktop.area.right = 349;
    EXPECT_FALSE(ball.resting()) << "the work area's right edge moved over the ball";
    desktop.area.right = 350;
    EXPECT_TRUE(ball.resting());
}

}  // namespace
