#pragma once

#include <windows.h>

#include <cstddef>

#include "res/shapes.h"

// The shape tables are portable; their points have the layout of a Win32 POINT.
static_assert(sizeof(ShapePoint) == sizeof(POINT), "ShapePoint must match POINT");
static_assert(offsetof(ShapePoint, y) == offsetof(POINT, y), "ShapePoint must match POINT");

inline const POINT* asPoints(const ShapePoint* points) {
    return reinterpret_cast<const POINT*>(points);
}
