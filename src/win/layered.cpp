#include "win/layered.h"

#include <cstring>

namespace layered {

UpdateFunction updateOverride = nullptr;

bool show(HWND window, const POINT* at, SIZE size, HDC source, POINT from) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    POINT to = at != nullptr ? *at : POINT{};
    const UpdateFunction update = updateOverride != nullptr ? updateOverride : &UpdateLayeredWindow;
    return update(window, nullptr, at != nullptr ? &to : nullptr, &size, source, &from, 0, &blend, ULW_ALPHA) != FALSE;
}

HRGN regionOf(const std::vector<alpha_pixels::Run>& runs) {
    std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(runs.size());
    header.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    RECT bounds{0, 0, 0, 0};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const RECT r{runs[i].left, runs[i].y, runs[i].right, runs[i].y + 1};
        std::memcpy(data.data() + sizeof header + i * sizeof r, &r, sizeof r);
        UnionRect(&bounds, &bounds, &r);
    }
    header.rcBound = bounds;
    std::memcpy(data.data(), &header, sizeof header);
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

std::uint32_t* pixelsOf(HBITMAP bitmap, int* width, int* height) {
    DIBSECTION dib{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBits == nullptr ||
        dib.dsBm.bmBitsPixel != 32)
        return nullptr;
    if (width != nullptr) *width = dib.dsBm.bmWidth;
    if (height != nullptr) *height = dib.dsBm.bmHeight;
    return static_cast<std::uint32_t*>(dib.dsBm.bmBits);
}

BITMAPINFO topDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP topDownBitmap(int width, int height, void** bits) {
    const BITMAPINFO info = topDownInfo(width, height);
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits != nullptr) *bits = pixels;
    return bitmap;
}

}  // namespace layered
