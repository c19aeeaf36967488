// Polygon tables that give the backboard, the scoreboard and the net their window shapes.
// Vertices are in the window's own pixels, origin at its top-left corner; a vertex at x = width
// lies on the right boundary, as the platform's polygon regions treat it. Portable: no
// <windows.h> here (ShapePoint has the layout of a POINT, two 32-bit ints).
#pragma once

struct ShapePoint {
    int x, y;
};

constexpr int backboardOutlineCount = 86;
constexpr int scoreboardOutlineCount = 10;
constexpr int netOutlinePolygons = 2;
constexpr int netOutlineCount = 75;
constexpr int netHolePolygons = 27;
constexpr int netHolesCount = 407;

// One polygon, filled by the winding rule.
extern const ShapePoint backboardOutline[backboardOutlineCount];
extern const ShapePoint scoreboardOutline[scoreboardOutlineCount];

// Two polygons (rim band, body), filled alternately.
extern const ShapePoint netOutline[netOutlineCount];
extern const int netOutlineCounts[netOutlinePolygons];

// The mesh openings, cut out of the net outline's region.
extern const ShapePoint netHoles[netHolesCount];
extern const int netHoleCounts[netHolePolygons];
