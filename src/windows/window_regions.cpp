#include "windows/window_regions.h"

#include <cstddef>

#include "res/shapes.h"

namespace {

// The shape tables are portable; their points have the layout of a Win32 POINT.
static_assert(sizeof(ShapePoint) == sizeof(POINT), "ShapePoint must match POINT");
static_assert(offsetof(ShapePoint, y) == offsetof(POINT, y), "ShapePoint must match POINT");

const POINT* asPoints(const ShapePoint* points) { return reinterpret_cast<const POINT*>(points); }

}  // namespace

HRGN createBackboardRegion() {
    return CreatePolygonRgn(asPoints(backboardOutline), backboardOutlineCount, WINDING);
}

HRGN createScoreboardRegion() {
    return CreatePolygonRgn(asPoints(scoreboardOutline), scoreboardOutlineCount, WINDING);
}

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

HRGN createRoundRegion(int width, int height) { return CreateEllipticRgn(0, 0, width, height); }
