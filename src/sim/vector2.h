#pragma once

// A 2-D value in screen units: positions (px), velocities (px/s), accelerations (px/s^2)
// and per-axis factors. y grows downward.
struct Vector2 {
    double x = 0.0;
    double y = 0.0;

    Vector2() = default;
    Vector2(double x_, double y_) : x(x_), y(y_) {}

    Vector2 add(const Vector2& other) const { return {x + other.x, y + other.y}; }
    Vector2 subtract(const Vector2& other) const { return {x - other.x, y - other.y}; }
    // Component-wise product; a uniform scale by s is scale({s, s}).
    Vector2 scale(const Vector2& other) const { return {x * other.x, y * other.y}; }
};

double length(const Vector2& v);
double distance(const Vector2& a, const Vector2& b);

// Screen positions are whole pixels, cut toward zero as a 32-bit conversion does.
inline int trunc32(double v) { return static_cast<int>(v); }
