#include "windows/scoreboard_window.h"

#include "res/resource_ids.h"
#include "sim/game_state.h"
#include "windows/set_layout.h"
#include "windows/set_scale.h"
#include "windows/window_regions.h"

ScoreboardWindow::ScoreboardWindow(Window* owner_)
    : SetSpriteWindow(set_layout::scoreboardClass, set_layout::scoreboard.width,
                   set_layout::scoreboard.height, 0, IDB_SCOREBOARD, 1, owner_, false) {}

bool ScoreboardWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    if (!makeBuffers(buffer, digits)) return false;

    // The backboard's start corner plus the scoreboard's place above it.
    using set_scale::scaled;
    SetWindowPos(hwnd, nullptr, scaled(set_layout::startX, dpi),
                 scaled(set_layout::startY, dpi) + scaled(set_layout::scoreboardOffsetY, dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    return shapeWindow(hwnd, createScoreboardRegion(dpi));
}

bool ScoreboardWindow::makeBuffers(MemoryBitmap& newBuffer, MemoryBitmap& newDigits) {
    HDC dc = GetDC(hwnd);  // the class's own DC: never released
    if (!dc) return false;
    // Both or neither: a failure leaves nothing held.
    if (!newBuffer.hold(dc, CreateCompatibleBitmap(dc, width, height))) return false;
    if (!newDigits.hold(dc, loadPicture(instance, IDB_DIGITS, dpi))) {
        newBuffer.release();
        return false;
    }
    return true;
}

// All new or all old: the buffer and digits are made before the board's picture is replaced.
bool ScoreboardWindow::onScaleChanged() {
    MemoryBitmap newBuffer, newDigits;
    if (!makeBuffers(newBuffer, newDigits)) {
        OutputDebugStringA("bballscoreb: no digits at the new scale, the old ones stay\n");
        return false;
    }
    if (!SpriteWindow::onScaleChanged()) return false;
    buffer.swap(newBuffer);
    digits.swap(newDigits);
    return shapeWindow(hwnd, createScoreboardRegion(dpi));
}

// As the net's: the board places and rescales the scoreboard.
void ScoreboardWindow::onDpiChanged(unsigned, const RECT&) {}

void ScoreboardWindow::onPaint() {
    // Begun and ended on every path: an update region never validated brings WM_PAINT back
    // for as long as the window lives.
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    // Composed off-screen and copied in one go, so the board never shows half-drawn.
    if (dc && strip.dc && buffer.dc && digits.dc) {
        BitBlt(buffer.dc, 0, 0, width, height, strip.dc, 0, height * currentFrame, SRCCOPY);
        int shown = gameState.score % 100;
        if (shown < 0) shown = -shown;
        // The digit cells at the window's scale, as the strip's frames are.
        const auto at = [this](int v) { return set_scale::scaled(v, dpi); };
        const int digit[2] = {shown / 10, shown % 10};
        const set_layout::WindowSize cell = set_layout::digitCell;
        for (int i = 0; i < 2; ++i)
            BitBlt(buffer.dc, at(set_layout::digitCellX[i]), at(set_layout::digitCellY), at(cell.width),
                   at(cell.height), digits.dc, 0, at(cell.height) * digit[i], SRCCOPY);
        BitBlt(dc, 0, 0, width, height, buffer.dc, 0, 0, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
}

void ScoreboardWindow::onKeyDown(WPARAM key, unsigned short, unsigned short) {
    // scoreboard -> backboard -> host
    if (key == VK_ESCAPE) DestroyWindow(GetParent(GetParent(hwnd)));
}

void ScoreboardWindow::onDestroy() {
    releaseBuffers();
    SetSpriteWindow::onDestroy();
}

void ScoreboardWindow::releaseBuffers() {
    buffer.release();
    digits.release();
}
