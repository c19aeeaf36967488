#include "sim/vector2.h"

#include <cmath>

double distance(const Vector2& a, const Vector2& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}
