#include "windows/scoreboard_window.h"

#include <cstring>

#include "res/resource_ids.h"
#include "sim/game_state.h"
#include "win/alpha_pixels.h"
#include "win/layered.h"
#include "windows/set_layout.h"
#include "windows/set_scale.h"
#include "windows/window_regions.h"

ScoreboardWindow::ScoreboardWindow(Window* owner_)
    : SetSpriteWindow(set_layout::scoreboardClass, set_layout::scoreboard.width,
                   set_layout::scoreboard.height, 0, IDB_SCOREBOARD, 1, owner_, false) {}

bool ScoreboardWindow::onCreate() {
    // The buffers first: a layered board is shown, digits and all, as its picture is taken.
    if (!makeBuffers(buffer, digits)) return false;
    if (!SpriteWindow::onCreate()) return false;

    // The backboard's start corner plus the scoreboard's place above it.
    using set_scale::scaled;
    SetWindowPos(hwnd, nullptr, scaled(set_layout::startX, dpi),
                 scaled(set_layout::startY, dpi) + scaled(set_layout::scoreboardOffsetY, dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    return true;
}

HRGN ScoreboardWindow::createShape() { return createScoreboardRegion(dpi); }

namespace {

// The digits opaque where the picture has no alpha of its own, premultiplied.
bool premultiplyDigits(HBITMAP strip) {
    int w = 0, h = 0;
    std::uint32_t* pixels = layered::pixelsOf(strip, &w, &h);
    if (pixels == nullptr) return false;
    const std::size_t count = static_cast<std::size_t>(w) * h;
    if (!alpha_pixels::hasAlpha(pixels, count))
        for (std::size_t i = 0; i < count; ++i) pixels[i] |= 0xff000000u;
    alpha_pixels::premultiplied(pixels, count);
    return true;
}

}  // namespace

bool ScoreboardWindow::makeBuffers(MemoryBitmap& newBuffer, MemoryBitmap& newDigits) {
    HDC dc = GetDC(hwnd);  // the class's own DC: never released
    if (!dc) return false;
    // Both or neither: a failure leaves nothing held.
    if (!newBuffer.hold(dc, layered ? layered::topDownBitmap(width, height) : CreateCompatibleBitmap(dc, width, height))) return false;
    if (!newDigits.hold(dc, loadPicture(instance, IDB_DIGITS, dpi)) ||
        (layered && !premultiplyDigits(newDigits.bitmap))) {
        newBuffer.release();
        newDigits.release();
        return false;
    }
    return true;
}

// All new or all old: the buffer and digits are made before the board's picture is replaced,
// and the board is shown only with both.
bool ScoreboardWindow::onScaleChanged() {
    MemoryBitmap newBuffer, newDigits;
    if (!makeBuffers(newBuffer, newDigits)) {
        OutputDebugStringA("bballscoreb: no digits at the new scale, the old ones stay\n");
        return false;
    }
    const bool held = presentsHeld;
    presentsHeld = true;
    const bool changed = SpriteWindow::onScaleChanged();
    presentsHeld = held;
    if (!changed) return false;
    buffer.swap(newBuffer);
    digits.swap(newDigits);
    if (!presentsHeld) present();
    return true;
}

// As the net's: the board places and rescales the scoreboard.
void ScoreboardWindow::onDpiChanged(unsigned, const RECT&) {}

LRESULT ScoreboardWindow::onUserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != wmShowScore) return SetSpriteWindow::onUserMessage(message, wParam, lParam);
    present();
    return 0;
}

// The board's frame and the two digits of the score, in the buffer.
bool ScoreboardWindow::compose() {
    if (!strip.dc || !buffer.dc || !digits.dc) return false;
    int shown = gameState.score % 100;
    if (shown < 0) shown = -shown;
    // The digit cells at the window's scale, as the strip's frames are.
    const auto at = [this](int v) { return set_scale::scaled(v, dpi); };
    const int digit[2] = {shown / 10, shown % 10};
    const set_layout::WindowSize cell = set_layout::digitCell;
    std::uint32_t* board = layered ? layered::pixelsOf(buffer.bitmap) : nullptr;
    const std::uint32_t* picture = layered ? layered::pixelsOf(strip.bitmap) : nullptr;
    int digitsWidth = 0;
    const std::uint32_t* digitPixels = layered ? layered::pixelsOf(digits.bitmap, &digitsWidth) : nullptr;
    if (board == nullptr || picture == nullptr || digitPixels == nullptr) {
        // GDI would write alpha 0 into a layered picture: only the plain one is drawn by it.
        if (layered) return false;
        BitBlt(buffer.dc, 0, 0, width, height, strip.dc, 0, height * currentFrame, SRCCOPY);
        for (int i = 0; i < 2; ++i)
            BitBlt(buffer.dc, at(set_layout::digitCellX[i]), at(set_layout::digitCellY), at(cell.width),
                   at(cell.height), digits.dc, 0, at(cell.height) * digit[i], SRCCOPY);
        return true;
    }
    GdiFlush();
    const std::size_t frame = static_cast<std::size_t>(width) * height;
    std::memcpy(board, picture + frame * currentFrame, frame * sizeof *board);
    for (int i = 0; i < 2; ++i)
        alpha_pixels::over(board, width, at(set_layout::digitCellX[i]), at(set_layout::digitCellY),
                           digitPixels + static_cast<std::size_t>(at(cell.height) * digit[i]) * digitsWidth,
                           digitsWidth, at(cell.width), at(cell.height));
    return true;
}

HDC ScoreboardWindow::composed(POINT& from) {
    from = {0, 0};
    return compose() ? buffer.dc : nullptr;
}

void ScoreboardWindow::onPaint() {
    // Begun and ended on every path: an update region never validated brings WM_PAINT back
    // for as long as the window lives.
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    // Composed off-screen and copied in one go, so the board never shows half-drawn.
    if (dc && !layered && compose()) BitBlt(dc, 0, 0, width, height, buffer.dc, 0, 0, SRCCOPY);
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
