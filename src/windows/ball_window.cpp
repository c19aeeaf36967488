#include "windows/ball_window.h"

#include "platform/desktop.h"
#include "platform/display_refresh.h"
#include "platform/sound_cues.h"
#include "res/resource_ids.h"
#include "windows/own_windows.h"
#include "windows/scoreboard_window.h"
#include "windows/set_layout.h"
#include "windows/window_regions.h"

RoundSpriteWindow::RoundSpriteWindow(const char* className_, int width_, int height_,
                                     unsigned cursorId_, unsigned bitmapId_, int frameCount_,
                                     Window* owner_)
    : SetSpriteWindow(className_, width_, height_, cursorId_, bitmapId_, frameCount_, owner_, false) {}

RoundSpriteWindow::~RoundSpriteWindow() = default;

HRGN RoundSpriteWindow::createShape() { return createRoundRegion(width, height); }

BallWindow::BallWindow(Window* owner_)
    : RoundSpriteWindow(set_layout::ballClass, set_layout::ball.width, set_layout::ball.height,
                        IDC_GRAB_HAND, IDB_BALL, set_layout::ballFrames, owner_),
      motion(*this),
      scaledDesktop(motion, set_layout::ball.width, set_layout::ball.height),
      ball(scaledDesktop, set_layout::ball.width, set_layout::ball.height, set_layout::ballFrames) {}

BallWindow::~BallWindow() = default;

// The roll-in is shown from where the window was made.
bool BallWindow::onCreate() {
    if (!RoundSpriteWindow::onCreate()) return false;
    RECT r{};
    GetWindowRect(hwnd, &r);
    motion.standsAt(r.left, r.top, currentFrame, dpi);
    return true;
}

void BallWindow::onKeyDown(WPARAM key, unsigned short, unsigned short) {
    // ball -> scoreboard -> backboard -> host
    if (key == VK_ESCAPE) DestroyWindow(GetParent(GetParent(GetParent(hwnd))));
}

namespace {

POINT onScreen(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

}  // namespace

// The press meets the ball where it is seen, which trails its flight by a step.
void BallWindow::onLButtonDown(WPARAM, int x, int y) {
    motion.takeShownPosition(ball, scaledDesktop);
    const POINT s = onScreen(hwnd, x, y);
    scaledDesktop.press(ball, x, y, s.x, s.y);
    keepOwnedWindowsAbove(className);
}

void BallWindow::onLButtonUp(WPARAM, int x, int y) {
    const POINT s = onScreen(hwnd, x, y);
    scaledDesktop.release(ball, x, y, s.x, s.y);
}

void BallWindow::onMouseMove(WPARAM, int x, int y) {
    if (!ball.grabbed) return;
    const POINT s = onScreen(hwnd, x, y);
    scaledDesktop.drag(ball, x, y, s.x, s.y);
}

// Capture taken away in the middle of a hold lets the ball go where the cursor is, as the
// button's release would have. The ball's own release lets go before it gives up the capture,
// so it never comes here holding the ball.
void BallWindow::onCaptureChanged(HWND newCapture) {
    if (newCapture == hwnd || !ball.grabbed) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    POINT client = cursor;
    ScreenToClient(hwnd, &client);
    scaledDesktop.release(ball, client.x, client.y, cursor.x, cursor.y);
}

void BallWindow::onDpiChanged(unsigned newDpi, const RECT&) {
    if (moving) return;
    motion.showAllNow();  // no blend across a change of scale
    if (newDpi == dpi) return;
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int centreX = (r.left + r.right) / 2;
    const int centreY = (r.top + r.bottom) / 2;
    rescale(newDpi);
    const int x = centreX - width / 2;
    const int y = centreY - height / 2;
    moving = true;
    placeAt(x, y);
    moving = false;
    InvalidateRect(hwnd, nullptr, FALSE);
    // The ball's place in units of the new scale; a resting ball settles again.
    scaledDesktop.forgetMonitor();
    ball.position = scaledDesktop.unitsOf(x, y);
    motion.standsAt(x, y, currentFrame, dpi);
}

LRESULT BallWindow::onUserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != wmShowBallAtOnce) return RoundSpriteWindow::onUserMessage(message, wParam, lParam);
    motion.showAllNow();
    return 0;
}

void showBallAtOnce() {
    if (HWND ball = findOwnWindow(set_layout::ballClass)) SendMessageA(ball, wmShowBallAtOnce, 0, 0);
}

void BallWindow::flightStep() {
    motion.step(ball);
    refreshRead = false;
}

bool BallWindow::leftToShow() { return motion.leftToShow(); }

void BallWindow::showAt(std::int64_t presentTime) { motion.showAt(presentTime); }

// Read at most once a step: the ball changes monitors only by moving.
DisplayRefresh BallWindow::displayRefresh() {
    if (!refreshRead) refresh = readDisplayRefresh(hwnd);
    refreshRead = true;
    return refresh;
}

bool BallWindow::resting() { return ball.resting(); }

void BallWindow::restEnded() { ball.tickClock.restart(); }

// A move onto a monitor of another scale takes that scale first: the window arrives there at
// its size, and the system's WM_DPICHANGED from inside the move finds nothing left to do.
void BallWindow::moveTo(int x, int y, int frame) { place(x, y, frame, scaledDesktop.dpi()); }

void BallWindow::place(int x, int y, int frame, unsigned wantedDpi) {
    moving = true;
    if (wantedDpi != 0 && wantedDpi != dpi) {
        // Layered, the move below brings the new size, place and picture in one call.
        rescale(wantedDpi);
        if (!layered)
            SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    SpriteWindow::moveTo(x, y, frame);
    moving = false;
}

// A present moves the window about three times as often as the frame turns: a move that keeps
// the frame keeps the window's bits too, and costs no paint.
void BallWindow::showBall(int x, int y, int frame, unsigned wantedDpi) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    const bool moves = r.left != x || r.top != y;
    if ((wantedDpi != 0 && wantedDpi != dpi) || (moves && frame != currentFrame)) {
        place(x, y, frame, wantedDpi);
    } else if (moves) {
        moving = true;
        SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        moving = false;
    } else if (frame != currentFrame) {
        currentFrame = frame;
        present();
    }
}

MonitorArea BallWindow::monitorAt(int x, int y) { return readMonitorAt(x, y); }

DeviceMonitor BallWindow::deviceMonitorAt(int x, int y) {
    DeviceMonitor m;
    m.area = readMonitorAt(x, y, &m.dpi);
    return m;
}

void BallWindow::playCue(int cueId) { ::playCue(cueId, instance); }

ScreenRect BallWindow::backboardRect() {
    RECT r{};
    GetWindowRect(GetParent(GetParent(hwnd)), &r);
    return {r.left, r.top, r.right, r.bottom};
}

void BallWindow::repaintScoreboard() { SendMessageA(GetParent(hwnd), wmShowScore, 0, 0); }

void BallWindow::captureMouse() { SetCapture(hwnd); }

// Only a capture this window still holds: one taken away belongs to another window now.
void BallWindow::releaseMouse() {
    if (GetCapture() == hwnd) ReleaseCapture();
}
