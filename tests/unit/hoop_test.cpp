#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "unit/fake_desktop.h"

namespace {

// The backboard of the fake desktop stands at (100, 150)-(287, 284).
class Hoop : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        gameState.shotLive = true;
    }

    // Runs the hoop rules on `candidate` for a ball moving at `velocity`; returns the
    // candidate as the rules left it.
    Vector2 check(Vector2 candidate, Vector2 velocity) {
        ball.velocity = velocity;
        ball.hoopCheck(candidate);
        return candidate;
    }

    // Whether the last check left everything as it was.
    void expectNoEffect(const Vector2& before, const Vector2& after, const Vector2& velocity) {
        EXPECT_EQ(after.x, before.x);
        EXPECT_EQ(after.y, before.y);
        EXPECT_EQ(ball.velocity.x, velocity.x);
        EXPECT_EQ(ball.velocity.y, velocity.y);
        EXPECT_TRUE(desktop.cues.empty());
        EXPECT_EQ(gameState.score, 0);
        EXPECT_TRUE(gameState.shotLive);
        EXPECT_EQ(desktop.scoreboardRepaints, 0);
    }

    FakeDesktop desktop;
    Ball ball{desktop};
};

TEST_F(Hoop, AFallingBallWhollyInsideTheOpeningScoresTwo) {
    const Vector2 after = check({150.0, 237.0}, {40.0, 300.0});
    EXPECT_EQ(after.x, 167.0) << "the ball's centre snaps onto the hoop's centre line";
    EXPECT_EQ(after.y, 237.0);
    EXPECT_EQ(ball.velocity.x, 0.0);
    EXPECT_DOUBLE_EQ(ball.velocity.y, 30.0);
    EXPECT_EQ(gameState.score, 2);
    EXPECT_FALSE(gameState.shotLive);
    EXPECT_EQ(desktop.scoreboardRepaints, 1);
    ASSERT_EQ(desktop.cues.size(), 1u);
    EXPECT_TRUE(desktop.cues[0] == cueCheer || desktop.cues[0] == cueBigCheer);
}

TEST_F(Hoop, MissesAndUntouchedBandsChangeNothing) {
    struct Case {
        const char* what;
        Vector2 candidate;
    };
    const Case cases[] = {
        {"one pixel past the opening's right edge, in the basket band", {184.0, 237.0}},
        {"above the rim band (py 201, ballBottom 251)", {150.0, 201.5}},
        {"between the rim bands", {150.0, 210.0}},
        {"outside both rim bands on the left", {109.0, 210.0}},
        {"outside both rim bands on the right", {224.0, 210.0}},
        {"below the rim band and the basket band", {150.0, 294.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Vector2 velocity{40.0, 300.0};
        expectNoEffect(c.candidate, check(c.candidate, velocity), velocity);
    }
}

TEST_F(Hoop, TheRimsBounceAFallingBallTowardTheOpening) {
    struct Case {
        const char* what;
        Vector2 candidate;
        double push;
    };
    const Case cases[] = {
        {"left rim", {120.0, 210.0}, 30.0},
        {"right rim", {200.0, 210.0}, -30.0},
        {"left rim, outer edge, top of the band", {110.0, 202.0}, 30.0},
        {"right rim, outer edge, bottom of the band", {223.0, 236.0}, -30.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desktop.cues.clear();
        const Vector2 after = check(c.candidate, {100.0, 200.0});
        EXPECT_EQ(ball.velocity.x, 100.0 + c.push);
        EXPECT_EQ(ball.velocity.y, -150.0);
        EXPECT_EQ(desktop.cues, std::vector<int>{cueRim});
        EXPECT_EQ(after.x, c.candidate.x);
        EXPECT_EQ(after.y, c.candidate.y);
    }
    EXPECT_EQ(gameState.score, 0);
    EXPECT_TRUE(gameState.shotLive);
}

TEST_F(Hoop, ARimTouchAtOrBelow150PxPerSecondIsSilent) {
    check({120.0, 210.0}, {90.0, 120.0});  // exactly 150 px/s
    EXPECT_TRUE(desktop.cues.empty());
    EXPECT_EQ(ball.velocity.x, 120.0);
    EXPECT_EQ(ball.velocity.y, -90.0);

    check({120.0, 210.0}, {0.0, 150.001});
    EXPECT_EQ(desktop.cues, std::vector<int>{cueRim});
}

TEST_F(Hoop, ALevelOrRisingBallMeetsNeitherRimNorBasket) {
    const Vector2 candidates[] = {{150.0, 237.0}, {120.0, 210.0}, {200.0, 210.0}};
    for (const Vector2& candidate : candidates) {
        for (double vy : {0.0, -0.0, -300.0}) {
            SCOPED_TRACE(testing::Message() << "candidate (" << candidate.x << ", " << candidate.y
                                            << "), vy " << vy);
            const Vector2 velocity{40.0, vy};
            expectNoEffect(candidate, check(candidate, velocity), velocity);
        }
    }
}

TEST_F(Hoop, TheHoopFollowsTheBackboardWhereverItStands) {
    desktop.backboard = {400, 20, 587, 154};
    const Vector2 velocity{0.0, 300.0};
    expectNoEffect({150.0, 237.0}, check({150.0, 237.0}, velocity), velocity);
    const Vector2 after = check({450.0, 107.0}, velocity);
    EXPECT_EQ(after.x, 467.0);
    EXPECT_EQ(gameState.score, 2);
}

TEST_F(Hoop, OneBasketScoresOnceUntilTheNextRelease) {
    // A 10 ms step from here puts the candidate at about (150, 239): inside the basket band.
    auto passThroughTheHoop = [&] {
        ball.position = {150.0, 236.0};
        ball.velocity = {0.0, 300.0};
        stepBy(ball, 10);
    };

    passThroughTheHoop();
    EXPECT_EQ(gameState.score, 2);
    EXPECT_EQ(ball.position.x, 167.0);
    EXPECT_FALSE(gameState.shotLive);

    passThroughTheHoop();
    EXPECT_EQ(gameState.score, 2) << "the shot ended with the basket";
    EXPECT_EQ(ball.position.x, 150.0);
    EXPECT_EQ(desktop.scoreboardRepaints, 1);

    ball.grab(25, 25);
    ball.release(25, 25);
    EXPECT_TRUE(gameState.shotLive);
    passThroughTheHoop();
    EXPECT_EQ(gameState.score, 4);
}

TEST_F(Hoop, TheCheerIsChosenByRandModulo100) {
    // Seeds whose first rand() lands on each side of the threshold: 75 is the last residue of
    // the shorter cheer, 76 the first of the longer one.
    auto seedGiving = [](int residue) {
        for (unsigned seed = 1; seed < 1000000; ++seed) {
            std::srand(seed);
            if (std::rand() % 100 == residue) return seed;
        }
        ADD_FAILURE() << "no seed gives residue " << residue;
        return 1u;
    };
    struct Case {
        int residue;
        int cue;
    };
    const Case cases[] = {{0, cueCheer}, {75, cueCheer}, {76, cueBigCheer}, {99, cueBigCheer}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rand() % 100 == " << c.residue);
        desktop.cues.clear();
        gameState.shotLive = true;
        std::srand(seedGiving(c.residue));
        check({150.0, 237.0}, {0.0, 300.0});
        EXPECT_EQ(desktop.cues, std::vector<int>{c.cue});
    }
}

}  // namespace
