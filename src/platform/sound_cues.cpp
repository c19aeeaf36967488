#include "platform/sound_cues.h"

#include "platform/sound_output.h"
#include "res/resource_ids.h"
#include "sim/ball.h"
#include "sim/stopwatch.h"

// The ball names its cues; they are played as the "WAVE" resources of the same numbers.
static_assert(cueFloorBounce == IDW_FLOOR && cueWallBounce == IDW_WALL && cueCheer == IDW_CHEER &&
                  cueBigCheer == IDW_BIG_CHEER && cueRim == IDW_RIM,
              "every cue is the number of its sound resource");

bool soundEnabled = true;
bool cueGateOpen = true;

namespace {

// A little longer than the longer basket cue.
const double longCueSeconds = 3.3;

bool isLongCue(int cueId) { return cueId == cueCheer || cueId == cueBigCheer; }

}  // namespace

void playCue(int cueId, void* module) {
    // With sound off the gate is not consulted, so it cannot reopen here.
    if (!soundEnabled) return;
    if (!cueGateIsOpen()) return;
    sound_output::startCue(cueId, module);
    // Closes even if the sound could not be played: nothing tells us.
    if (isLongCue(cueId)) {
        cueGateClock.restart();
        cueGateOpen = false;
    }
}

bool cueGateIsOpen() {
    if (cueGateOpen) return true;
    if (!(cueGateClock.elapsedSeconds() < longCueSeconds)) cueGateOpen = true;
    return cueGateOpen;
}

bool toggleSound() {
    soundEnabled = !soundEnabled;
    return soundEnabled;
}

bool isSoundEnabled() { return soundEnabled; }
