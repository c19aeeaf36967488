#include "windows/backboard_window.h"

#include <memory>

#include "platform/about_screen.h"
#include "platform/sound_cues.h"
#include "res/resource_ids.h"
#include "res/shapes.h"
#include "sim/game_state.h"
#include "windows/ball_window.h"
#include "windows/own_windows.h"
#include "windows/set_scale.h"
#include "windows/window_regions.h"

BackboardWindow::BackboardWindow(Window* owner_)
    : SetSpriteWindow(set_layout::backboardClass, set_layout::backboard.width, set_layout::backboard.height,
                   IDC_GRAB_HAND, IDB_BACKBOARD, 1, owner_, false) {}

bool BackboardWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MENU));
    if (!menu) return false;
    popupMenu = GetSubMenu(menu, 0);
    if (!popupMenu) return false;
    // The start corner measured from the primary monitor's top-left corner, (0, 0).
    boardX = set_scale::scaled(set_layout::startX, dpi);
    boardY = set_scale::scaled(set_layout::startY, dpi);
    SetWindowPos(hwnd, nullptr, boardX, boardY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    return shapeWindow(hwnd, createBackboardRegion(dpi));
}

bool BackboardWindow::onScaleChanged() {
    return SpriteWindow::onScaleChanged() && shapeWindow(hwnd, createBackboardRegion(dpi));
}

void BackboardWindow::onDpiChanged(unsigned newDpi, const RECT& suggested) {
    boardX = suggested.left;
    boardY = suggested.top;
    setDpi(newDpi);
    SetWindowPos(hwnd, nullptr, boardX, boardY, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    HWND net = findOwnWindow(set_layout::netClass);
    HWND scoreboard = findOwnWindow(set_layout::scoreboardClass);
    if (net && scoreboard) placeSet(net, scoreboard);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void BackboardWindow::onDestroy() {
    if (menu) DestroyMenu(menu);
    menu = nullptr;
    popupMenu = nullptr;
    SpriteWindow::onDestroy();
}

void BackboardWindow::onKeyDown(WPARAM key, unsigned short, unsigned short) {
    if (key == VK_ESCAPE) DestroyWindow(GetParent(hwnd));
}

void BackboardWindow::onLButtonDown(WPARAM, int x, int y) {
    showBallAtOnce();
    grabX = x;
    grabY = y;
    dragging = true;
    SetCapture(hwnd);
    keepOwnedWindowsAbove(className);
}

void BackboardWindow::onLButtonUp(WPARAM, int, int) {
    if (!dragging) return;
    dragging = false;
    ReleaseCapture();
}

// Capture taken away (Alt+Tab, a system dialog) ends the drag as letting go would; the
// board's own release has already ended it.
void BackboardWindow::onCaptureChanged(HWND newCapture) {
    if (newCapture != hwnd) dragging = false;
}

void BackboardWindow::onMouseMove(WPARAM, int x, int y) {
    if (!dragging) return;
    HWND net = findOwnWindow(set_layout::netClass);
    if (!net) return;
    HWND scoreboard = findOwnWindow(set_layout::scoreboardClass);
    if (!scoreboard) return;

    boardX += x - grabX;
    boardY += y - grabY;
    placeSet(net, scoreboard);
}

void BackboardWindow::placeSet(HWND net, HWND scoreboard) {
    const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    using set_scale::scaled;
    SetWindowPos(GetParent(hwnd), nullptr, boardX, boardY, 0, 0, flags);
    SetWindowPos(hwnd, nullptr, boardX, boardY, 0, 0, flags);
    SetWindowPos(net, nullptr, boardX + scaled(set_layout::netOffsetX, dpi),
                 boardY + scaled(set_layout::netOffsetY, dpi), 0, 0, flags);
    SetWindowPos(scoreboard, nullptr, boardX, boardY + scaled(set_layout::scoreboardOffsetY, dpi), 0, 0, flags);
}

void BackboardWindow::onRButtonDown(WPARAM, int x, int y) {
    showBallAtOnce();
    TrackPopupMenu(popupMenu, TPM_LEFTALIGN | TPM_VCENTERALIGN | TPM_RIGHTBUTTON, boardX + x,
                   boardY + y, 0, hwnd, nullptr);
}

bool BackboardWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
    case IDM_SOUND:
        toggleSound();
        CheckMenuItem(popupMenu, IDM_SOUND,
                      MF_BYCOMMAND | (isSoundEnabled() ? MF_CHECKED : MF_UNCHECKED));
        return true;
    case IDM_RESET_SCORE:
        gameState.score = 0;
        if (HWND scoreboard = findOwnWindow(set_layout::scoreboardClass)) InvalidateRect(scoreboard, nullptr, FALSE);
        return true;
    case IDM_ABOUT: {
        auto about = std::make_unique<AboutScreen>(instance, hwnd);
        about->show();
        return true;
    }
    case IDM_EXIT:
        // Destroys this window too; nothing of the object is touched afterwards.
        DestroyWindow(GetParent(hwnd));
        return true;
    default:
        return SetSpriteWindow::onCommand(wParam, lParam);
    }
}
