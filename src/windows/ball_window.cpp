#include "windows/ball_window.h"

#include "platform/desktop.h"
#include "platform/sound_cues.h"
#include "res/resource_ids.h"
#include "windows/own_windows.h"
#include "windows/set_layout.h"
#include "windows/window_regions.h"

RoundSpriteWindow::RoundSpriteWindow(const char* className_, int width_, int height_,
                                     unsigned cursorId_, unsigned bitmapId_, int frameCount_,
                                     Window* owner_)
    : SpriteWindow(className_, width_, height_, cursorId_, bitmapId_, frameCount_, owner_, false) {}

RoundSpriteWindow::~RoundSpriteWindow() = default;

bool RoundSpriteWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    return shapeWindow(hwnd, createRoundRegion(width, height));
}

BallWindow::BallWindow(Window* owner_)
    : RoundSpriteWindow(set_layout::ballClass, set_layout::ball.width, set_layout::ball.height,
                        IDC_GRAB_HAND, IDB_BALL, set_layout::ballFrames, owner_),
      ball(*this, set_layout::ball.width, set_layout::ball.height, set_layout::ballFrames) {}

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

// Capture taken away in the middle of a hold lets the ball go where the cursor is, as the
// button's release would have. The ball's own release lets go before it gives up the capture,
// so it never comes here holding the ball.
void BallWindow::onCaptureChanged(HWND newCapture) {
    if (newCapture == hwnd || !ball.grabbed) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(hwnd, &cursor);
    ball.release(cursor.x, cursor.y);
}

void BallWindow::flightStep() { ball.flightStep(); }

bool BallWindow::resting() { return ball.resting(); }

void BallWindow::restEnded() { ball.tickClock.restart(); }

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

// Only a capture this window still holds: one taken away belongs to another window now.
void BallWindow::releaseMouse() {
    if (GetCapture() == hwnd) ReleaseCapture();
}
