#include <cmath>
#include <cstdlib>

#include "sim/ball.h"
#include "sim/game_state.h"

// The hoop hangs below the backboard window: its opening runs from L + 50 to L + 133, and the
// rim bands beside it reach 40 px further out on either side. All offsets are from the
// backboard's screen rectangle (L, T, R, B); B = T + 134 for the backboard picture.
namespace {

const int basketTopBelowTop = 87;        // py >= T + 87 ...
const int basketBottomBelowBottom = 59;  // ... and ballBottom <= B + 59
const int openingLeft = 50;
const int openingRight = 133;
const int rimTopBelowTop = 102;          // ballBottom >= T + 102 ...
const int rimBottomBelowBottom = 44;     // ... and ballBottom <= B + 44
const int leftRimLeft = 10;
const int leftRimRight = 93;
const int rightRimLeft = 90;
const int rightRimRight = 173;
const int hoopCentre = 92;

const double rimBounce = -0.75;
const double rimPush = 30.0;             // px/s toward the opening
const double rimCueSpeed = 150.0;        // px/s; slower rim touches are silent
const double basketSlowdown = 0.1;

int trunc32(double v) { return static_cast<int>(v); }

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
            candidate.x = L + hoopCentre - width / 2;
            desktop.playCue(std::rand() % 100 > 75 ? cueBigCheer : cueCheer);
            gameState.score += 2;
            desktop.repaintScoreboard();
            gameState.shotLive = false;
        }
        return;
    }

    if (ballBottom >= T + rimTopBelowTop && ballBottom <= B + rimBottomBelowBottom) {
        const double speed = std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y);
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
