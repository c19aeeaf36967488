#include "windows/scoreboard_window.h"

#include "res/resource_ids.h"
#include "sim/game_state.h"
#include "windows/set_layout.h"
#include "windows/window_regions.h"

ScoreboardWindow::ScoreboardWindow(Window* owner_)
    : SpriteWindow(set_layout::scoreboardClass, set_layout::scoreboard.width,
                   set_layout::scoreboard.height, 0, IDB_SCOREBOARD, 1, owner_, false) {}

bool ScoreboardWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    HDC dc = GetDC(hwnd);  // the class's own DC: never released
    if (!dc) return false;

    // Both or neither: a failure leaves nothing held.
    if (!buffer.hold(dc, CreateCompatibleBitmap(dc, width, height))) return false;
    if (!digits.hold(dc, static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_DIGITS),
                                                         IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)))) {
        buffer.release();
        return false;
    }

    // The backboard's start corner plus the scoreboard's place above it.
    SetWindowPos(hwnd, nullptr, set_layout::startX, set_layout::startY + set_layout::scoreboardOffsetY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    return shapeWindow(hwnd, createScoreboardRegion());
}

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
        const int digit[2] = {shown / 10, shown % 10};
        const set_layout::WindowSize cell = set_layout::digitCell;
        for (int i = 0; i < 2; ++i)
            BitBlt(buffer.dc, set_layout::digitCellX[i], set_layout::digitCellY, cell.width, cell.height,
                   digits.dc, 0, cell.height * digit[i], SRCCOPY);
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
    SpriteWindow::onDestroy();
}

void ScoreboardWindow::releaseBuffers() {
    buffer.release();
    digits.release();
}
