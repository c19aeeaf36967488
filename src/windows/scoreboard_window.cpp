#include "windows/scoreboard_window.h"

#include "platform/resource_numbers.h"
#include "sim/game_state.h"
#include "windows/set_layout.h"
#include "windows/shape_points.h"

ScoreboardWindow::ScoreboardWindow(const char* className_, int width_, int height_,
                                   unsigned cursorId_, unsigned bitmapId_, Window* owner_)
    : SpriteWindow(className_, width_, height_, cursorId_, bitmapId_, 1, owner_, false) {}

ScoreboardWindow::~ScoreboardWindow() = default;

bool ScoreboardWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    HDC dc = GetDC(hwnd);  // the class's own DC: never released
    if (!dc) return false;

    // Acquired into locals and kept only when all four exist, so a failure leaves nothing held.
    HDC buffer = CreateCompatibleDC(dc);
    if (!buffer) return false;
    HBITMAP bufferBits = CreateCompatibleBitmap(dc, width, height);
    if (!bufferBits) {
        DeleteDC(buffer);
        return false;
    }
    HBITMAP digits = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDB_DIGITS), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (!digits) {
        DeleteObject(bufferBits);
        DeleteDC(buffer);
        return false;
    }
    HDC digitsMemory = CreateCompatibleDC(dc);
    if (!digitsMemory) {
        DeleteObject(digits);
        DeleteObject(bufferBits);
        DeleteDC(buffer);
        return false;
    }
    bufferDC = buffer;
    bufferBitmap = bufferBits;
    digitsBitmap = digits;
    digitsDC = digitsMemory;
    bufferPrevious = SelectObject(bufferDC, bufferBitmap);
    digitsPrevious = SelectObject(digitsDC, digitsBitmap);

    // The backboard's start corner plus the scoreboard's place above it.
    SetWindowPos(hwnd, nullptr, set_layout::startX, set_layout::startY + set_layout::scoreboardOffsetY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    HRGN region = CreatePolygonRgn(asPoints(scoreboardOutline), scoreboardOutlineCount, WINDING);
    if (!region) return false;
    if (!SetWindowRgn(hwnd, region, FALSE)) {
        DeleteObject(region);
        return false;
    }
    return true;
}

void ScoreboardWindow::onPaint() {
    if (!memoryDC) return;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    // Composed off-screen and copied in one go, so the board never shows half-drawn.
    if (dc && bufferDC) {
        BitBlt(bufferDC, 0, 0, width, height, memoryDC, 0, height * currentFrame, SRCCOPY);
        int shown = gameState.score % 100;
        if (shown < 0) shown = -shown;
        BitBlt(bufferDC, tensDigitX, digitY, digitWidth, digitHeight, digitsDC, 0,
               digitHeight * (shown / 10), SRCCOPY);
        BitBlt(bufferDC, unitsDigitX, digitY, digitWidth, digitHeight, digitsDC, 0,
               digitHeight * (shown % 10), SRCCOPY);
        BitBlt(dc, 0, 0, width, height, bufferDC, 0, 0, SRCCOPY);
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
    releaseMemoryBitmap(bufferDC, bufferBitmap, bufferPrevious);
    releaseMemoryBitmap(digitsDC, digitsBitmap, digitsPrevious);
}
