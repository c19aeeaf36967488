#include "win/gdi.h"

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

BitmapSelection::BitmapSelection(HDC compatibleWith, HBITMAP bitmap)
    : dc(CreateCompatibleDC(compatibleWith)) {
    if (dc) previous = SelectObject(dc, bitmap);
}

BitmapSelection::~BitmapSelection() {
    if (!dc) return;
    SelectObject(dc, previous);
    DeleteDC(dc);
}

bool shapeWindow(HWND window, HRGN region) {
    if (!region) return false;
    if (SetWindowRgn(window, region, FALSE)) return true;
    DeleteObject(region);
    return false;
}
