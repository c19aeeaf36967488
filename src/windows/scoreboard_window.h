#pragma once

#include "windows/set_sprite_window.h"

// The board above the backboard that shows the score as two digits.
class ScoreboardWindow : public SetSpriteWindow {
public:
    explicit ScoreboardWindow(Window* owner);

    void onPaint() override;
    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    void onDestroy() override;
    bool onCreate() override;
    bool onScaleChanged() override;
    HRGN createShape() override;
    // Nothing: the scoreboard takes the board's scale from the board.
    void onDpiChanged(unsigned newDpi, const RECT& suggested) override;
    // wmShowScore: the score shown anew.
    LRESULT onUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The board with the score's digits, composed in the buffer.
    HDC composed(POINT& from) override;
    // A buffer for the window's size and the digit strip for its scale, held by `newBuffer`
    // and `newDigits`; both or neither. Layered, both are premultiplied 32-bit pictures.
    bool makeBuffers(MemoryBitmap& newBuffer, MemoryBitmap& newDigits);
    void releaseBuffers();

    MemoryBitmap buffer;  // where the board is composed before it is shown
    MemoryBitmap digits;  // the digit strip

private:
    bool compose();
};

// Sent to the scoreboard when the score has changed.
constexpr UINT wmShowScore = WM_USER + 25;
