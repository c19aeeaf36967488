#include "windows/window_regions.h"

#include <cstddef>
#include <vector>

#include "res/shapes.h"

namespace {

// The shape tables are portable; their points have the layout of a Win32 POINT.
static_assert(sizeof(ShapePoint) == sizeof(POINT), "ShapePoint must match POINT");
static_assert(offsetof(ShapePoint, y) == offsetof(POINT, y), "ShapePoint must match POINT");

// The table's points as they are at 100 %, else scaled into `scaledCopy`.
const POINT* asPoints(const ShapePoint* points, int count, unsigned dpi, std::vector<POINT>& scaledCopy) {
    const POINT* table = reinterpret_cast<const POINT*>(points);
    if (dpi == 96) return table;
    scaledCopy.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        scaledCopy[static_cast<std::size_t>(i)] = {MulDiv(table[i].x, static_cast<int>(dpi), 96),
                                                   MulDiv(table[i].y, static_cast<int>(dpi), 96)};
    }
    return scaledCopy.data();
}

}  // namespace

HRGN createBackboardRegion(unsigned dpi) {
    std::vector<POINT> points;
    return CreatePolygonRgn(asPoints(backboardOutline, backboardOutlineCount, dpi, points),
                            backboardOutlineCount, WINDING);
}

HRGN createScoreboardRegion(unsigned dpi) {
    std::vector<POINT> points;
    return CreatePolygonRgn(asPoints(scoreboardOutline, scoreboardOutlineCount, dpi, points),
                            scoreboardOutlineCount, WINDING);
}

HRGN createNetRegion(unsigned dpi) {
    std::vector<POINT> outline, holePoints;
    const POINT* outlineAt = asPoints(netOutline, netOutlineCount, dpi, outline);
    const POINT* holesAt = asPoints(netHoles, netHolesCount, dpi, holePoints);
    HRGN outer = CreatePolyPolygonRgn(outlineAt, netOutlineCounts, netOutlinePolygons, ALTERNATE);
    if (!outer) return nullptr;
    HRGN holes = CreatePolyPolygonRgn(holesAt, netHoleCounts, netHolePolygons, ALTERNATE);
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
