#pragma once

// Resampling of the program's pictures, done the same way on every system: each pixel of the
// result is the area-weighted mean of the source pixels its square covers, in integers, so the
// result never depends on the compiler, the processor or the platform's own scalers.
#include <cstdint>
#include <vector>

// Pixels as 32-bit values, one byte a channel, rows top to bottom. The top byte is the alpha,
// the colours straight (not multiplied by it); a picture whose top bytes are all 0 has no
// alpha and is opaque, as a 32-bit DIB without one.
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// `source` resampled to width x height. Empty for an empty source or a size below 1. With
// alpha, colours are averaged weighted by it, so a transparent pixel's colour never reaches
// the result, and come back straight (0 where the alpha is 0).
PixelImage scaleArea(const PixelImage& source, int width, int height);

// A vertical strip of `frames` equal frames, each scaled on its own to frameWidth x
// frameHeight, so no frame takes colour from its neighbours. Empty when the strip's height is
// not a whole number of frames.
PixelImage scaleStrip(const PixelImage& source, int frames, int frameWidth, int frameHeight);

// Each colour multiplied by its pixel's alpha, rounded: (c * a + 127) / 255. The alpha stays.
void premultiply(PixelImage& image);
