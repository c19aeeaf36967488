#pragma once

// The pixel arithmetic of windows drawn with per-pixel alpha, kept free of the system so it is
// the same everywhere. Pixels are 32-bit values, 0xAARRGGBB, rows top to bottom.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace alpha_pixels {

// True when the top bytes say something: a picture whose top bytes are all 0, or all 255, has
// no alpha of its own (a picture made without one) and takes its shape from elsewhere.
bool hasAlpha(const std::uint32_t* pixels, std::size_t count);

// Straight colour to premultiplied: each colour byte times alpha / 255, rounded.
void premultiplied(std::uint32_t* pixels, std::size_t count);

// Alpha 255 where `inside` is not 0, else the whole pixel 0; the colour of a kept pixel stays.
void shapeBy(std::uint32_t* pixels, const std::uint32_t* inside, std::size_t count);

// Premultiplied `source` (width x height, rows `sourceStride` pixels apart) laid over the
// premultiplied `target` at (x, y), rows `targetStride` apart: target = source + target * (1 -
// source alpha). The caller keeps the rectangle inside both.
void over(std::uint32_t* target, int targetStride, int x, int y, const std::uint32_t* source, int sourceStride,
          int width, int height);

// A run of pixels with alpha above 0 in one row: [left, right) of row `y`.
struct Run {
    int y;
    int left;
    int right;
    bool operator==(const Run& other) const { return y == other.y && left == other.left && right == other.right; }
};
// The runs of a width x height picture, row by row, left to right.
std::vector<Run> opaqueRuns(const std::uint32_t* pixels, int width, int height);

}  // namespace alpha_pixels
