#include "win/alpha_pixels.h"

namespace alpha_pixels {

namespace {

std::uint32_t alphaOf(std::uint32_t pixel) { return pixel >> 24; }

// c * a / 255, rounded, exact for every byte pair.
std::uint32_t scaleByte(std::uint32_t c, std::uint32_t a) {
    const std::uint32_t t = c * a + 128;
    return (t + (t >> 8)) >> 8;
}

}  // namespace

bool hasAlpha(const std::uint32_t* pixels, std::size_t count) {
    if (count == 0) return false;
    const std::uint32_t first = alphaOf(pixels[0]);
    for (std::size_t i = 0; i < count; ++i)
        if (alphaOf(pixels[i]) != first) return true;
    return first != 0 && first != 255;
}

void premultiplied(std::uint32_t* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i], a = alphaOf(p);
        if (a == 255) continue;
        pixels[i] = a << 24 | scaleByte(p >> 16 & 0xff, a) << 16 | scaleByte(p >> 8 & 0xff, a) << 8 |
                    scaleByte(p & 0xff, a);
    }
}

void shapeBy(std::uint32_t* pixels, const std::uint32_t* inside, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] = inside[i] != 0 ? (pixels[i] | 0xff000000u) : 0;
}

void over(std::uint32_t* target, int targetStride, int x, int y, const std::uint32_t* source, int sourceStride,
          int width, int height) {
    for (int row = 0; row < height; ++row) {
        std::uint32_t* to = target + static_cast<std::ptrdiff_t>(y + row) * targetStride + x;
        const std::uint32_t* from = source + static_cast<std::ptrdiff_t>(row) * sourceStride;
        for (int i = 0; i < width; ++i) {
            const std::uint32_t s = from[i], keep = 255 - alphaOf(s);
            if (keep == 0) {
                to[i] = s;
                continue;
            }
            std::uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8)
                out |= ((s >> shift & 0xff) + scaleByte(to[i] >> shift & 0xff, keep)) << shift;
            to[i] = out;
        }
    }
}

std::vector<Run> opaqueRuns(const std::uint32_t* pixels, int width, int height) {
    std::vector<Run> runs;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width;) {
            if (alphaOf(row[x]) == 0) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < width && alphaOf(row[x]) != 0) ++x;
            runs.push_back({y, left, x});
        }
    }
    return runs;
}

}  // namespace alpha_pixels
