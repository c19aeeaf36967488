#pragma once

#include "win/window.h"

// The zero-size top-level window that carries the taskbar button and owns the set.
class HostWindow : public Window {
public:
    HostWindow(int startX, int startY);
    ~HostWindow() override;

    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    void onInitMenu(HMENU menu) override;
    void onInitMenuPopup(HMENU menu) override;
    bool onCreate() override;

    int startX;
    int startY;
};
