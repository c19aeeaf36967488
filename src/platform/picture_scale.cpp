#include "platform/picture_scale.h"

#include "win/alpha_pixels.h"

#include <algorithm>

namespace {

// On a common grid where a source pixel is `to` units wide and a result pixel `from` units,
// source pixel i spans [i * to, (i + 1) * to) and result pixel j spans [j * from, (j + 1) * from):
// their overlap is the weight of i in j, and the weights of one result pixel add up to `from`.
// Result pixel j takes source pixels first[j] on, with the weights w[at[j]] to w[at[j + 1]).
struct Taps {
    std::vector<int> first;
    std::vector<std::size_t> at;
    std::vector<std::uint32_t> w;
};

Taps taps(int from, int to) {
    Taps out;
    out.first.resize(static_cast<std::size_t>(to));
    out.at.resize(static_cast<std::size_t>(to) + 1);
    for (int j = 0; j < to; ++j) {
        const long long lo = static_cast<long long>(j) * from;
        const long long hi = lo + from;
        const auto first = static_cast<int>(lo / to);
        out.first[static_cast<std::size_t>(j)] = first;
        out.at[static_cast<std::size_t>(j)] = out.w.size();
        for (long long i = first; i * to < hi; ++i) {
            const long long a = i * to > lo ? i * to : lo;
            const long long b = (i + 1) * to < hi ? (i + 1) * to : hi;
            out.w.push_back(static_cast<std::uint32_t>(b - a));
        }
    }
    out.at[static_cast<std::size_t>(to)] = out.w.size();
    return out;
}

// One result row at a time: the source rows it covers summed down into one plane per channel
// (whole rows at a time, which the compiler vectorises), then across. Nothing bigger than one
// source row is held. `Sum` holds a whole pixel's sum: at most 255 (with alpha 255 * 255)
// times the source's area. With alpha, each colour is weighted by its pixel's alpha and the
// alphas are summed too; the mean colour is the weighted sum over the alphas' sum.
template <class Sum, bool withAlpha>
void scaleRows(const PixelImage& source, const Taps& across, const Taps& down, PixelImage& out) {
    constexpr std::size_t channels = withAlpha ? 4 : 3;
    const auto sourceWidth = static_cast<std::size_t>(source.width);
    const auto width = static_cast<std::size_t>(out.width);
    const Sum total = static_cast<Sum>(sourceWidth) * static_cast<Sum>(source.height);
    // each at most 255 (with alpha 255 * 255) times the source height
    std::vector<std::uint32_t> planes(channels * sourceWidth);
    for (std::size_t y = 0; y < static_cast<std::size_t>(out.height); ++y) {
        std::uint32_t* const b = planes.data();
        std::uint32_t* const g = b + sourceWidth;
        std::uint32_t* const r = g + sourceWidth;
        std::uint32_t* const a = withAlpha ? r + sourceWidth : nullptr;
        std::fill(planes.begin(), planes.end(), 0u);
        const std::uint32_t* in = source.pixels.data() + static_cast<std::size_t>(down.first[y]) * sourceWidth;
        for (std::size_t k = down.at[y]; k < down.at[y + 1]; ++k, in += sourceWidth) {
            const std::uint32_t weight = down.w[k];
            for (std::size_t x = 0; x < sourceWidth; ++x) {
                const std::uint32_t alpha = withAlpha ? in[x] >> 24 : 1u;
                b[x] += weight * alpha * (in[x] & 0xFFu);
                g[x] += weight * alpha * ((in[x] >> 8) & 0xFFu);
                r[x] += weight * alpha * ((in[x] >> 16) & 0xFFu);
                if (withAlpha) a[x] += weight * alpha;
            }
        }
        std::uint32_t* pixel = out.pixels.data() + y * width;
        for (std::size_t x = 0; x < width; ++x) {
            Sum sum[4] = {0, 0, 0, 0};
            const std::size_t from = static_cast<std::size_t>(across.first[x]);
            for (std::size_t k = across.at[x], i = from; k < across.at[x + 1]; ++k, ++i) {
                const Sum weight = across.w[k];
                sum[0] += weight * b[i];
                sum[1] += weight * g[i];
                sum[2] += weight * r[i];
                if (withAlpha) sum[3] += weight * a[i];
            }
            // Without alpha every weight is 1: the colours' sums over the area.
            const Sum over = withAlpha ? sum[3] : total;
            const auto alpha = static_cast<std::uint32_t>((sum[3] + total / 2) / total);
            std::uint32_t value = 0;
            if (!withAlpha || alpha != 0) {  // what rounds to transparent is black
                for (int c = 0; c < 3; ++c) value |= static_cast<std::uint32_t>((sum[c] + over / 2) / over) << (8 * c);
                if (withAlpha) value |= alpha << 24;
            }
            pixel[x] = value;
        }
    }
}

bool hasAlpha(const PixelImage& image) {
    for (std::uint32_t p : image.pixels)
        if ((p >> 24) != 0) return true;
    return false;
}

}  // namespace

PixelImage scaleArea(const PixelImage& source, int width, int height) {
    PixelImage out;
    if (source.width < 1 || source.height < 1 || width < 1 || height < 1) return out;
    const Taps across = taps(source.width, width);
    const Taps down = taps(source.height, height);
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    if (hasAlpha(source)) {
        scaleRows<std::uint64_t, true>(source, across, down, out);
        return out;
    }
    // 32-bit sums where they cannot overflow (every opaque picture of the program), else 64-bit.
    const std::uint64_t largest = 255u * std::uint64_t(source.width) * std::uint64_t(source.height) * 2;
    if (largest <= 0xFFFFFFFFu)
        scaleRows<std::uint32_t, false>(source, across, down, out);
    else
        scaleRows<std::uint64_t, false>(source, across, down, out);
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

void premultiply(PixelImage& image) { alpha_pixels::premultiplied(image.pixels.data(), image.pixels.size()); }
