#include "windows/ball_window.h"

#include "app/desktop.h"
#include "app/sound_cues.h"
#include "app/resource_numbers.h"
#include "windows/own_windows.h"

RoundSpriteWindow::RoundSpriteWindow(const char* className_, int width_, int height_,
                                     unsigned cursorId_, unsigned bitmapId_, int frameCount_,
                                     Window* owner_)
    : SpriteWindow(className_, width_, height_, cursorId_, bitmapId_, frameCount_, owner_, false) {}

RoundSpriteWindow::~RoundSpriteWindow() = default;

bool RoundSpriteWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    HRGN region = CreateEllipticRgn(0, 0, width, height);
    if (!region) return false;
    if (!SetWindowRgn(hwnd, region, FALSE)) {
        DeleteObject(region);
        return false;
    }
    return true;
}

BallWindow::BallWindow(Window* owner_)
    : RoundSpriteWindow("basketball", 50, 50, IDC_HAND, IDB_BALL, 7, owner_),
      ball(*this, 50, 50, 7) {}

BallWindow::~BallWindow() = default;

void BallWindow::onKeyDown(WPARAM key, unsigned short, unsigned short) {
    // ball -> scoreboard -> backboard -> host
    if (key == VK_ESCAPE) DestroyWindow(GetParent(GetParent(GetParent(hwnd))));
}

void BallWindow::onLButtonDown(WPARAM, int x, int y) {
    ball.grab(x, y);
    keepOwnedWindowsAbove(className);
}

void BallWindow::onLButtonUp(WPARAM, int x, int y) { ball.release(x, y); }

void BallWindow::onMouseMove(WPARAM, int x, int y) { ball.drag(x, y); }

void BallWindow::flightStep() { ball.flightStep(); }

void BallWindow::moveTo(int x, int y, int frame) { SpriteWindow::moveTo(x, y, frame); }

MonitorArea BallWindow::monitorAt(int x, int y) { return readMonitorAt(x, y); }

void BallWindow::playCue(int cueId) { ::playCue(cueId, instance); }

ScreenRect BallWindow::backboardRect() {
    RECT r{};
    GetWindowRect(GetParent(GetParent(hwnd)), &r);
    return {r.left, r.top, r.right, r.bottom};
}

void BallWindow::repaintScoreboard() { InvalidateRect(GetParent(hwnd), nullptr, FALSE); }

void BallWindow::captureMouse() { SetCapture(hwnd); }

void BallWindow::releaseMouse() { ReleaseCapture(); }
