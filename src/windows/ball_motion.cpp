#include "windows/ball_motion.h"

#include <algorithm>

#include "motion/display_clock.h"
#include "sim/hoop.h"
#include "windows/set_layout.h"
#include "windows/set_scale.h"

using motion::Keyframe;
using motion::Ticks;

namespace {

Ticks ticksOf(double milliseconds) { return motion::ticksOf(milliseconds, motion::ticksPerSecond()); }

}  // namespace

BallMotion::BallMotion(DeviceDesktop& window_)
    : window(window_),
      timeline(ticksOf(motion::maxLagMs)),
      clock(ticksOf(motion::latencyMs), ticksOf(motion::nextStepDueMs), motion::rampSpeed) {}

// A basket is shown when it is counted: the picture jumps ahead to the ball in the net (at
// most one step) and holds it there until the timeline catches up. Shown a step late, a
// basket scored just before the user reaches for the ball would count without ever having
// been seen.
void BallMotion::step(Ball& ball) {
    stepping = true;
    stepBegun = false;
    scored = false;
    stepEnd = motion::now();
    board = window.backboardRect();
    const bool fromRest = !timeline.pending();
    ball.flightStep();
    stepping = false;
    // A flight from rest: a release, a drop or the roll-in.
    if (fromRest && stepBegun && timeline.pending())
        clock.startFrom(std::max(stepStart, stepEnd - ticksOf(motion::maxLagMs)));
    if (!scored) return;
    std::vector<motion::Event> due;
    const Keyframe k = timeline.at(scoredAt, due);
    show(k, due);
}

// The step measured its length up to about now, so it began that long ago.
void BallMotion::subStepEnds(double stepMs, double endMs) {
    if (!stepping) return;
    const Ticks perSecond = motion::ticksPerSecond();
    const Ticks start = stepEnd - motion::ticksOf(stepMs, perSecond);
    if (!stepBegun) {
        timeline.holdUntil(start);
        stepStart = std::max(start, timeline.recordingAt());
    }
    stepBegun = true;
    timeline.recordAt(start + motion::ticksOf(endMs, perSecond));
}

DeviceMonitor BallMotion::deviceMonitorAt(int x, int y) {
    const DeviceMonitor m = window.deviceMonitorAt(x, y);
    dpi = m.dpi;
    return m;
}

void BallMotion::standsAt(int x, int y, int frame, unsigned windowDpi) {
    onScreen = {motion::now(), x, y, frame, windowDpi};
    onScreenKnown = true;
    timeline.reset(onScreen);
    clock.stop();
}

// A move outside a step (a grab, a drag, a scale change) is the user's or the system's: it is
// shown at once, after whatever was still pending.
void BallMotion::moveTo(int x, int y, int frame) {
    if (stepping) return timeline.add(x, y, frame, dpi);
    showAllNow();
    window.moveTo(x, y, frame);
    standsAt(x, y, frame, dpi);
}

void BallMotion::playCue(int cueId) {
    if (stepping) return timeline.addCue(cueId);
    window.playCue(cueId);
}

void BallMotion::repaintScoreboard() {
    if (!stepping) return window.repaintScoreboard();
    timeline.addScoreboardRepaint();
    scored = true;
    scoredAt = timeline.recordingAt();
}

// The rules judge a basket at the ends of sub-steps only. A blend between two of them that
// cuts the corner of the hoop's opening would show a basket they never counted: it holds the
// earlier one instead.
void BallMotion::showAt(Ticks presentTime) {
    const unsigned scale = onScreenKnown && onScreen.dpi ? onScreen.dpi : set_scale::baseDpi;
    const auto px = [scale](int units) { return set_scale::scaled(units, scale); };
    const motion::Corners opening{board.left + px(hoop::openingLeft), board.top + px(hoop::basketTopBelowTop),
                                  board.left + px(hoop::openingRight) - px(set_layout::ball.width),
                                  board.bottom + px(hoop::basketBottomBelowBottom) - px(set_layout::ball.height)};
    std::vector<motion::Event> due;
    show(timeline.at(clock.at(presentTime, stepEnd), due, &opening), due);
}

void BallMotion::showAllNow() {
    std::vector<motion::Event> due;
    const Keyframe k = timeline.showAll(due);
    clock.stop();
    show(k, due);
}

// The picture first, then its sound: a bounce is heard as it is seen.
void BallMotion::show(const Keyframe& k, const std::vector<motion::Event>& due) {
    if (!timeline.empty() && !(onScreenKnown && k.looksLike(onScreen))) {
        window.showBall(k.x, k.y, k.frame, k.dpi);
        onScreen = k;
        onScreenKnown = true;
    }
    bool repaint = false;
    for (const motion::Event& e : due) {
        if (e.kind == motion::Event::cue) {
            window.playCue(e.cueId);
        } else {
            repaint = true;
        }
    }
    if (repaint) window.repaintScoreboard();
}

void BallMotion::takeShownPosition(Ball& ball, ScaledDesktop& units) {
    if (!timeline.pending()) return;
    clock.stop();
    if (timeline.dropPending()) window.repaintScoreboard();
    if (!onScreenKnown) return;
    ball.position = units.unitsOf(onScreen.x, onScreen.y);
    ball.currentFrame = onScreen.frame;
}
