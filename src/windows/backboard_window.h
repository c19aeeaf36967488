#pragma once

#include "windows/set_sprite_window.h"
#include "windows/set_layout.h"

// The board with the hoop: drags the whole set and owns the popup menu.
class BackboardWindow : public SetSpriteWindow {
public:
    explicit BackboardWindow(Window* owner);

    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    void onLButtonDown(WPARAM keys, int x, int y) override;
    void onLButtonUp(WPARAM keys, int x, int y) override;
    void onRButtonDown(WPARAM keys, int x, int y) override;
    void onMouseMove(WPARAM keys, int x, int y) override;
    void onDestroy() override;
    bool onCommand(WPARAM wParam, LPARAM lParam) override;
    bool onCreate() override;
    void onCaptureChanged(HWND newCapture) override;
    HRGN createShape() override;
    // The board takes the suggested rectangle; net and scoreboard take its scale, and with
    // the host follow its corner.
    void onDpiChanged(unsigned newDpi, const RECT& suggested) override;
    // The set whole again, the board on a monitor.
    void onDisplayChange() override;
    // (boardX, boardY) from where the board really is.
    void readCorner();

    // Moves host, board, net and scoreboard to the board's corner (boardX, boardY).
    void placeSet(HWND net, HWND scoreboard);
    void followCursor(int x, int y);
    // Where the net and the scoreboard stand beside the board at its scale.
    POINT netPlace() const;
    POINT scoreboardPlace() const;

    HMENU menu = nullptr;
    HMENU popupMenu = nullptr;
    bool dragging = false;
    bool placingSet = false;  // inside onDpiChanged
    int boardX = set_layout::startX;
    int boardY = set_layout::startY;
    int grabX = 0;
    int grabY = 0;
};
