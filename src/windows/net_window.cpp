#include "windows/net_window.h"

#include "windows/set_layout.h"
#include "windows/shape_points.h"

NetWindow::NetWindow(const char* className_, int width_, int height_, unsigned cursorId_,
                     unsigned bitmapId_, int frameCount_, Window* owner_)
    : SpriteWindow(className_, width_, height_, cursorId_, bitmapId_, frameCount_, owner_, false) {}

NetWindow::~NetWindow() = default;

HRGN createNetRegion() {
    HRGN outer = CreatePolyPolygonRgn(asPoints(netOutline), netOutlineCounts,
                                      netOutlinePolygons, ALTERNATE);
    if (!outer) return nullptr;
    HRGN holes = CreatePolyPolygonRgn(asPoints(netHoles), netHoleCounts, netHolePolygons,
                                      ALTERNATE);
    if (!holes) {
        DeleteObject(outer);
        return nullptr;
    }
    const int combined = CombineRgn(outer, outer, holes, RGN_DIFF);
    DeleteObject(holes);
    if (combined == ERROR) {
        DeleteObject(outer);
        return nullptr;
    }
    return outer;
}

bool NetWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    // The backboard's start corner plus the net's place under the hoop.
    SetWindowPos(hwnd, nullptr, set_layout::startX + set_layout::netOffsetX,
                 set_layout::startY + set_layout::netOffsetY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    HRGN region = createNetRegion();
    if (!region) return false;
    if (!SetWindowRgn(hwnd, region, FALSE)) {
        DeleteObject(region);
        return false;
    }
    return true;
}

void NetWindow::onKeyDown(WPARAM key, unsigned short, unsigned short) {
    // net -> ball -> scoreboard -> backboard -> host
    if (key == VK_ESCAPE) DestroyWindow(GetParent(GetParent(GetParent(GetParent(hwnd)))));
}
