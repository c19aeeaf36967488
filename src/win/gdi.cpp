#include "win/gdi.h"

#include <utility>

bool MemoryBitmap::hold(HDC compatibleWith, HBITMAP newBitmap) {
    release();
    if (!newBitmap) return false;
    HDC memory = CreateCompatibleDC(compatibleWith);
    if (!memory) {
        DeleteObject(newBitmap);
        return false;
    }
    dc = memory;
    bitmap = newBitmap;
    previous = SelectObject(dc, bitmap);
    return true;
}

void MemoryBitmap::release() {
    if (!dc) return;
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    dc = nullptr;
    bitmap = nullptr;
    previous = nullptr;
}

void MemoryBitmap::swap(MemoryBitmap& other) noexcept {
    std::swap(dc, other.dc);
    std::swap(bitmap, other.bitmap);
    std::swap(previous, other.previous);
}

bool drawBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return false;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    return true;
}

bool shapeWindow(HWND window, HRGN region) {
    if (!region) return false;
    if (SetWindowRgn(window, region, FALSE)) return true;
    DeleteObject(region);
    return false;
}
