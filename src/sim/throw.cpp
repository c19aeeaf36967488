#include <cmath>

#include "sim/ball.h"
#include "sim/game_state.h"
#include "sim/hoop.h"

namespace {

// A throw needs more than this many milliseconds since the older drag sample, and a
// displacement longer than this many pixels, to be measured as a speed; together they keep
// the speed finite and non-zero.
const double minThrowMs = 5.0;
const double minThrowPx = 2.0;

// The aim assist steers toward the centre of the hoop, through an apex above it.
const double apexTargetWeight = 0.4;
const double apexBallWeight = 1.0 - apexTargetWeight;
const double apexHeight = 120.0;
const double aimedSpeedPerRootPx = 66.0;
const double aimedWeight = 0.7;
const double thrownWeight = 1.0 - aimedWeight;

Vector2 uniform(double s) { return {s, s}; }

}  // namespace

void Ball::grab(int x, int y) {
    // Before the grab clock starts: a resting ball's clock may still tick every 15.6 ms, too
    // coarse to time a flick.
    raiseClockResolution();
    grabbed = true;
    desktop.captureMouse();
    // The flight velocity still applies to this move's spin.
    moveAndSpin(position.add({static_cast<double>(x), static_cast<double>(y)}).subtract(halfSize()));
    velocity = {0.0, 0.0};
    dragSampleIndex = 0;
    dragSamples[0] = dragSamples[1] = position;
    dragSampleTimes[0] = dragSampleTimes[1] = 0.0;
    grabClock.restart();
}

void Ball::drag(int x, int y) {
    if (!grabbed) return;
    moveAndSpin(position.add({static_cast<double>(x), static_cast<double>(y)}).subtract(halfSize()));

    int i = dragSampleIndex;
    if (position.x == dragSamples[i].x && position.y == dragSamples[i].y) return;
    i = 1 - i;
    dragSampleIndex = i;
    dragSamples[i] = position;
    dragSampleTimes[i] = grabClock.elapsedSeconds() * 1000.0;
}

void Ball::release(int x, int y) {
    if (!grabbed) return;
    grabbed = false;
    desktop.releaseMouse();
    gameState.shotLive = true;

    // Where the ball would be if it followed the cursor now; the ball itself stays put.
    const Vector2 releasePoint =
        position.add({static_cast<double>(x), static_cast<double>(y)}).subtract(halfSize());
    const int older = 1 - dragSampleIndex;
    const double dtMs = grabClock.elapsedSeconds() * 1000.0 - dragSampleTimes[older];

    if (dtMs > minThrowMs) {
        velocity = releasePoint.subtract(dragSamples[older]);
        if (length(velocity) > minThrowPx) {
            velocity = velocity.scale(uniform(1000.0 / dtMs));
            const double thrownSpeed = length(velocity);

            const Vector2 centre = getPosition().add(halfSize());
            const ScreenRect board = desktop.backboardRect();
            const int hoopTop = board.top + hoop::rimTopBelowTop;
            const int hoopBottom = board.bottom + hoop::rimBottomBelowBottom;
            const Vector2 target{(board.left + hoop::openingLeft) + hoop::openingWidth * 0.5,
                                 hoopTop + (hoopBottom - hoopTop) * 0.5};

            // Steer only a throw that heads for the hoop on both axes.
            const Vector2 toTarget = target.subtract(centre);
            const bool towardHoop = !(velocity.x * toTarget.x < 0.0) && !(velocity.y * toTarget.y < 0.0);
            const Vector2 apex{apexTargetWeight * target.x + apexBallWeight * centre.x,
                               target.y - apexHeight};
            const double apexDistance = distance(apex, centre);

            // A ball centred exactly on the apex has no direction to aim in: it keeps the
            // measured velocity rather than dividing by zero.
            if (towardHoop && apexDistance > 0.0) {
                const double aimedSpeed = aimedSpeedPerRootPx * std::sqrt(distance(centre, target));
                const Vector2 aimed = apex.subtract(centre).scale(uniform(aimedSpeed / apexDistance));
                const Vector2 thrown = velocity.scale(uniform(aimedSpeed / thrownSpeed));
                velocity = aimed.scale(uniform(aimedWeight)).add(thrown.scale(uniform(thrownWeight)));

                // A gentle throw gets a gentler shot: the thrown speed over the apex distance.
                const double closing = thrownSpeed / apexDistance;
                if (closing < 1.0) velocity = velocity.scale(uniform(closing));
            }
        }
    }

    // The first flight step after the throw measures only the time since this release.
    tickClock.restart();
}
