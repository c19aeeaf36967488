#pragma once

// Showing a window's picture with per-pixel alpha (a layered window), and the shape that keeps
// clicks where the picture is transparent going to what lies beneath.
#include <windows.h>

#include <vector>

#include "win/alpha_pixels.h"

namespace layered {

using UpdateFunction = BOOL(WINAPI*)(HWND window, HDC screen, POINT* at, SIZE* size, HDC source, POINT* from,
                                     COLORREF key, BLENDFUNCTION* blend, DWORD flags);
// What show calls instead of the system's UpdateLayeredWindow, where set: the tests' failure.
extern UpdateFunction updateOverride;

// The premultiplied size x size picture at `from` in `source` shown as `window`'s, with the
// window's top-left corner moved to `at` (null: where it is) in the same call.
bool show(HWND window, const POINT* at, SIZE size, HDC source, POINT from);

// The runs as a region of window coordinates, or null.
HRGN regionOf(const std::vector<alpha_pixels::Run>& runs);

// The header of a top-down 32-bit picture of width x height, the form every picture here takes.
BITMAPINFO topDownInfo(int width, int height);
// A top-down 32-bit DIB section of width x height (its pixels in `bits` when asked), or null.
HBITMAP topDownBitmap(int width, int height, void** bits = nullptr);

// The pixels of a 32-bit DIB section (the program makes them top-down), with its size; null
// for any other bitmap.
std::uint32_t* pixelsOf(HBITMAP bitmap, int* width = nullptr, int* height = nullptr);

}  // namespace layered
