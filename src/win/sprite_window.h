#pragma once

#include "win/gdi.h"
#include "win/window.h"

// A window that shows one frame of a vertical strip bitmap from the module's resources. Frames
// have the window's size and are stacked top to bottom. The strip is loaded once and stays
// selected in a memory DC, so painting is a single copy.
//
// Made `layered`, the window is shown with per-pixel alpha instead: the strip is kept
// premultiplied and handed to the system whole with each new frame or place, nothing is drawn
// in WM_PAINT, and the window's region is the strip's pixels with alpha above 0. A picture
// without alpha of its own takes alpha 255 inside the window's shape and 0 outside. Where the
// system refuses a layered picture, the window goes on as a plain one for good.
class SpriteWindow : public Window {
public:
    SpriteWindow(const char* className, int width, int height, unsigned cursorId,
                 unsigned bitmapId, int frameCount, Window* owner, bool transparent);
    ~SpriteWindow() override;

    void onPaint() override;
    void onDestroy() override;
    bool onCreate() override;
    // The strip drawn anew for the window's scale; if it cannot be, the old one stays.
    bool onScaleChanged() override;
    // The strip at `dpi`, owned by the caller. Here the bitmap resource as it is, for a window
    // at 100 %; windows with pictures for other scales override it.
    virtual HBITMAP pictureAt(unsigned dpi);
    // The window's shape at its size, owned by the caller; null: the whole rectangle.
    virtual HRGN createShape();

    // Places the window's top-left corner at screen (x, y) and shows frame `frame` (taken
    // modulo the frame count) at the next paint, or at once when layered.
    virtual void moveTo(int x, int y, int frame);

    // Takes `newDpi` as setDpi does, leaving the showing to placeAt.
    bool rescale(unsigned newDpi);
    // The window at its size with its top-left corner at (x, y); layered, with its picture in
    // the same call.
    void placeAt(int x, int y);

    // Layered: shows the current frame, at (x, y) when `at` is given, in one call. Plain: asks
    // for a paint. False when the system refused the picture (the window is plain now).
    bool present(const POINT* at = nullptr);
    // What a layered window shows: the DC and the top-left of the picture within it. Here the
    // current frame of the strip.
    virtual HDC composed(POINT& from);

    // Frees the strip and the memory DC; does nothing when nothing is loaded.
    void releaseStrip();

    unsigned bitmapId;
    int frameCount;
    int currentFrame;
    MemoryBitmap strip;  // its dc is null while unloaded; premultiplied while layered
    bool presentsHeld = false;  // layered: a scale change leaves the showing to the move after it

private:
    // The picture for the window as it is (layered or plain), into `into`, and the shape for it.
    bool takePicture(MemoryBitmap& into, HRGN& shape);
    // A refused layered picture: the plain window with today's picture and shape from here on.
    void fallBack();
};
