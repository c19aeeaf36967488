#pragma once

#include "windows/set_sprite_window.h"

// The net under the hoop; its mesh openings are cut out of the window, so the ball shows
// through them and clicks there reach whatever lies below.
class NetWindow : public SetSpriteWindow {
public:
    explicit NetWindow(Window* owner);

    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    bool onCreate() override;
    HRGN createShape() override;
    // Nothing: the net takes the board's scale from the board.
    void onDpiChanged(unsigned newDpi, const RECT& suggested) override;
};

