#include "sim/ball.h"

#include <cmath>

#include "sim/game_state.h"

namespace {

const double subStepMs = 20.0;
const double damping = 0.985;
const double bounce = -0.75;
const double restBand = 5.0;     // px above the floor within which a slow ball settles
const double restSpeed = 10.0;   // px/s
const double spinSpeed = 5.0;    // px/s

// Truncation toward zero, as the window placement does.

}  // namespace

Ball::Ball(BallDesktop& desktop_, int width_, int height_, int frameCount_)
    : width(width_), height(height_), frameCount(frameCount_), desktop(desktop_) {}

int Ball::floorY() { return desktop.workArea().bottom - height; }

int Ball::workAreaRight() { return desktop.workArea().right; }

// From this state a sub-step applies no gravity (y is not above the floor), damps a zero
// velocity to zero, meets no edge, keeps both components at zero under the rest rule, leaves
// the hoop alone (it acts only on a falling ball) and sees an unchanged position.
bool Ball::resting() {
    if (grabbed || velocity.x != 0.0 || velocity.y != 0.0) return false;
    if (position.y != floorY() || trunc32(position.y) < 0) return false;
    return trunc32(position.x) >= 0 && trunc32(position.x) + width <= workAreaRight();
}

void Ball::flightStep() {
    if (grabbed) return;

    elapsedMs = tickClock.elapsedSeconds() * 1000.0;
    tickClock.restart();

    // Once the ball rests the remaining sub-steps would change nothing: after a long pause
    // they would only read the work area millions of times.
    for (double remaining = elapsedMs; remaining > 0.0 && !resting(); remaining -= subStepMs) {
        const double dt = remaining > subStepMs ? subStepMs * 0.001 : remaining * 0.001;
        const Vector2 step{dt, dt};

        if (trunc32(position.y) < floorY()) velocity = velocity.add(gravity.scale(step));
        velocity = velocity.scale({damping, damping});
        Vector2 next = position.add(velocity.scale(step));

        // A collision ends the whole step; the time still remaining is dropped.
        if (trunc32(next.y) > floorY()) {
            velocity.y *= bounce;
            next.y = floorY();
            moveAndSpin(next);
            desktop.playCue(cueFloorBounce);
            return;
        }
        if (trunc32(next.y) < 0) {
            velocity.y *= bounce;
            next.y = 0.0;
            moveAndSpin(next);
            desktop.playCue(cueFloorBounce);
            return;
        }
        if (trunc32(next.x) < 0) {
            velocity.x *= bounce;
            next.x = 0.0;
            moveAndSpin(next);
            desktop.playCue(cueWallBounce);
            return;
        }
        if (trunc32(next.x) + width > workAreaRight()) {
            velocity.x *= bounce;
            next.x = workAreaRight() - width;
            moveAndSpin(next);
            desktop.playCue(cueWallBounce);
            return;
        }

        if (next.y > floorY() - restBand) {
            if (velocity.y > -restSpeed && velocity.y < restSpeed) {
                velocity.y = 0.0;
                next.y = floorY();
            }
            if (velocity.x > -restSpeed && velocity.x < restSpeed) velocity.x = 0.0;
        }

        if (gameState.shotLive) hoopCheck(next);

        moveAndSpin(next);
    }
}

void Ball::moveAndSpin(Vector2 newPosition) {
    if (newPosition.x == position.x && newPosition.y == position.y) return;
    position = newPosition;

    const double speed = length(velocity);
    if (speed > spinSpeed) {
        ++gameState.spinCounter;
        if (gameState.spinCounter % 3 == 0) currentFrame = (currentFrame + 1) % frameCount;
    }
    desktop.moveTo(trunc32(position.x), trunc32(position.y), currentFrame);
}
