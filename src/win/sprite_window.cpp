#include "win/sprite_window.h"

#include <cstdio>

SpriteWindow::SpriteWindow(const char* className_, int width_, int height_, unsigned cursorId_,
                           unsigned bitmapId_, int frameCount_, Window* owner_, bool transparent_)
    : Window(className_, width_, height_, cursorId_, owner_, transparent_, false),
      bitmapId(bitmapId_), frameCount(frameCount_ > 0 ? frameCount_ : 1), currentFrame(0) {}

// Normally onDestroy has released the strip already; this only catches an object dropped
// while its window was never destroyed.
SpriteWindow::~SpriteWindow() { releaseStrip(); }

bool SpriteWindow::onCreate() {
    // The class's own DC (CS_OWNDC): it lives as long as the window and is never released.
    HDC dc = GetDC(hwnd);
    if (dc == nullptr) return false;

    return strip.hold(dc, pictureAt(dpi));
}

HBITMAP SpriteWindow::pictureAt(unsigned) {
    return static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

bool SpriteWindow::onScaleChanged() {
    HDC dc = GetDC(hwnd);  // the class's own DC
    MemoryBitmap fresh;
    if (dc == nullptr || !fresh.hold(dc, pictureAt(dpi))) {
        // Keeps the picture it has: a window at the wrong size beats a blank one.
        char note[160];
        std::snprintf(note, sizeof note, "%s: no picture at %u DPI, the old one stays\n", className, dpi);
        OutputDebugStringA(note);
        return false;
    }
    strip.swap(fresh);
    return true;
}

void SpriteWindow::onPaint() {
    // Unloaded, the update region is still validated: otherwise WM_PAINT would come back
    // for as long as the window lives, and the queue would never run empty.
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (dc != nullptr && strip.dc != nullptr) {
        BitBlt(dc, 0, 0, width, height, strip.dc, 0, height * currentFrame, SRCCOPY);
    }
    EndPaint(hwnd, &paint);
}

void SpriteWindow::moveTo(int x, int y, int frame) {
    currentFrame = frame % frameCount;
    if (currentFrame < 0) currentFrame += frameCount;  // never a row above the strip
    SetWindowPos(hwnd, nullptr, x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void SpriteWindow::releaseStrip() { strip.release(); }

void SpriteWindow::onDestroy() {
    releaseStrip();
    Window::onDestroy();
}
