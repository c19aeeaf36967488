#pragma once

// Where the set's windows stand and what they are called: read by the windows, the set's
// assembly, the tests and the programs that drive the set. Plain values, no <windows.h>.
#include "sim/hoop.h"

namespace set_layout {

// Class names, which are also the windows' titles.
constexpr char hostClass[] = "Quorvel Basketball";
constexpr char backboardClass[] = "backboard";
constexpr char scoreboardClass[] = "bballscoreb";
constexpr char ballClass[] = "basketball";
constexpr char netClass[] = "bballnet";

// The host's and the backboard's top-left corner when the set starts.
constexpr int startX = 100;
constexpr int startY = 150;

// Window sizes, those of the pictures (one frame of the ball's strip of seven).
struct WindowSize {
    int width, height;
};
constexpr WindowSize backboard{187, 134};
constexpr WindowSize scoreboard{187, 42};
constexpr WindowSize net{hoop::openingWidth, 76};
constexpr WindowSize ball{50, 50};
constexpr int ballFrames = 7;

// Where the other windows stand relative to the backboard's top-left corner: the net hangs
// from the hoop's opening at the rim's top, the scoreboard sits above the board.
constexpr int netOffsetX = hoop::openingLeft;
constexpr int netOffsetY = hoop::rimTopBelowTop;
constexpr int scoreboardOffsetY = -51;

// The scoreboard's two digit cells (tens, units) from its top-left corner, and the size of a
// cell: that of one digit of the digit strip, where 0 to 9 stand top to bottom.
constexpr int digitCellX[2] = {148, 163};
constexpr int digitCellY = 13;
constexpr WindowSize digitCell{14, 15};

}  // namespace set_layout
