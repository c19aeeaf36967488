// Pictures with per-pixel alpha: the pixel arithmetic, the region that keeps clicks where the
// picture is transparent going beneath, and the choice of soft edges on this desktop.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/soft_edges.h"
#include "win/alpha_pixels.h"
#include "win/layered.h"

namespace {

using Runs = std::vector<alpha_pixels::Run>;

TEST(AlphaPixels, PremultipliedRoundsEachColourByItsAlpha) {
    const struct {
        std::uint32_t straight, premultiplied;
    } cases[] = {
        {0xff123456u, 0xff123456u},  // opaque: as it is
        {0x00ffffffu, 0x00000000u},  // transparent: nothing of its colour
        {0x80ffffffu, 0x80808080u},  // 255 * 128 / 255
        {0x80010203u, 0x80010102u},  // 0.5, 1.0 and 1.5 rounded
        {0x01ff00ffu, 0x01010001u},
    };
    for (const auto& c : cases) {
        std::uint32_t p = c.straight;
        alpha_pixels::premultiplied(&p, 1);
        EXPECT_EQ(p, c.premultiplied) << std::hex << c.straight;
    }
}

TEST(AlphaPixels, OnlyTopBytesThatDifferOrLieBetweenAreAnAlpha) {
    const struct {
        std::vector<std::uint32_t> pixels;
        bool alpha;
    } cases[] = {
        {{0x00102030u, 0x00ffffffu}, false},  // a 24-bit picture made 32-bit
        {{0xff102030u, 0xffffffffu}, false},  // a decoder's opaque picture
        {{0xff102030u, 0x00000000u}, true},
        {{0x80102030u, 0x80102030u}, true},
        {{}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(alpha_pixels::hasAlpha(c.pixels.data(), c.pixels.size()), c.alpha) << c.pixels.size();
}

TEST(AlphaPixels, ShapeAndRunsAgreeAndTheDigitsLieOverTheBoard) {
    // A 4 x 3 picture shaped by a mask: opaque inside, nothing outside.
    std::vector<std::uint32_t> pixels(12, 0x00a0b0c0u);
    const std::vector<std::uint32_t> inside = {0, 1, 1, 0,  //
                                               1, 1, 1, 1,  //
                                               0, 1, 0, 1};
    alpha_pixels::shapeBy(pixels.data(), inside.data(), pixels.size());
    EXPECT_EQ(pixels[1], 0xffa0b0c0u);
    EXPECT_EQ(pixels[0], 0u);
    const Runs runs = {{0, 1, 3}, {1, 0, 4}, {2, 1, 2}, {2, 3, 4}};
    EXPECT_EQ(alpha_pixels::opaqueRuns(pixels.data(), 4, 3), runs);

    // Over a board: opaque digits replace, half ones blend, transparent ones leave it.
    std::vector<std::uint32_t> board(3, 0xff204060u);
    const std::uint32_t digits[3] = {0xff010203u, 0x80404040u, 0x00000000u};
    alpha_pixels::over(board.data(), 3, 0, 0, digits, 3, 3, 1);
    EXPECT_EQ(board[0], 0xff010203u);
    EXPECT_EQ(board[1], 0xff506070u);  // 0x40 + round(0x20, 0x40, 0x60 * 127 / 255)
    EXPECT_EQ(board[2], 0xff204060u);
}

TEST(Layered, TheRegionOfTheRunsHoldsExactlyTheirPixels) {
    const Runs runs = {{0, 1, 3}, {1, 0, 4}, {2, 1, 2}, {2, 3, 4}};
    HRGN region = layered::regionOf(runs);
    ASSERT_NE(region, nullptr);
    int inside = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            bool inRun = false;
            for (const alpha_pixels::Run& r : runs) inRun = inRun || (r.y == y && x >= r.left && x < r.right);
            EXPECT_EQ(PtInRegion(region, x, y) != FALSE, inRun) << x << "," << y;
            inside += inRun ? 1 : 0;
        }
    EXPECT_EQ(inside, 8);
    DeleteObject(region);
}

TEST(SoftEdges, OnlyWineUnblendedOrUnprobedKeepsTheHardEdges) {
    using soft_edges::Probe;
    const struct {
        bool wine;
        Probe seen;
        bool on;
    } cases[] = {
        {false, Probe::notRun, true},      {true, Probe::blended, true},  {true, Probe::unblended, false},
        {true, Probe::unknown, false},     {true, Probe::notRun, false},
    };
    for (const auto& c : cases) EXPECT_EQ(soft_edges::choose(c.wine, c.seen), c.on) << c.wine << int(c.seen);
}

// The test desktops run no compositor: Wine shows the half pixel unblended, and the set keeps
// today's edges there.
TEST(SoftEdges, ThisDesktopShowsAHalfCoveredPixelUnblended) {
    const DWORD start = GetTickCount();
    EXPECT_EQ(soft_edges::probeScreen(2000), soft_edges::Probe::unblended);
    std::printf("[ probe    ] the screen probed in %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
    EXPECT_FALSE(soft_edges::on());
}

}  // namespace
