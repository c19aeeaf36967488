#include "win/sprite_window.h"

#include <cstdio>

#include "win/alpha_pixels.h"
#include "win/layered.h"

SpriteWindow::SpriteWindow(const char* className_, int width_, int height_, unsigned cursorId_,
                           unsigned bitmapId_, int frameCount_, Window* owner_, bool transparent_)
    : Window(className_, width_, height_, cursorId_, owner_, transparent_, false),
      bitmapId(bitmapId_), frameCount(frameCount_ > 0 ? frameCount_ : 1), currentFrame(0) {}

// Normally onDestroy has released the strip already; this only catches an object dropped
// while its window was never destroyed.
SpriteWindow::~SpriteWindow() { releaseStrip(); }

HRGN SpriteWindow::createShape() { return nullptr; }

namespace {

// Alpha from `shape` (null: everything inside) for each frame of a width x frame-height strip.
bool shapeFrames(std::uint32_t* pixels, int width, int frameHeight, int frames, HRGN shape) {
    BITMAPINFO info = layered::topDownInfo(width, frameHeight);
    void* bits = nullptr;
    HBITMAP mask = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = mask != nullptr ? CreateCompatibleDC(nullptr) : nullptr;
    if (dc == nullptr) {
        if (mask != nullptr) DeleteObject(mask);
        return false;
    }
    HGDIOBJ previous = SelectObject(dc, mask);
    const RECT all{0, 0, width, frameHeight};
    auto* white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (shape != nullptr) FillRgn(dc, shape, white); else FillRect(dc, &all, white);
    GdiFlush();
    const std::size_t frameSize = static_cast<std::size_t>(width) * frameHeight;
    for (int f = 0; f < frames; ++f)
        alpha_pixels::shapeBy(pixels + frameSize * f, static_cast<const std::uint32_t*>(bits), frameSize);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(mask);
    return true;
}

}  // namespace

bool SpriteWindow::takePicture(MemoryBitmap& into, HRGN& shape) {
    shape = nullptr;
    HDC dc = GetDC(hwnd);  // the class's own DC (CS_OWNDC): it lives as long as the window
    if (dc == nullptr || !into.hold(dc, pictureAt(dpi))) return false;
    if (!layered) {
        shape = createShape();
        return true;
    }
    int w = 0, h = 0;
    std::uint32_t* pixels = layered::pixelsOf(into.bitmap, &w, &h);
    if (pixels == nullptr || w != width || h != height * frameCount) return false;
    const std::size_t count = static_cast<std::size_t>(w) * h;
    if (!alpha_pixels::hasAlpha(pixels, count)) {
        HRGN outline = createShape();
        const bool shaped = shapeFrames(pixels, width, height, frameCount, outline);
        if (outline != nullptr) DeleteObject(outline);
        if (!shaped) return false;
    }
    alpha_pixels::premultiplied(pixels, count);
    // Every frame has the first one's outline.
    shape = layered::regionOf(alpha_pixels::opaqueRuns(pixels, width, height));
    return shape != nullptr;
}

bool SpriteWindow::onCreate() {
    HRGN shape = nullptr;
    if (!takePicture(strip, shape)) {
        if (!layered) return false;
        fallBack();
        return strip.dc != nullptr;
    }
    if (shape != nullptr && !shapeWindow(hwnd, shape)) return false;
    present();  // refused, the window has gone on as a plain one
    return strip.dc != nullptr;
}

HBITMAP SpriteWindow::pictureAt(unsigned) {
    return static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

bool SpriteWindow::onScaleChanged() {
    MemoryBitmap fresh;
    HRGN shape = nullptr;
    if (!takePicture(fresh, shape)) {
        if (layered && fresh.dc != nullptr) {
            // A picture there is, but not one to layer.
            fallBack();
            return strip.dc != nullptr;
        }
        // Keeps the picture it has: a window at the wrong size beats a blank one.
        char note[160];
        std::snprintf(note, sizeof note, "%s: no picture at %u DPI, the old one stays\n", className, dpi);
        OutputDebugStringA(note);
        return false;
    }
    strip.swap(fresh);
    if (shape != nullptr) shapeWindow(hwnd, shape);
    if (!presentsHeld) present();
    return true;
}

void SpriteWindow::onPaint() {
    // Unloaded, the update region is still validated: otherwise WM_PAINT would come back
    // for as long as the window lives, and the queue would never run empty.
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (dc != nullptr && strip.dc != nullptr && !layered) {
        BitBlt(dc, 0, 0, width, height, strip.dc, 0, height * currentFrame, SRCCOPY);
    }
    EndPaint(hwnd, &paint);
}

void SpriteWindow::moveTo(int x, int y, int frame) {
    currentFrame = frame % frameCount;
    if (currentFrame < 0) currentFrame += frameCount;  // never a row above the strip
    const POINT at{x, y};
    if (layered && present(&at)) return;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool SpriteWindow::rescale(unsigned newDpi) {
    const bool held = presentsHeld;
    presentsHeld = true;
    const bool taken = setDpi(newDpi);
    presentsHeld = held;
    return taken;
}

void SpriteWindow::placeAt(int x, int y) {
    const POINT at{x, y};
    if (layered && present(&at)) return;
    SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HDC SpriteWindow::composed(POINT& from) {
    from = {0, height * currentFrame};
    return strip.dc;
}

bool SpriteWindow::present(const POINT* at) {
    if (!layered) {
        InvalidateRect(hwnd, nullptr, FALSE);
        return true;
    }
    POINT from{};
    HDC source = composed(from);
    if (source != nullptr && layered::show(hwnd, at, SIZE{width, height}, source, from)) return true;
    fallBack();
    return false;
}

void SpriteWindow::fallBack() {
    static bool told = false;
    if (!told) {
        char note[160];
        std::snprintf(note, sizeof note, "%s: no layered picture here; shown with a region as before\n", className);
        OutputDebugStringA(note);
        told = true;
    }
    layered = false;
    SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    // The straight picture: premultiplied colour would darken what the region keeps.
    MemoryBitmap plain;
    HRGN shape = nullptr;
    if (takePicture(plain, shape)) strip.swap(plain);
    shapeWindow(hwnd, shape != nullptr ? shape : createShape());
    InvalidateRect(hwnd, nullptr, FALSE);
}

void SpriteWindow::releaseStrip() { strip.release(); }

void SpriteWindow::onDestroy() {
    releaseStrip();
    Window::onDestroy();
}
