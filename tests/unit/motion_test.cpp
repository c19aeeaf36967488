#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// A flight from rest: steps come `firstStep` after its start, then every 51 ms (one of them
// 30 ms late), and presents at 60 Hz from the grid point just passed when the first step has
// run. The performance counter counts microseconds.
TEST(ShownClock, AFlightFromRestIsShownAtOnceInOrderNeverPastTheStepsAndThenAtItsLatency) {
    struct Case {
        const char* what;
        Ticks firstStep, phase;
        int lateStep;  // -1: none
    };
    const Ticks latency = 68000, frame = 16667, from = 1000000;
    const Case cases[] = {
        {"released 2 ms before a step", 2000, 1000, -1},
        {"released 25 ms before a step", 25000, 9000, -1},
        {"released 51 ms before a step", 51000, 16000, -1},
        {"a late step in the ramp holds the ball there", 25000, 5000, 1},
        {"the present's grid point before the release", 2000, 12000, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Ticks> steps{from + c.firstStep};
        for (int k = 1; k < 20; ++k) steps.push_back(steps.back() + 51000 + (k == c.lateStep ? 30000 : 0));
        motion::ShownClock clock(latency, 55000, 0.9);
        clock.startFrom(from);
        Ticks last = from, lastPresent = from, firstMove = 0;
        int held = 0;
        for (Ticks present = steps[0] - c.phase; present < from + 500000; present += frame) {
            const Ticks ranBy = std::max(present, steps[0]);
            const Ticks computed = *(std::upper_bound(steps.begin(), steps.end(), ranBy) - 1);
            const bool ramping = clock.rampingUp();
            const Ticks t = clock.at(present, computed);
            EXPECT_GE(t, last) << "at " << present - from;
            if (ramping) {
                EXPECT_LE(t - last, std::max<Ticks>(present - lastPresent, 0)) << "never faster than real time";
                EXPECT_LE(t, computed) << "nothing past the steps";
            }
            if (t > from && !firstMove) firstMove = ranBy;
            if (t >= computed) ++held;
            last = t;
            lastPresent = present;
        }
        EXPECT_LE(firstMove - steps[0], c.firstStep < c.phase ? frame : 0) << "moving at the first present after the step";
        EXPECT_EQ(held > 0, c.lateStep >= 0) << "held at the newest step";
        EXPECT_FALSE(clock.rampingUp());
        EXPECT_EQ(clock.at(from + 600000, steps.back()), from + 600000 - latency);
    }
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

TEST_F(ShownFlight, AThrowIsShownFromTheFirstStepOnInOrderNeverAheadOfTheRulesAndAPressTakesItWhereSeen) {
    for (const Ticks beforeStep : {3000, 25000, 50000}) {
        SCOPED_TRACE(testing::Message() << "released " << beforeStep << " us before a step");
        SetUp();
        ScaledDesktop scaled{*motionTimeline, 50, 50};
        Ball ball{scaled};
        ball.position = {500.0, 600.0};
        const Ticks release = nextStep + 3 * 51000 - beforeStep;
        const auto until = [&](Ticks t) {
            fly(ball, [&] { return std::min(nextStep, nextPresent) > t; });
            at(t);
        };
        // Picked up, drawn 40 px up in the last 20 ms and let go.
        until(release - 120000);
        scaled.press(ball, 25, 25, 525, 625);
        until(release - 20000);
        scaled.drag(ball, 25, 5, 525, 605);
        until(release - 10000);
        scaled.drag(ball, 25, 5, 525, 585);
        until(release);
        scaled.release(ball, 25, 5, 525, 565);
        const FakeDesktop::Move held = shown.moves.back();

        std::size_t seen = shown.moves.size();
        Ticks firstMove = 0;
        fly(ball, [&] {
            if (shown.moves.size() == seen) return false;
            const FakeDesktop::Move now = shown.moves.back(), before = shown.moves[seen - 1];
            EXPECT_TRUE(now.x <= before.x && now.y <= before.y) << "up and left, in order";
            EXPECT_TRUE(now.x >= std::floor(ball.position.x) && now.y >= std::floor(ball.position.y))
                << "behind the rules: " << now.x << ", " << now.y << " against " << ball.position.x << ", " << ball.position.y;
            seen = shown.moves.size();
            if (!firstMove) firstMove = fake_clock::performanceCounter;
            return fake_clock::performanceCounter >= release + 120000;
        });
        EXPECT_LT(firstMove - release, 68000) << "sooner than the latency";
        EXPECT_LE(firstMove - release, beforeStep + 2 * 16667) << "within two presents of the first step";

        // Still in the ramp: the press takes the ball where it is seen.
        const FakeDesktop::Move there = shown.moves.back();
        ASSERT_NE(there.y, held.y);
        motionTimeline->takeShownPosition(ball, scaled);
        scaled.press(ball, 25, 25, there.x + 25, there.y + 25);
        EXPECT_TRUE(ball.grabbed);
        EXPECT_EQ(ball.position.x, there.x);
        EXPECT_EQ(ball.position.y, there.y);
        EXPECT_FALSE(motionTimeline->leftToShow());
    }
}

TEST_F(ShownFlight, TheRollInShowsANewPositionAtEveryPresentAndRestsWhereTheRulesPutIt) {
    FakeDesktop direct;
    Ball reference{direct};
    ScaledDesktop scaled{*motionTimeline, 50, 50};
    Ball ball{scaled};
    const std::uint32_t start = fake_clock::milliseconds;
    // The reference moves its window at once, 51 ms at a time.
    while (!reference.resting()) stepBy(reference, 51);
    resetWorld(start);

    fly(ball, [&] { return !shown.moves.empty(); });
    EXPECT_LE(fake_clock::performanceCounter, Ticks{start} * 1000 + 51000 + 16667) << "at the first step's present";
    fly(ball, [&] { return fake_clock::performanceCounter >= Ticks{start} * 1000 + 1000000; });
    // A second of the roll-in at 60 Hz, less the presents before the first step.
    EXPECT_GE(shown.moves.size(), 57u);
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
