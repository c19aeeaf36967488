#include "platform/picture_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

namespace {

PixelImage image(int w, int h, std::initializer_list<std::uint32_t> pixels) {
    PixelImage out;
    out.width = w;
    out.height = h;
    out.pixels.assign(pixels.begin(), pixels.end());
    return out;
}

PixelImage filled(int w, int h, std::uint32_t colour) {
    PixelImage out;
    out.width = w;
    out.height = h;
    out.pixels.assign(static_cast<std::size_t>(w) * h, colour);
    return out;
}

std::uint32_t grey(std::uint32_t v) { return v | v << 8 | v << 16; }

TEST(PictureScale, ResultsOfKnownAreas) {
    struct Case {
        std::string what;
        PixelImage source;
        int width, height;
        PixelImage expected;
    };
    const Case cases[] = {
        {"same size is the source", image(2, 2, {0x102030, 0x405060, 0x708090, 0xA0B0C0}), 2, 2,
         image(2, 2, {0x102030, 0x405060, 0x708090, 0xA0B0C0})},
        {"halving averages 2 x 2 blocks",
         image(4, 2, {grey(0), grey(100), grey(10), grey(10), grey(50), grey(50), grey(30), grey(30)}),
         2, 1, image(2, 1, {grey(50), grey(20)})},
        {"three to two weighs 2:1 and 1:2", image(3, 1, {grey(0), grey(90), grey(180)}), 2, 1,
         image(2, 1, {grey(30), grey(150)})},
        {"channels are kept apart", image(2, 1, {0x0000FF, 0xFF0000}), 1, 1,
         image(1, 1, {0x800080})},
        {"a half rounds up", image(2, 1, {grey(0), grey(1)}), 1, 1, image(1, 1, {grey(1)})},
        {"below a half rounds down", image(3, 1, {grey(0), grey(0), grey(1)}), 1, 1,
         image(1, 1, {grey(0)})},
        {"doubling repeats pixels", image(2, 1, {grey(10), grey(200)}), 4, 1,
         image(4, 1, {grey(10), grey(10), grey(200), grey(200)})},
        {"an edge takes nothing from the far edge",
         image(4, 2, {grey(0), grey(0), grey(0), grey(200), grey(0), grey(0), grey(0), grey(200)}),
         2, 1, image(2, 1, {grey(0), grey(100)})},
        {"one and a half spreads the middle", image(2, 1, {grey(0), grey(240)}), 3, 1,
         image(3, 1, {grey(0), grey(120), grey(240)})},
    };
    // Opaque with an alpha of 255 everywhere: the same colours, and the alpha kept.
    auto opaque = [](PixelImage p) {
        for (std::uint32_t& v : p.pixels) v |= 0xFF000000u;
        return p;
    };
    for (const Case& c : cases) {
        const PixelImage got = scaleArea(c.source, c.width, c.height);
        EXPECT_EQ(got.width, c.expected.width) << c.what;
        EXPECT_EQ(got.height, c.expected.height) << c.what;
        EXPECT_EQ(got.pixels, c.expected.pixels) << c.what;
        EXPECT_EQ(scaleArea(opaque(c.source), c.width, c.height).pixels, opaque(c.expected).pixels)
            << c.what << ", opaque";
    }
}

std::uint32_t argb(std::uint32_t a, std::uint32_t rgb) { return a << 24 | rgb; }

TEST(PictureScale, AlphaWeighsEachColour) {
    struct Case {
        std::string what;
        PixelImage source;
        int width, height;
        PixelImage expected;
    };
    const Case cases[] = {
        {"a transparent neighbour's colour stays out", image(2, 1, {argb(255, 0xFF0000), argb(0, 0x00FF00)}), 1, 1,
         image(1, 1, {argb(128, 0xFF0000)})},
        {"a faint one counts for its alpha", image(2, 1, {argb(255, grey(200)), argb(85, grey(0))}), 1, 1,
         image(1, 1, {argb(170, grey(150))})},
        {"nothing covered is 0",
         image(4, 1, {argb(0, 0xFFFFFF), argb(0, 0x123456), argb(255, grey(9)), argb(255, grey(9))}), 2, 1,
         image(2, 1, {0, argb(255, grey(9))})},
        {"what rounds to transparent is 0", image(3, 1, {argb(1, 0xFFFFFF), argb(0, 0), argb(0, 0)}), 1, 1,
         image(1, 1, {0})},
        {"three to two: 2:1 of alphas 255 and 0", image(3, 1, {argb(255, grey(90)), argb(0, grey(255)), argb(51, grey(30))}),
         2, 1, image(2, 1, {argb(170, grey(90)), argb(34, grey(30))})},
        {"doubling repeats colour and alpha", image(2, 1, {argb(64, grey(10)), argb(0, 0)}), 4, 1,
         image(4, 1, {argb(64, grey(10)), argb(64, grey(10)), 0, 0})},
    };
    for (const Case& c : cases) EXPECT_EQ(scaleArea(c.source, c.width, c.height).pixels, c.expected.pixels) << c.what;
}

// A plain colour stays exactly itself at every ratio the program meets: any weight that went
// astray (a lost sliver at an edge, a sum over or under the whole) would show as a tint.
TEST(PictureScale, PlainColourStaysExactAtEveryRatio) {
    const std::uint32_t orange = 0xDE661C;
    for (int from : {50, 187, 200, 748}) {
        for (int to : {1, 13, 50, 63, 75, 94, 100, 281, 374}) {
            const PixelImage got = scaleArea(filled(from, 3, orange), to, 5);
            ASSERT_EQ(got.pixels.size(), static_cast<std::size_t>(to) * 5) << from << "->" << to;
            for (std::uint32_t p : got.pixels) ASSERT_EQ(p, orange) << from << "->" << to;
        }
    }
}

// Half the pixels transparent in a colour of their own, the rest the plain colour at alphas
// that vary: wherever anything is covered the result is the plain colour, exactly, else 0.
TEST(PictureScale, TransparentColourNeverBleedsAtAnyRatio) {
    const std::uint32_t orange = 0xDE661C, magenta = 0xFF00FF;
    for (int from : {50, 187, 200, 748}) {
        PixelImage source = filled(from, 4, 0);
        for (std::size_t i = 0; i < source.pixels.size(); ++i)
            source.pixels[i] = i % 2 ? argb(0, magenta) : argb(static_cast<std::uint32_t>(1 + i % 255), orange);
        for (int to : {1, 13, 63, 75, 94, 281, 374}) {
            const PixelImage got = scaleArea(source, to, 3);
            for (std::uint32_t p : got.pixels) ASSERT_EQ(p & 0xFFFFFFu, p >> 24 ? orange : 0) << from << "->" << to;
        }
    }
}

TEST(PictureScale, PremultiplyRoundsEachChannelByItsAlpha) {
    struct Case {
        std::uint32_t pixel, expected;
    };
    const Case cases[] = {
        {argb(255, 0xFF8001), argb(255, 0xFF8001)},  // opaque: unchanged
        {argb(0, 0xFFFFFF), 0},                      // transparent: black
        {argb(128, 0xC80100), argb(128, 0x640100)},  // 200 -> 100.4, 1 -> 0.5 (up), 0
        {argb(1, 0xFF7F80), argb(1, 0x010001)},      // 255 -> 1, 127 -> 0.498, 128 -> 0.502
    };
    for (const Case& c : cases) {
        PixelImage p = image(1, 1, {c.pixel});
        premultiply(p);
        EXPECT_EQ(p.pixels[0], c.expected) << std::hex << c.pixel;
    }
}

TEST(PictureScale, StripFramesTakeNothingFromTheirNeighbours) {
    const std::uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF};
    PixelImage strip;
    strip.width = 8;
    strip.height = 3 * 8;
    for (std::uint32_t c : colours) strip.pixels.insert(strip.pixels.end(), 64, c);

    const PixelImage got = scaleStrip(strip, 3, 3, 5);  // 8 rows a frame become 5: no row aligns
    ASSERT_EQ(got.width, 3);
    ASSERT_EQ(got.height, 15);
    for (int y = 0; y < got.height; ++y)
        for (int x = 0; x < got.width; ++x) EXPECT_EQ(got.at(x, y), colours[y / 5]) << x << "," << y;
}

TEST(PictureScale, NothingFromNothing) {
    const PixelImage some = filled(4, 6, 0x123456);
    EXPECT_TRUE(scaleArea(PixelImage{}, 3, 3).pixels.empty());
    EXPECT_TRUE(scaleArea(some, 0, 3).pixels.empty());
    EXPECT_TRUE(scaleArea(some, 3, -1).pixels.empty());
    EXPECT_TRUE(scaleStrip(some, 4, 2, 2).pixels.empty());  // 6 rows are not 4 frames
    EXPECT_TRUE(scaleStrip(some, 0, 2, 2).pixels.empty());
    EXPECT_EQ(scaleStrip(some, 3, 2, 1).height, 3);
}

}  // namespace
