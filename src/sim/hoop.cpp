#include <cmath>
#include <cstdlib>

#include "sim/ball.h"
#include "sim/game_state.h"
#include "sim/hoop.h"

using namespace hoop;

namespace {

const int leftRimLeft = openingLeft - rimReach;
const int leftRimRight = openingRight - rimReach;
const int rightRimLeft = openingLeft + rimReach;
const int rightRimRight = openingRight + rimReach;

const double rimBounce = -0.75;
const double rimPush = 30.0;             // px/s toward the opening
const double rimCueSpeed = 150.0;        // px/s; slower rim touches are silent
const double basketSlowdown = 0.1;

}  // namespace

void Ball::hoopCheck(Vector2& candidate) {
    const int px = trunc32(candidate.x);
    const int py = trunc32(candidate.y);
    const int ballRight = px + width;
    const int ballBottom = py + height;
    const ScreenRect board = desktop.backboardRect();
    const int L = board.left;
    const int T = board.top;
    const int B = board.bottom;

    // Only a falling ball meets the hoop.
    if (!(velocity.y > 0.0)) return;

    if (py >= T + basketTopBelowTop && ballBottom <= B + basketBottomBelowBottom) {
        if (px >= L + openingLeft && ballRight <= L + openingRight) {
            // Basket: the ball drops slowly down the hoop's centre line behind the net.
            velocity.y *= basketSlowdown;
            velocity.x = 0.0;
            candidate.x = L + centre - width / 2;
            desktop.playCue(std::rand() % 100 > 75 ? cueBigCheer : cueCheer);
            gameState.score += 2;
            desktop.repaintScoreboard();
            gameState.shotLive = false;
        }
        return;
    }

    if (ballBottom >= T + rimTopBelowTop && ballBottom <= B + rimBottomBelowBottom) {
        const double speed = length(velocity);
        double push = 0.0;
        if (px >= L + leftRimLeft && ballRight <= L + leftRimRight) {
            push = rimPush;
        } else if (px >= L + rightRimLeft && ballRight <= L + rightRimRight) {
            push = -rimPush;
        } else {
            return;
        }
        if (speed > rimCueSpeed) desktop.playCue(cueRim);
        velocity.y *= rimBounce;
        velocity.x += push;
    }
}
