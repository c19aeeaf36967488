#pragma once

#include "win/sprite_window.h"

// The board above the backboard that shows the score as two digits.
class ScoreboardWindow : public SpriteWindow {
public:
    explicit ScoreboardWindow(Window* owner);

    void onPaint() override;
    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    void onDestroy() override;
    bool onCreate() override;
    void releaseBuffers();

    MemoryBitmap buffer;  // where the board is composed before it is shown
    MemoryBitmap digits;  // the digit strip
};

