#pragma once

// Scoped holders for the GDI idioms the windows repeat. Each releases what it holds in the
// order GDI wants: the DC's previous object put back before the bitmap is deleted, the DC last.
#include <windows.h>

// A bitmap of our own selected into a memory DC, kept for painting from.
class MemoryBitmap {
public:
    MemoryBitmap() = default;
    ~MemoryBitmap() { release(); }
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;

    // Takes `bitmap` and selects it into a new memory DC compatible with `compatibleWith`.
    // False, holding nothing, when the bitmap is null or no DC can be made (the bitmap is
    // deleted then). Whatever was held before is released first.
    bool hold(HDC compatibleWith, HBITMAP bitmap);
    // Does nothing when nothing is held, so it is safe to call again.
    void release();
    // Exchanges what the two hold: a new picture is made whole before the old one goes.
    void swap(MemoryBitmap& other) noexcept;

    HDC dc = nullptr;  // null while nothing is held
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;  // selected in dc before the bitmap
};

// Copies the top-left width x height of someone else's bitmap to `dc` at its origin, through
// a memory DC made and deleted here. False when no memory DC can be made.
bool drawBitmap(HDC dc, HBITMAP bitmap, int width, int height);

// Gives `window` the shape of `region`. Once set, the region belongs to the system; when it
// cannot be set it is deleted here. False for a null region or a refused one.
bool shapeWindow(HWND window, HRGN region);
