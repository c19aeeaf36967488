#pragma once

#include "win/sprite_window.h"

// Where the other windows of the set stand relative to the backboard's top-left corner.
constexpr int netOffsetX = 50;
constexpr int netOffsetY = 102;
constexpr int scoreboardOffsetY = -51;

// The board with the hoop: drags the whole set and owns the popup menu.
class BackboardWindow : public SpriteWindow {
public:
    BackboardWindow(const char* className, int width, int height, unsigned cursorId,
                    unsigned bitmapId, Window* owner);
    ~BackboardWindow() override;

    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    void onLButtonDown(WPARAM keys, int x, int y) override;
    void onLButtonUp(WPARAM keys, int x, int y) override;
    void onRButtonDown(WPARAM keys, int x, int y) override;
    void onMouseMove(WPARAM keys, int x, int y) override;
    void onDestroy() override;
    bool onCommand(WPARAM wParam, LPARAM lParam) override;
    bool onCreate() override;
    void onCaptureChanged(HWND newCapture) override;

    HMENU menu = nullptr;
    HMENU popupMenu = nullptr;
    bool dragging = false;
    int boardX = 100;
    int boardY = 150;
    int grabX = 0;
    int grabY = 0;
};
