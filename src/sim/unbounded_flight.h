#pragma once

#include "sim/ball.h"
#include "sim/game_state.h"

// The catch-up of a flight step exactly as the rules state it, with no early end once the ball
// rests: one sub-step for every 20 ms of `elapsedMs`, until a collision ends it. The reference
// that a step after a long pause is compared with, by the flight tests and the rest measure;
// the program itself never runs it. `desktop` is the ball's own.
inline void unboundedCatchUp(Ball& ball, BallDesktop& desktop, double elapsedMs) {
    for (double remaining = elapsedMs; remaining > 0.0; remaining -= 20.0) {
        const double dt = remaining > 20.0 ? 0.02 : remaining * 0.001;
        Vector2& v = ball.velocity;
        if (trunc32(ball.position.y) < ball.floorY()) v.y += 1200.0 * dt;
        v = v.scale({0.985, 0.985});
        Vector2 next = ball.position.add(v.scale({dt, dt}));

        auto collide = [&](double& component, double& coordinate, int edge, int cue) {
            component *= -0.75;
            coordinate = edge;
            ball.moveAndSpin(next);
            desktop.playCue(cue);
        };
        if (trunc32(next.y) > ball.floorY()) return collide(v.y, next.y, ball.floorY(), cueFloorBounce);
        if (trunc32(next.y) < ball.ceilingY()) return collide(v.y, next.y, ball.ceilingY(), cueFloorBounce);
        if (trunc32(next.x) < ball.leftWallX()) return collide(v.x, next.x, ball.leftWallX(), cueWallBounce);
        if (trunc32(next.x) + ball.width > ball.workAreaRight())
            return collide(v.x, next.x, ball.workAreaRight() - ball.width, cueWallBounce);
        if (next.y > ball.floorY() - 5.0) {
            if (v.y > -10.0 && v.y < 10.0) {
                v.y = 0.0;
                next.y = ball.floorY();
            }
            if (v.x > -10.0 && v.x < 10.0) v.x = 0.0;
        }
        if (gameState.shotLive) ball.hoopCheck(next);
        ball.moveAndSpin(next);
    }
}
