#include <gtest/gtest.h>

#include <vector>

#include "platform/sound_cues.h"
#include "sim/ball.h"
#include "sim/stopwatch.h"
#include "support/fake_clock.h"
#include "unit/fake_sound_output.h"

namespace {

using fake_sound_output::cueIds;

class SoundCues : public ::testing::Test {
protected:
    void SetUp() override {
        soundEnabled = true;
        cueGateOpen = true;
        fake_sound_output::requests.clear();
        fake_clock::milliseconds = start;
    }

    void at(std::uint32_t msAfterStart) { fake_clock::milliseconds = start + msAfterStart; }
    void play(int cueId) { playCue(cueId, module); }

    const std::uint32_t start = 200000;
    int moduleStandIn = 0;
    void* const module = &moduleStandIn;
};

TEST_F(SoundCues, APlayedCueGoesOutWithItsModule) {
    play(cueFloorBounce);
    ASSERT_EQ(fake_sound_output::requests.size(), 1u);
    EXPECT_EQ(fake_sound_output::requests[0].cueId, cueFloorBounce);
    EXPECT_EQ(fake_sound_output::requests[0].module, module);
}

TEST_F(SoundCues, ABasketCueSilencesEveryOtherCueFor3Point3Seconds) {
    play(cueBigCheer);
    EXPECT_FALSE(cueGateOpen);
    at(1000);
    play(cueFloorBounce);
    at(3299);
    play(cueRim);
    EXPECT_EQ(cueIds(), std::vector<int>{cueBigCheer});
    EXPECT_FALSE(cueGateOpen);

    at(3300);
    play(cueWallBounce);
    EXPECT_EQ(cueIds(), (std::vector<int>{cueBigCheer, cueWallBounce}));
    EXPECT_TRUE(cueGateOpen);
}

TEST_F(SoundCues, ASecondBasketInsideTheGateIsDroppedAndDoesNotRestartIt) {
    play(cueCheer);
    at(2000);
    play(cueBigCheer);
    at(3300);
    play(cueFloorBounce);
    EXPECT_EQ(cueIds(), (std::vector<int>{cueCheer, cueFloorBounce}));
}

TEST_F(SoundCues, TheGateReopensOnlyWhenAsked) {
    play(cueCheer);
    at(60000);
    EXPECT_FALSE(cueGateOpen) << "nothing has asked yet";
    EXPECT_TRUE(cueGateIsOpen());
    EXPECT_TRUE(cueGateOpen);
}

TEST_F(SoundCues, ShortCuesNeverCloseTheGate) {
    for (int cue : {cueFloorBounce, cueWallBounce, cueRim, cueFloorBounce}) {
        play(cue);
        EXPECT_TRUE(cueGateOpen);
    }
    EXPECT_EQ(cueIds(), (std::vector<int>{cueFloorBounce, cueWallBounce, cueRim, cueFloorBounce}));
}

TEST_F(SoundCues, WithSoundOffNothingPlaysAndTheGateIsLeftAlone) {
    EXPECT_FALSE(toggleSound());
    EXPECT_FALSE(isSoundEnabled());
    play(cueBigCheer);
    EXPECT_TRUE(cueGateOpen) << "a dropped basket cue does not close the gate";
    EXPECT_TRUE(cueIds().empty());

    // Back on, a basket closes the gate; switched off and on again inside the 3.3 s, the
    // gate is still closed.
    EXPECT_TRUE(toggleSound());
    play(cueCheer);
    EXPECT_FALSE(toggleSound());
    at(1000);
    EXPECT_TRUE(toggleSound());
    play(cueFloorBounce);
    EXPECT_EQ(cueIds(), std::vector<int>{cueCheer});

    // While sound is off, a request past the 3.3 s does not reopen the gate; the first one
    // with sound on does, and plays.
    EXPECT_FALSE(toggleSound());
    at(5000);
    play(cueFloorBounce);
    EXPECT_FALSE(cueGateOpen);
    EXPECT_TRUE(toggleSound());
    play(cueFloorBounce);
    EXPECT_TRUE(cueGateOpen);
    EXPECT_EQ(cueIds(), (std::vector<int>{cueCheer, cueFloorBounce}));
}

TEST_F(SoundCues, ToggleTwiceComesBackOn) {
    EXPECT_TRUE(isSoundEnabled());
    EXPECT_FALSE(toggleSound());
    EXPECT_TRUE(toggleSound());
    EXPECT_TRUE(soundEnabled);
}

}  // namespace
