#include "platform/picture_scale.h"

namespace {

// On a common grid where a source pixel is `to` units wide and a result pixel `from` units,
// source pixel i spans [i * to, (i + 1) * to) and result pixel j spans [j * from, (j + 1) * from):
// their overlap is the weight of i in j, and the weights of one result pixel add up to `from`.
struct Tap {
    int first;                      // first source pixel
    std::vector<std::uint32_t> w;   // its weight and the next ones'
};

std::vector<Tap> taps(int from, int to) {
    std::vector<Tap> out(static_cast<std::size_t>(to));
    for (int j = 0; j < to; ++j) {
        const long long lo = static_cast<long long>(j) * from;
        const long long hi = lo + from;
        Tap& t = out[static_cast<std::size_t>(j)];
        t.first = static_cast<int>(lo / to);
        for (long long i = t.first; i * to < hi; ++i) {
            const long long a = i * to > lo ? i * to : lo;
            const long long b = (i + 1) * to < hi ? (i + 1) * to : hi;
            t.w.push_back(static_cast<std::uint32_t>(b - a));
        }
    }
    return out;
}

std::uint32_t channel(std::uint32_t pixel, int c) { return (pixel >> (8 * c)) & 0xFFu; }

}  // namespace

PixelImage scaleArea(const PixelImage& source, int width, int height) {
    PixelImage out;
    if (source.width < 1 || source.height < 1 || width < 1 || height < 1) return out;
    const std::vector<Tap> across = taps(source.width, width);
    const std::vector<Tap> down = taps(source.height, height);

    // Across first, keeping the sums unrounded (each a multiple of the source width's weight).
    std::vector<std::uint64_t> rows(static_cast<std::size_t>(source.height) * width * 3);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Tap& t = across[static_cast<std::size_t>(x)];
            std::uint64_t sum[3] = {0, 0, 0};
            for (std::size_t k = 0; k < t.w.size(); ++k) {
                const std::uint32_t p = source.at(t.first + static_cast<int>(k), y);
                for (int c = 0; c < 3; ++c) sum[c] += std::uint64_t{t.w[k]} * channel(p, c);
            }
            for (int c = 0; c < 3; ++c)
                rows[(static_cast<std::size_t>(y) * width + x) * 3 + c] = sum[c];
        }
    }

    const std::uint64_t total = std::uint64_t(source.width) * std::uint64_t(source.height);
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const Tap& t = down[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            std::uint64_t sum[3] = {0, 0, 0};
            for (std::size_t k = 0; k < t.w.size(); ++k) {
                const std::size_t at =
                    (static_cast<std::size_t>(t.first + static_cast<int>(k)) * width + x) * 3;
                for (int c = 0; c < 3; ++c) sum[c] += t.w[k] * rows[at + c];
            }
            std::uint32_t pixel = 0;
            for (int c = 0; c < 3; ++c)
                pixel |= static_cast<std::uint32_t>((sum[c] + total / 2) / total) << (8 * c);
            out.pixels[static_cast<std::size_t>(y) * width + x] = pixel;
        }
    }
    return out;
}

PixelImage scaleStrip(const PixelImage& source, int frames, int frameWidth, int frameHeight) {
    PixelImage out;
    if (frames < 1 || source.height % frames != 0 || frameWidth < 1 || frameHeight < 1) return out;
    const int sourceFrameHeight = source.height / frames;
    out.width = frameWidth;
    out.height = frameHeight * frames;
    out.pixels.reserve(static_cast<std::size_t>(out.width) * out.height);
    for (int f = 0; f < frames; ++f) {
        PixelImage frame;
        frame.width = source.width;
        frame.height = sourceFrameHeight;
        const auto begin = source.pixels.begin() +
                           static_cast<std::ptrdiff_t>(f) * sourceFrameHeight * source.width;
        frame.pixels.assign(begin, begin + static_cast<std::ptrdiff_t>(sourceFrameHeight) *
                                               source.width);
        const PixelImage scaled = scaleArea(frame, frameWidth, frameHeight);
        if (scaled.pixels.empty()) return PixelImage{};
        out.pixels.insert(out.pixels.end(), scaled.pixels.begin(), scaled.pixels.end());
    }
    return out;
}
