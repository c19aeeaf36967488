#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "motion/display_clock.h"
#include "motion/timeline.h"
#include "sim/hoop.h"
#include "unit/fake_desktop.h"
#include "windows/ball_motion.h"

namespace {

using motion::Event;
using motion::Keyframe;
using motion::Ticks;
using motion::Timeline;

bool inBox(const Keyframe& k, const Keyframe& a, const Keyframe& b) {
    return k.x >= std::min(a.x, b.x) && k.x <= std::max(a.x, b.x) && k.y >= std::min(a.y, b.y) &&
           k.y <= std::max(a.y, b.y);
}

TEST(Timeline, ShowsEachKeyframeAtItsTimeBlendsInsideItsNeighboursBoxAndHoldsTheLast) {
    const Keyframe keys[] = {{0, 0, 0, 0, 96}, {100, 10, 40, 1, 96}, {200, 7, 41, 2, 96}, {300, 30, -5, 3, 96}};
    Timeline timeline(1000);
    timeline.reset(keys[0]);
    for (const Keyframe& k : {keys[1], keys[2], keys[3]}) {
        timeline.recordAt(k.time);
        timeline.add(k.x, k.y, k.frame, k.dpi);
    }
    std::vector<Event> due;
    for (Ticks t = 0; t <= 400; t += 5) {
        SCOPED_TRACE(testing::Message() << "t = " << t);
        const Keyframe k = timeline.at(t, due);
        const int i = static_cast<int>(std::min<Ticks>(t / 100, 3));
        if (t % 100 == 0 || t > 300) {
            EXPECT_TRUE(k.looksLike(keys[i])) << k.x << ", " << k.y;
        } else {
            EXPECT_TRUE(inBox(k, keys[i], keys[i + 1])) << k.x << ", " << k.y;
            EXPECT_EQ(k.frame, keys[i].frame) << "the frame changes at its keyframe's time";
        }
        EXPECT_EQ(timeline.pending(), t < 300);
    }
    EXPECT_TRUE(due.empty());
}

TEST(Timeline, EventsComeDueAtTheirKeyframesTimeAndAJumpOrADropEndsWhatIsPending) {
    Timeline timeline(1000);
    timeline.reset({0, 0, 0, 0, 96});
    timeline.recordAt(100);
    timeline.add(10, 10, 1, 96);
    timeline.addCue(109);
    timeline.recordAt(200);
    timeline.add(20, 20, 1, 144);  // another scale: no blend toward it
    timeline.addScoreboardRepaint();
    std::vector<Event> due;

    EXPECT_EQ(timeline.at(94, due).x, 9);
    EXPECT_TRUE(due.empty());
    EXPECT_EQ(timeline.at(100, due).x, 10);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].cueId, 109);
    EXPECT_EQ(timeline.at(199, due).x, 10);
    EXPECT_EQ(due.size(), 1u);

    // A jump: the newest keyframe and what is pending, at once.
    const Keyframe jumped = timeline.showAll(due);
    EXPECT_TRUE(jumped.looksLike({200, 20, 20, 1, 144}));
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[1].kind, Event::scoreboard);
    EXPECT_FALSE(timeline.pending());

    // A drop: what is shown stays, what is not is forgotten; a repaint among it is reported.
    timeline.recordAt(300);
    timeline.add(40, 40, 2, 144);
    timeline.addCue(110);
    timeline.addScoreboardRepaint();
    due.clear();
    EXPECT_EQ(timeline.at(250, due).x, 30);
    EXPECT_TRUE(timeline.dropPending());
    EXPECT_FALSE(timeline.pending());
    EXPECT_EQ(timeline.at(400, due).x, 30);
    EXPECT_TRUE(due.empty());
}

TEST(Timeline, ABlendCuttingTheCornerOfAnAvoidedBoxHoldsTheEarlierKeyframe) {
    // Past the corner of a hoop's opening: neither end is in it, the middle of the line is.
    const motion::Corners opening{50, 87, 83, 143};
    Timeline timeline(1000);
    timeline.reset({0, 47, 130, 0, 96});
    timeline.recordAt(100);
    timeline.add(53, 146, 0, 96);
    timeline.recordAt(200);
    timeline.add(60, 140, 0, 96);  // one that ends inside is blended into as ever
    std::vector<Event> due;
    EXPECT_TRUE(timeline.at(60, due, &opening).looksLike({0, 47, 130, 0, 96}));
    EXPECT_TRUE(opening.hold(timeline.at(190, due, &opening)));
    Timeline plain(1000);
    plain.reset({0, 47, 130, 0, 96});
    plain.recordAt(100);
    plain.add(53, 146, 0, 96);
    EXPECT_TRUE(opening.hold(plain.at(60, due))) << "the corner is cut without it";
}

TEST(Timeline, AfterAStallTheShownTimeKeepsWithinItsLagOfTheNewestKeyframe) {
    // Ten seconds of sub-steps from one step: shown from 100 ticks before the newest, not
    // replayed from the start.
    Timeline timeline(100);
    timeline.reset({0, 0, 0, 0, 96});
    for (Ticks t = 20; t <= 10000; t += 20) {
        timeline.recordAt(t);
        timeline.add(static_cast<int>(t / 20), 0, 0, 96);
        timeline.addCue(109);
    }
    std::vector<Event> due;
    EXPECT_EQ(timeline.at(30, due).x, 495);
    EXPECT_EQ(due.size(), 495u);
}

TEST(VBlank, TheNextIsStrictlyAfterNowAndThePresentWakesHalfAPeriodBefore) {
    struct Case {
        const char* what;
        Ticks period, vblank, now, next;
    };
    const Ticks wine = 166666;  // 60 Hz on a 10 MHz counter
    const Ticks ntsc = 166834;  // 59.94 Hz
    const Case cases[] = {
        {"on a vblank", wine, 1000000, 1000000 + 3 * wine, 1000000 + 4 * wine},
        {"just before one", wine, 1000000, 1000000 + 3 * wine - 1, 1000000 + 3 * wine},
        {"the known vblank ahead of now", wine, 10000000, 10000000 - 5 * wine + 3, 10000000 - 4 * wine},
        {"59.94 Hz, a thousand periods on", ntsc, 123456789, 123456789 + 1000 * ntsc + ntsc / 2,
         123456789 + 1001 * ntsc},
        {"Wine's grid from zero", wine, 0, 123456789, 123499506},
        {"after a change to 144 Hz", 69444, 123400000, 123456789, 123400000 + 69444},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(motion::nextVBlank(c.period, c.vblank, c.now), c.next);
        const Ticks wake = motion::nextWake(c.period, c.vblank, c.now);
        EXPECT_GT(wake, c.now);
        EXPECT_LE(wake, c.now + c.period);
        EXPECT_EQ(motion::nextVBlank(c.period, c.vblank, wake), wake + c.period / 2);
    }
}

// The ball's flight through BallMotion, presented at 60 Hz, against the same flight moving its
// window at once. The performance counter runs at 1 MHz with the millisecond clock.
class ShownFlight : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        fake_clock::hasPerformanceCounter = true;
        fake_clock::performanceFrequency = 1000000;
        fake_clock::performanceCounter = Ticks{fake_clock::milliseconds} * 1000;
        motionTimeline = std::make_unique<BallMotion>(shown);
        nextStep = fake_clock::performanceCounter + 51000;
        nextPresent = fake_clock::performanceCounter + 1000000 / 60;
    }

    // Steps every 51 ms, each measuring 51 ms, and presents every 1/60 s between them, until
    // `until` says stop.
    template <typename Until>
    void fly(Ball& ball, Until until) {
        for (int i = 0; i < 20000 && !until(); ++i) {
            if (nextStep <= nextPresent) {
                at(nextStep);
                motionTimeline->step(ball);
                nextStep += 51000;
            } else {
                at(nextPresent);
                motionTimeline->showAt(nextPresent);
                nextPresent += 1000000 / 60;
            }
        }
    }
    static void at(Ticks t) {
        fake_clock::milliseconds = static_cast<std::uint32_t>(t / 1000);
        fake_clock::performanceCounter = t;
    }

    FakeDesktop shown;
    std::unique_ptr<BallMotion> motionTimeline;
    Ticks nextStep = 0;
    Ticks nextPresent = 0;
};

TEST_F(ShownFlight, TheRollInShowsANewPositionAtEveryPresentAndRestsWhereTheRulesPutIt) {
    FakeDesktop direct;
    Ball reference{direct};
    ScaledDesktop scaled{*motionTimeline, 50, 50};
    Ball ball{scaled};
    const std::uint32_t start = fake_clock::milliseconds;
    // The reference moves its window at once, 51 ms at a time.
    while (!reference.resting()) stepBy(reference, 51);
    resetWorld(start);

    fly(ball, [&] { return fake_clock::performanceCounter >= Ticks{start} * 1000 + 1000000; });
    // A second of the roll-in at 60 Hz, less the presents of the first step's latency.
    EXPECT_GE(shown.moves.size(), 55u);
    fly(ball, [&] { return ball.resting() && !motionTimeline->leftToShow(); });

    EXPECT_EQ(ball.position.x, reference.position.x);
    EXPECT_EQ(ball.position.y, reference.position.y);
    ASSERT_FALSE(shown.moves.empty());
    EXPECT_EQ(shown.moves.back(), direct.moves.back()) << "it rests where it rested";
    EXPECT_EQ(shown.cues, direct.cues) << "every bounce is heard";
}

TEST_F(ShownFlight, ADropAboveTheHoopScoresAndTheBallIsSeenInTheNetAsTheScoreboardRepaints) {
    ScaledDesktop scaled{*motionTimeline, 50, 50};
    Ball ball{scaled};
    ball.position = {160.0, 150.0};
    ball.velocity = {0.0, 0.0};
    gameState.shotLive = true;
    const int basketX = shown.backboard.left + hoop::centre - 25;

    fly(ball, [&] { return gameState.score == 2; });

    EXPECT_EQ(shown.scoreboardRepaints, 1);
    EXPECT_EQ(shown.moves.back().x, basketX);
    EXPECT_GE(shown.moves.back().y, shown.backboard.top + hoop::basketTopBelowTop);
    EXPECT_EQ(shown.cues.size(), 1u) << "the cheer with it";
    // From there the ball drops on through the net a step late, as before the basket.
    const int inNet = shown.moves.back().y;
    fly(ball, [&] { return shown.moves.back().y != inNet; });
    EXPECT_EQ(shown.moves.back().x, basketX);
    EXPECT_GT(shown.moves.back().y, inNet);
    EXPECT_LE(shown.moves.back().y, inNet + 3) << "no second jump";
}

TEST_F(ShownFlight, APressTakesTheBallWhereItIsSeenAndDropsWhatIsNotYetShown) {
    ScaledDesktop scaled{*motionTimeline, 50, 50};
    Ball ball{scaled};
    ball.position = {500.0, 600.0};
    ball.velocity = {0.0, 2000.0};  // reaches the floor within the step: its bounce is pending
    fly(ball, [&] { return !ball.grabbed && ball.velocity.y < 0.0 && shown.moves.size() >= 2; });
    ASSERT_TRUE(motionTimeline->leftToShow());
    const FakeDesktop::Move seen = shown.moves.back();
    ASSERT_NE(seen.y, static_cast<int>(ball.position.y)) << "the rules are ahead of the picture";

    motionTimeline->takeShownPosition(ball, scaled);
    scaled.press(ball, 30, 20, 0, 0);

    EXPECT_TRUE(ball.grabbed);
    EXPECT_EQ(ball.position.x, seen.x + 5);
    EXPECT_EQ(ball.position.y, seen.y - 5);
    EXPECT_EQ(shown.moves.back().x, seen.x + 5);
    EXPECT_EQ(shown.moves.back().y, seen.y - 5);
    EXPECT_FALSE(motionTimeline->leftToShow());
    motionTimeline->showAt(fake_clock::performanceCounter + 1000000);
    EXPECT_TRUE(shown.cues.empty()) << "the bounce not yet seen is not heard";
}

}  // namespace
