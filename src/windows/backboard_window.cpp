#include "windows/backboard_window.h"

#include <memory>
#include <utility>

#include "platform/about_screen.h"
#include "platform/sound_cues.h"
#include "res/resource_ids.h"
#include "res/shapes.h"
#include "sim/game_state.h"
#include "windows/ball_window.h"
#include "windows/own_windows.h"
#include "windows/scoreboard_window.h"
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
    return true;
}

HRGN BackboardWindow::createShape() { return createBackboardRegion(dpi); }

// The set has one scale, the board's: the net and the scoreboard ignore their own changes,
// and the board rescales and places them here. While it does, a change the system starts from
// inside these moves is not taken.
void BackboardWindow::onDpiChanged(unsigned newDpi, const RECT& suggested) {
    if (placingSet) return;
    placingSet = true;
    // The cursor stays on the point of the board where the system put it: a grab scaled with
    // the board would move the board about the cursor, back across the line it just crossed.
    const int cursorX = boardX + grabX, cursorY = boardY + grabY;
    boardX = suggested.left;
    boardY = suggested.top;
    if (dragging) {
        grabX = cursorX - boardX;
        grabY = cursorY - boardY;
    }
    rescale(newDpi);
    placeAt(boardX, boardY);
    HWND net = findOwnWindow(set_layout::netClass);
    HWND scoreboard = findOwnWindow(set_layout::scoreboardClass);
    // Resized and placed in one move: a resize where it stood could carry it across first.
    const std::pair<HWND, POINT> followers[] = {{net, netPlace()}, {scoreboard, scoreboardPlace()}};
    for (const auto& [follower, at] : followers) {
        auto* window = dynamic_cast<SpriteWindow*>(Window::boundTo(follower));
        if (window != nullptr && window->dpi != dpi && window->rescale(dpi)) window->placeAt(at.x, at.y);
    }
    if (net && scoreboard) placeSet(net, scoreboard);
    placingSet = false;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void BackboardWindow::readCorner() {
    RECT r{};
    if (!GetWindowRect(hwnd, &r)) return;
    boardX = r.left;
    boardY = r.top;
}

namespace {

bool onAMonitor(LONG x, LONG y) { return MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONULL) != nullptr; }

}  // namespace

// The system has moved the board alone, or left it where no monitor is any more.
void BackboardWindow::onDisplayChange() {
    readCorner();
    RECT r{boardX, boardY, boardX + width, boardY + height};
    if (!onAMonitor(r.left, r.top) || !onAMonitor(r.right - 1, r.top) || !onAMonitor(r.left, r.bottom - 1) ||
        !onAMonitor(r.right - 1, r.bottom - 1)) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) {
            const RECT& work = info.rcWork;
            boardX = r.left < work.left ? work.left : r.right > work.right ? work.right - width : r.left;
            boardY = r.top < work.top ? work.top : r.bottom > work.bottom ? work.bottom - height : r.top;
        }
    }
    HWND net = findOwnWindow(set_layout::netClass);
    HWND scoreboard = findOwnWindow(set_layout::scoreboardClass);
    if (net && scoreboard) placeSet(net, scoreboard);
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
    readCorner();  // the system may have moved the board since the last drag
    grabX = x;
    grabY = y;
    dragging = true;
    SetCapture(hwnd);
    keepOwnedWindowsAbove(className);
}

// The set lands where the button comes up: the last move before it may have been lost, or
// (Wine) mapped from where the board stood before it moved.
void BackboardWindow::onLButtonUp(WPARAM, int x, int y) {
    if (!dragging) return;
    followCursor(x, y);
    dragging = false;
    ReleaseCapture();
}

// Capture taken away (Alt+Tab, a system dialog) ends the drag as letting go would; the
// board's own release has already ended it.
void BackboardWindow::onCaptureChanged(HWND newCapture) {
    if (newCapture != hwnd) dragging = false;
}

void BackboardWindow::onMouseMove(WPARAM, int x, int y) {
    if (dragging) followCursor(x, y);
}

void BackboardWindow::followCursor(int x, int y) {
    HWND net = findOwnWindow(set_layout::netClass);
    if (!net) return;
    HWND scoreboard = findOwnWindow(set_layout::scoreboardClass);
    if (!scoreboard) return;

    boardX += x - grabX;
    boardY += y - grabY;
    placeSet(net, scoreboard);
}

void BackboardWindow::placeSet(HWND net, HWND scoreboard) {
    // Each window draws itself anew where it lands: bits copied from where it stood can be
    // the screen's under load (another window's, not yet its own), and would then stay.
    const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
    SetWindowPos(GetParent(hwnd), nullptr, boardX, boardY, 0, 0, flags);
    SetWindowPos(hwnd, nullptr, boardX, boardY, 0, 0, flags);
    const POINT netAt = netPlace(), scoreboardAt = scoreboardPlace();
    SetWindowPos(net, nullptr, netAt.x, netAt.y, 0, 0, flags);
    SetWindowPos(scoreboard, nullptr, scoreboardAt.x, scoreboardAt.y, 0, 0, flags);
}

POINT BackboardWindow::netPlace() const {
    using set_scale::scaled;
    return {boardX + scaled(set_layout::netOffsetX, dpi), boardY + scaled(set_layout::netOffsetY, dpi)};
}

POINT BackboardWindow::scoreboardPlace() const {
    return {boardX, boardY + set_scale::scaled(set_layout::scoreboardOffsetY, dpi)};
}

void BackboardWindow::onRButtonDown(WPARAM, int x, int y) {
    showBallAtOnce();
    readCorner();
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
        if (HWND scoreboard = findOwnWindow(set_layout::scoreboardClass)) SendMessageA(scoreboard, wmShowScore, 0, 0);
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
