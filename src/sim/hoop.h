#pragma once

// The hoop hangs below the backboard window. All offsets are from the backboard's screen
// rectangle (L, T, R, B); B = T + 134 for the backboard picture.
namespace hoop {

// The opening runs from L + 50 to L + 133; the net hangs from its left end at the rim's top.
constexpr int openingLeft = 50;
constexpr int openingRight = 133;
constexpr int openingWidth = openingRight - openingLeft;
constexpr int centre = 92;  // the line a basket drops down

// A ball in the opening is a basket when its top is at T + 87 or lower and its bottom at
// B + 59 or higher.
constexpr int basketTopBelowTop = 87;
constexpr int basketBottomBelowBottom = 59;

// The rim bands beside the opening reach 40 px further out on either side, at heights where
// the ball's bottom is from T + 102 to B + 44.
constexpr int rimReach = 40;
constexpr int rimTopBelowTop = 102;
constexpr int rimBottomBelowBottom = 44;

}  // namespace hoop
