#pragma once

#include "win/gdi.h"
#include "win/window.h"

// A window that shows one frame of a vertical strip bitmap from the module's resources. Frames
// have the window's size and are stacked top to bottom. The strip is loaded once and stays
// selected in a memory DC, so painting is a single copy.
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

    // Places the window's top-left corner at screen (x, y) and shows frame `frame` (taken
    // modulo the frame count) at the next paint.
    virtual void moveTo(int x, int y, int frame);

    // Frees the strip and the memory DC; does nothing when nothing is loaded.
    void releaseStrip();

    unsigned bitmapId;
    int frameCount;
    int currentFrame;
    MemoryBitmap strip;  // its dc is null while unloaded
};
