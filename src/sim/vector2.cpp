#include "sim/vector2.h"

#include <cmath>

double length(const Vector2& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

double distance(const Vector2& a, const Vector2& b) { return length(b.subtract(a)); }
