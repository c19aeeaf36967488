#include "sim/ball.h"

#include <algorithm>
#include <cmath>

#include "sim/game_state.h"

namespace {

const double subStepMs = 20.0;
const double damping = 0.985;
const double bounce = -0.75;
const double restBand = 5.0;     // px above the floor within which a slow ball settles
const double restSpeed = 10.0;   // px/s
const double spinSpeed = 5.0;    // px/s

}  // namespace

Ball::Ball(BallDesktop& desktop_, int width_, int height_, int frameCount_)
    : width(width_), height(height_), frameCount(frameCount_), desktop(desktop_) {}

// The bounds come from the monitor under the ball's current centre, not the candidate's: a
// candidate past a wall may already lie on the neighbouring monitor, and testing it against that
// monitor's walls would let a flight jump across. So a flight stays on its monitor; a drag moves
// the ball to another.
Ball::Bounds Ball::bounds() {
    const Vector2 centre = position.add(halfSize());
    const MonitorArea m = desktop.monitorAt(trunc32(centre.x), trunc32(centre.y));
    return {m.workArea.bottom - height, m.workArea.right, m.monitor.top, m.monitor.left};
}

int Ball::floorY() { return bounds().floorY; }

int Ball::workAreaRight() { return bounds().right; }

int Ball::ceilingY() { return bounds().ceilingY; }

int Ball::leftWallX() { return bounds().left; }

// From this state a sub-step applies no gravity (y is not above the floor), damps a zero
// velocity to zero, meets no edge, keeps both components at zero under the rest rule, leaves
// the hoop alone (it acts only on a falling ball) and sees an unchanged position.
bool Ball::restingWithin(const Bounds& b) const {
    if (!still()) return false;
    if (position.y != b.floorY || trunc32(position.y) < b.ceilingY) return false;
    return trunc32(position.x) >= b.left && trunc32(position.x) + width <= b.right;
}

// The main loop asks after every message, in flight too: a moving or held ball answers without
// the monitor lookup, which is slow on some systems.
bool Ball::resting() { return still() && restingWithin(bounds()); }

void Ball::flightStep() {
    if (grabbed) return;

    elapsedMs = tickClock.elapsedSeconds() * 1000.0;
    tickClock.restart();

    for (double remaining = elapsedMs; remaining > 0.0; remaining -= subStepMs) {
        // Read once per sub-step: the position, and with it the monitor, only changes at its
        // end, and a monitor lookup is slow (over 0.1 ms a call under Wine).
        const Bounds b = bounds();
        // Once the ball rests the remaining sub-steps would change nothing: after a long pause
        // they would only read the monitor millions of times.
        if (restingWithin(b)) break;
        const double dt = remaining > subStepMs ? subStepMs * 0.001 : remaining * 0.001;
        const Vector2 step{dt, dt};
        desktop.subStepEnds(elapsedMs, elapsedMs - remaining + std::min(remaining, subStepMs));

        if (trunc32(position.y) < b.floorY) velocity = velocity.add(gravity.scale(step));
        velocity = velocity.scale({damping, damping});
        Vector2 next = position.add(velocity.scale(step));

        // A collision reflects one component, clamps one coordinate and ends the whole step;
        // the time still remaining is dropped.
        auto collide = [&](double& component, double& coordinate, int edge, int cue) {
            component *= bounce;
            coordinate = edge;
            moveAndSpin(next);
            desktop.playCue(cue);
        };
        if (trunc32(next.y) > b.floorY) return collide(velocity.y, next.y, b.floorY, cueFloorBounce);
        if (trunc32(next.y) < b.ceilingY) return collide(velocity.y, next.y, b.ceilingY, cueFloorBounce);
        if (trunc32(next.x) < b.left) return collide(velocity.x, next.x, b.left, cueWallBounce);
        if (trunc32(next.x) + width > b.right)
            return collide(velocity.x, next.x, b.right - width, cueWallBounce);

        if (next.y > b.floorY - restBand) {
            if (velocity.y > -restSpeed && velocity.y < restSpeed) {
                velocity.y = 0.0;
                next.y = b.floorY;
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
