#pragma once

// The set at a display scale: every size and offset of set_layout.h is its 100 % value times
// dpi / 96, rounded as the system's MulDiv rounds. Plain values, no <windows.h>.
namespace set_scale {

constexpr int baseDpi = 96;

// a * b / c to the nearest integer, halves away from zero; -1 for a zero divisor or a result
// out of range. The same figures as the system's MulDiv, so that a size computed here and one
// the system computes agree to the pixel.
constexpr int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    if (c < 0) {
        a = -a;
        c = -c;
    }
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    const long long q = product >= 0 ? (product + half) / c : (product - half) / c;
    return q > 2147483647LL || q < -2147483647LL ? -1 : static_cast<int>(q);
}

// A 100 % length in pixels at `dpi`, and back.
constexpr int scaled(int value, unsigned dpi) { return mulDiv(value, static_cast<int>(dpi), baseDpi); }
constexpr int unscaled(int pixels, unsigned dpi) { return mulDiv(pixels, baseDpi, static_cast<int>(dpi)); }

// A point of a monitor whose top-left corner is `origin` (one axis): positions are measured
// from that corner, so the corner itself is the same in both units.
constexpr int toPixels(int units, int origin, unsigned dpi) { return origin + scaled(units - origin, dpi); }
constexpr int toUnits(int pixels, int origin, unsigned dpi) { return origin + unscaled(pixels - origin, dpi); }

}  // namespace set_scale
