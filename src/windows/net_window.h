#pragma once

#include "win/sprite_window.h"

// The net under the hoop; its mesh openings are cut out of the window, so the ball shows
// through them and clicks there reach whatever lies below.
class NetWindow : public SpriteWindow {
public:
    explicit NetWindow(Window* owner);

    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    bool onCreate() override;
};

