// The committed resource files and shape tables: formats, sizes and layouts the windows and
// the sound player rely on, and the net picture against the net's window shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

#include "platform/picture_scale.h"
#include "shapes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::string& name) {
    const std::string path = std::string(RES_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) ADD_FAILURE() << "cannot read " << path << " (the tests run in the build directory)";
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t u16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::int32_t s16(const Bytes& b, std::size_t at) { return static_cast<std::int16_t>(u16(b, at)); }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }
std::int32_t s32(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(u32(b, at)); }

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool black() const { return r == 0 && g == 0 && b == 0; }
};

// An 8-bit or a 32-bit (alpha in the top byte) bottom-up DIB file, read back as rows counted
// from the top.
struct Picture {
    Bytes file;
    int width = 0, height = 0, bits = 8;
    std::size_t pixel(int x, int y) const {
        const std::size_t bytes = static_cast<std::size_t>(bits / 8);
        const std::size_t stride = (static_cast<std::size_t>(width) * bytes + 3) & ~std::size_t{3};
        return u32(file, 10) + static_cast<std::size_t>(height - 1 - y) * stride + static_cast<std::size_t>(x) * bytes;
    }
    Rgb at(int x, int y) const {
        const std::size_t entry = bits == 32 ? pixel(x, y) : 14 + 40 + 4 * std::size_t{file.at(pixel(x, y))};
        return {file.at(entry + 2), file.at(entry + 1), file.at(entry)};
    }
    int alpha(int x, int y) const { return bits == 32 ? file.at(pixel(x, y) + 3) : 255; }
};

Picture loadPicture(const std::string& name) {
    Picture p;
    p.file = readFile(name);
    if (p.file.size() >= 54) {
        p.width = s32(p.file, 18);
        p.height = s32(p.file, 22);
        p.bits = static_cast<int>(u16(p.file, 28));
    }
    return p;
}

// The platform's polygon fill: pixel (x, y) is inside when the integer point is, edges
// counted half-open (a span from xa to xb covers xa <= x < xb). Alternate or winding.
struct Polygon {
    const ShapePoint* points;
    int count;
};

std::vector<std::vector<bool>> fill(const std::vector<Polygon>& polygons, int width, int height,
                                    bool winding) {
    std::vector<std::vector<bool>> inside(height, std::vector<bool>(width, false));
    for (int y = 0; y < height; ++y) {
        // each edge across the row adds its direction to every x right of its crossing
        std::vector<int> step(static_cast<std::size_t>(width) + 1, 0);
        for (const Polygon& poly : polygons) {
            for (int i = 0; i < poly.count; ++i) {
                const ShapePoint a = poly.points[i];
                const ShapePoint b = poly.points[(i + 1) % poly.count];
                if (a.y == b.y || y < std::min(a.y, b.y) || y >= std::max(a.y, b.y)) continue;
                // x >= crossing, in integers: (x - a.x) * (b.y - a.y) >= (y - a.y) * (b.x - a.x)
                // going down (<= going up), that is x - a.x >= their quotient, rounded up
                const long dy = b.y - a.y;
                const long rhs = static_cast<long>(y - a.y) * (b.x - a.x);
                const long up = rhs / dy + (rhs % dy != 0 && (rhs < 0) == (dy < 0) ? 1 : 0);
                step[static_cast<std::size_t>(std::clamp<long>(a.x + up, 0, width))] += dy > 0 ? 1 : -1;
            }
        }
        int count = 0;
        for (int x = 0; x < width; ++x) {
            count += step[static_cast<std::size_t>(x)];
            inside[y][x] = winding ? count != 0 : (count % 2) != 0;
        }
    }
    return inside;
}

std::vector<Polygon> split(const ShapePoint* points, const int* counts, int polygons) {
    std::vector<Polygon> out;
    for (int i = 0, at = 0; i < polygons; at += counts[i], ++i) out.push_back({points + at, counts[i]});
    return out;
}

std::vector<std::vector<bool>> netRegion() {
    const auto outline = fill(split(netOutline, netOutlineCounts, netOutlinePolygons), 83, 76, false);
    const auto holes = fill(split(netHoles, netHoleCounts, netHolePolygons), 83, 76, false);
    auto region = outline;
    for (int y = 0; y < 76; ++y)
        for (int x = 0; x < 83; ++x) region[y][x] = outline[y][x] && !holes[y][x];
    return region;
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

struct BitmapCase {
    const char* file;
    int width, height;
    std::uint32_t bits;  // 8: a palette of its own; 32: alpha in each pixel's top byte
};

class Bitmaps : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(Bitmaps, AreBottomUpEightBitWithAPaletteOrThirtyTwoBit) {
    const BitmapCase c = GetParam();
    const Bytes b = readFile(c.file);
    const std::uint32_t palette = c.bits == 8 ? 1024u : 0u;
    ASSERT_GE(b.size(), 14u + 40u + palette) << c.file;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 10), 14u + 40u + palette) << "pixels follow the header and the palette";
    EXPECT_EQ(u32(b, 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(s32(b, 18), c.width);
    EXPECT_EQ(s32(b, 22), c.height) << "positive height: rows stored bottom-up";
    EXPECT_EQ(u16(b, 26), 1u);
    EXPECT_EQ(u16(b, 28), c.bits);
    EXPECT_EQ(u32(b, 30), 0u) << "BI_RGB";
    const std::uint32_t stride = (static_cast<std::uint32_t>(c.width) * c.bits / 8 + 3) & ~3u;
    EXPECT_EQ(b.size(), 14u + 40u + palette + stride * static_cast<std::uint32_t>(c.height));
    EXPECT_EQ(u32(b, 46), palette / 4) << "an 8-bit palette declares all 256 colours";
}

INSTANTIATE_TEST_SUITE_P(Resources, Bitmaps,
                         ::testing::Values(BitmapCase{"ball.bmp", 50, 350, 32},
                                           BitmapCase{"backboard.bmp", 187, 134, 32},
                                           BitmapCase{"net.bmp", 83, 76, 32},
                                           BitmapCase{"about.bmp", 400, 300, 8},
                                           BitmapCase{"about_en.bmp", 400, 300, 8},
                                           BitmapCase{"scoreboard.bmp", 187, 42, 32},
                                           BitmapCase{"scoreboard_en.bmp", 187, 42, 32},
                                           BitmapCase{"digits.bmp", 14, 150, 8}));

constexpr Rgb scoreBlue{42, 63, 170};

TEST(BallStrip, SevenFramesOfARoundBallOnBlackEachTurnedFurther) {
    const Picture p = loadPicture("ball.bmp");
    ASSERT_EQ(p.height, 350);
    std::vector<std::vector<Rgb>> frames(7);
    for (int k = 0; k < 7; ++k) {
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) frames[k].push_back(p.at(x, 50 * k + y));
        // corners outside the inscribed circle are black, the middle is orange
        EXPECT_TRUE(p.at(0, 50 * k).black());
        EXPECT_TRUE(p.at(49, 50 * k + 49).black());
        const Rgb mid = p.at(25, 50 * k + 25);
        EXPECT_GT(mid.r, mid.g);
        EXPECT_GT(mid.g, mid.b);
    }
    for (int k = 0; k < 7; ++k) EXPECT_NE(frames[k], frames[(k + 1) % 7]) << "frame " << k;
}

TEST(DigitStrip, TenCellsOfWhiteDigitsOnTheScoreboardBlue) {
    const Picture p = loadPicture("digits.bmp");
    ASSERT_EQ(p.height, 150);
    std::vector<std::vector<Rgb>> cells(10);
    for (int d = 0; d < 10; ++d) {
        int white = 0;
        for (int y = 15 * d; y < 15 * d + 15; ++y) {
            for (int x = 0; x < 14; ++x) {
                const Rgb c = p.at(x, y);
                cells[d].push_back(c);
                if (c.r > 230 && c.g > 230 && c.b > 230) ++white;
            }
        }
        EXPECT_GT(white, 12) << "digit " << d;
        // the cell's edges are plain blue, so neighbouring digits never touch
        for (int x = 0; x < 14; ++x) {
            EXPECT_EQ(p.at(x, 15 * d), scoreBlue) << "digit " << d;
            EXPECT_EQ(p.at(x, 15 * d + 14), scoreBlue) << "digit " << d;
        }
        for (int y = 15 * d; y < 15 * d + 15; ++y) {
            EXPECT_EQ(p.at(0, y), scoreBlue) << "digit " << d;
            EXPECT_EQ(p.at(13, y), scoreBlue) << "digit " << d;
        }
    }
    for (int d = 0; d < 10; ++d)
        for (int e = d + 1; e < 10; ++e) EXPECT_NE(cells[d], cells[e]) << d << " and " << e;
}

TEST(Scoreboard, ScorePanelIsPlainBlueWhereTheDigitsGo) {
    for (const char* file : {"scoreboard.bmp", "scoreboard_en.bmp"}) {
        SCOPED_TRACE(file);
        const Picture p = loadPicture(file);
        ASSERT_EQ(p.width, 187);
        for (int y = 3; y <= 38; ++y)
            for (int x = 141; x <= 183; ++x) ASSERT_EQ(p.at(x, y), scoreBlue) << x << "," << y;
        const Rgb panel = p.at(100, 21);
        EXPECT_GT(panel.r, 150) << "orange panel on the left";
        EXPECT_FALSE(p.at(60, 8) == scoreBlue);
        const auto region = fill({{scoreboardOutline, scoreboardOutlineCount}}, 187, 42, true);
        for (int y = 0; y < 42; ++y)
            for (int x = 0; x < 187; ++x)
                if (!region[y][x] && p.alpha(x, y) == 0) {
                    EXPECT_TRUE(p.at(x, y).black()) << x << "," << y;
                }
    }
}

// The English scoreboard is the Russian one with another word: the same pixels everywhere
// outside the label's place between the emblem and the score panel, white letters inside it.
TEST(Scoreboard, EnglishDiffersFromRussianOnlyInTheLabel) {
    const Picture ru = loadPicture("scoreboard.bmp");
    const Picture en = loadPicture("scoreboard_en.bmp");
    ASSERT_EQ(en.width, ru.width);
    ASSERT_EQ(en.height, ru.height);
    int differ = 0, whiteInLabel = 0;
    for (int y = 0; y < 42; ++y)
        for (int x = 0; x < 187; ++x) {
            const bool label = x >= 44 && x < 136 && y >= 4 && y < 38;
            if (!label) {
                EXPECT_EQ(en.at(x, y), ru.at(x, y)) << x << "," << y;
                EXPECT_EQ(en.alpha(x, y), ru.alpha(x, y)) << x << "," << y;
            } else {
                differ += !(en.at(x, y) == ru.at(x, y));
                const Rgb c = en.at(x, y);
                whiteInLabel += c.r > 240 && c.g > 240 && c.b > 240;
            }
        }
    EXPECT_GT(differ, 100) << "another word";
    EXPECT_GT(whiteInLabel, 100) << "in white letters";
}

TEST(Backboard, BlackRimAroundAWhiteBoardInsideTheOutline) {
    const Picture p = loadPicture("backboard.bmp");
    ASSERT_EQ(p.width, 187);
    const auto region = fill({{backboardOutline, backboardOutlineCount}}, 187, 134, true);
    auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < 187 && y < 134 && region[y][x]; };
    int white = 0;
    for (int y = 0; y < 134; ++y) {
        for (int x = 0; x < 187; ++x) {
            const Rgb c = p.at(x, y);
            if (c.r > 240 && c.g > 240 && c.b > 240) ++white;
            const bool edge = in(x, y) && (!in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1));
            // along the shape's edge and past it the picture is black: the rim is the outline
            if (edge || (!in(x, y) && p.alpha(x, y) == 0)) {
                EXPECT_TRUE(c.black()) << x << "," << y;
            }
        }
    }
    EXPECT_GT(white, 10000);
    const Rgb yellow = p.at(58, 80);
    EXPECT_GT(yellow.r, 200);
    EXPECT_GT(yellow.g, 150);
    EXPECT_LT(yellow.b, 80);
    const Rgb bracket = p.at(93, 120);
    EXPECT_GT(bracket.r, 150);
    EXPECT_LT(bracket.b, 100);
}

TEST(Net, VisibleShapeIsExactlyTheNonBlackPixels) {
    const Picture p = loadPicture("net.bmp");
    ASSERT_EQ(p.width, 83);
    ASSERT_EQ(p.height, 76);
    const auto region = netRegion();
    int mismatches = 0, visible = 0;
    for (int y = 0; y < 76; ++y) {
        for (int x = 0; x < 83; ++x) {
            visible += region[y][x];
            // past the shape only what the outline partly covers has a colour
            if (region[y][x] ? p.at(x, y).black() : !p.at(x, y).black() && p.alpha(x, y) == 0) {
                ++mismatches;
                ADD_FAILURE() << "pixel " << x << "," << y << (region[y][x] ? " in the shape is black"
                                                                             : " outside the shape is not black");
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(visible, 1500);
    for (int y = 70; y < 76; ++y)
        for (int x = 0; x < 83; ++x) EXPECT_FALSE(region[y][x]) << "see-through bottom rows";
    const Rgb rim = p.at(41, 4);
    EXPECT_GT(rim.r, 180) << "orange rim band";
    EXPECT_LT(rim.b, 80);
}

// ---------------------------------------------------------------------------------------------
// Coverage: each shaped picture's alpha against its window's region, at 100 % from its bitmap
// and at other scales from its master as the program scales it.

int mulDiv(int value, int dpi) { return (value * dpi + 48) / 96; }

using Region = std::vector<std::vector<bool>>;

std::vector<ShapePoint> scaled(const ShapePoint* points, int count, int dpi) {
    std::vector<ShapePoint> out;
    for (int i = 0; i < count; ++i) out.push_back({mulDiv(points[i].x, dpi), mulDiv(points[i].y, dpi)});
    return out;
}

// The region of one frame of picture `name` at `dpi`, as the windows make it.
Region regionAt(const std::string& name, int width, int height, int dpi) {
    if (name == "ball") {  // the disc inscribed in the square, pixel centres tested
        Region disc(height, std::vector<bool>(width));
        const double half = width / 2.0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double u = (x + 0.5 - half) / (half - 0.5), v = (y + 0.5 - half) / (half - 0.5);
                disc[y][x] = u * u + v * v <= 1;
            }
        return disc;
    }
    if (name == "net") {
        const auto outline = scaled(netOutline, netOutlineCount, dpi);
        const auto holes = scaled(netHoles, netHolesCount, dpi);
        Region region = fill(split(outline.data(), netOutlineCounts, netOutlinePolygons), width, height, false);
        const Region cut = fill(split(holes.data(), netHoleCounts, netHolePolygons), width, height, false);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) region[y][x] = region[y][x] && !cut[y][x];
        return region;
    }
    const bool board = name == "backboard";
    const auto outline = board ? scaled(backboardOutline, backboardOutlineCount, dpi)
                               : scaled(scoreboardOutline, scoreboardOutlineCount, dpi);
    return fill({{outline.data(), static_cast<int>(outline.size())}}, width, height, true);
}

PixelImage fromBitmap(const Picture& p) {
    PixelImage image;
    image.width = p.width;
    image.height = p.height;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Rgb c = p.at(x, y);
            image.pixels.push_back(static_cast<std::uint32_t>(p.alpha(x, y)) << 24 |
                                   static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b));
        }
    return image;
}

// A master as the art tools decoded it for these tests (tools/unpack_masters.py).
PixelImage readMaster(const std::string& name) {
    const std::string path = std::string(MASTERS_DIR) + "/" + name + "_master.raw";
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes b(in ? static_cast<std::size_t>(in.tellg()) : 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(b.data()), static_cast<std::streamsize>(b.size()));
    PixelImage image;
    if (b.size() < 8) {
        ADD_FAILURE() << "cannot read " << path;
        return image;
    }
    image.width = static_cast<int>(u32(b, 0));
    image.height = static_cast<int>(u32(b, 4));
    for (std::size_t at = 8; at + 4 <= b.size(); at += 4) image.pixels.push_back(u32(b, at));
    EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width) * image.height) << path;
    return image;
}

struct CoverageCase {
    const char* name;
    int width, height, frames;
    bool curved;  // else its outline runs along whole pixels but at its three cut corners
    int dpi;
};

class Coverage : public ::testing::TestWithParam<CoverageCase> {};

TEST_P(Coverage, OpaqueInsideTheRegionTransparentOutsideSoftAlongItsOutline) {
    const CoverageCase c = GetParam();
    const int w = mulDiv(c.width, c.dpi), h = mulDiv(c.height, c.dpi);
    PixelImage picture = c.dpi == 96 ? fromBitmap(loadPicture(std::string(c.name) + ".bmp"))
                                     : scaleStrip(readMaster(c.name), c.frames, w, h);
    ASSERT_EQ(picture.width, w);
    ASSERT_EQ(picture.height, h * c.frames);
    const std::string shape = std::string(c.name).substr(0, std::string(c.name).find('_'));
    const Region region = regionAt(shape, w, h, c.dpi);
    auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && region[y][x]; };
    // the region's pixels in each box from the corner, for the counts around a pixel
    std::vector<int> sums(static_cast<std::size_t>(w + 1) * (h + 1), 0);
    auto sum = [&](int x, int y) -> int& { return sums[static_cast<std::size_t>(y) * (w + 1) + x]; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) sum(x + 1, y + 1) = sum(x, y + 1) + sum(x + 1, y) - sum(x, y) + in(x, y);
    auto around = [&](int x, int y, int r) {
        const int x0 = std::max(x - r, 0), y0 = std::max(y - r, 0), x1 = std::min(x + r + 1, w), y1 = std::min(y + r + 1, h);
        return sum(x1, y1) - sum(x0, y1) - sum(x1, y0) + sum(x0, y0);
    };
    // The outline passes among the pixels whose neighbours differ from them. The master is one
    // drawing for every scale, where the region's vertices are rounded to whole pixels: there
    // the outline lies within a pixel more.
    const int reach = c.dpi == 96 ? 1 : 2, all = (2 * reach + 1) * (2 * reach + 1);
    int wrong = 0, soft = 0;
    for (int f = 0; f < c.frames; ++f)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int neighbours = around(x, y, reach);
                const std::uint32_t p = picture.at(x, f * h + y);
                const std::uint32_t a = p >> 24;
                soft += a > 0 && a < 255;
                const char* fault = neighbours == all && a != 255 ? "inside, not opaque"
                                    : neighbours == 0 && a != 0 ? "outside, not transparent"
                                    : a == 0 && p != 0          ? "transparent, not black"
                                    : c.dpi == 96 && in(x, y) && a == 0 ? "in the region, transparent"
                                                                         : nullptr;
                if (fault != nullptr && ++wrong <= 5)
                    ADD_FAILURE() << "frame " << f << " pixel " << x << "," << y << ": " << fault << ", "
                                  << std::hex << p;
            }
    EXPECT_EQ(wrong, 0);
    EXPECT_GE(soft, c.curved ? c.frames * (w + h) / 2 : 3) << "partly covered pixels along the outline";
    // Premultiplied, as a layered window takes it, no channel exceeds the alpha.
    premultiply(picture);
    for (std::uint32_t p : picture.pixels)
        for (int ch = 0; ch < 3; ++ch) ASSERT_LE((p >> (8 * ch)) & 0xFFu, p >> 24) << std::hex << p;
}

std::vector<CoverageCase> coverageCases() {
    std::vector<CoverageCase> out;
    const CoverageCase pictures[] = {{"ball", 50, 50, 7, true, 0},         {"backboard", 187, 134, 1, true, 0},
                                     {"net", 83, 76, 1, true, 0},          {"scoreboard", 187, 42, 1, false, 0},
                                     {"scoreboard_en", 187, 42, 1, false, 0}};
    for (int dpi : {96, 144, 192})
        for (CoverageCase c : pictures) {
            c.dpi = dpi;
            out.push_back(c);
        }
    return out;
}

INSTANTIATE_TEST_SUITE_P(ShapedPictures, Coverage, ::testing::ValuesIn(coverageCases()),
                         [](const ::testing::TestParamInfo<CoverageCase>& info) {
                             return std::string(info.param.name) + "_" + std::to_string(info.param.dpi);
                         });

// ---------------------------------------------------------------------------------------------
// Shape tables

TEST(ShapeTables, VertexCounts) {
    EXPECT_EQ(std::size(backboardOutline), 86u);
    EXPECT_EQ(std::size(scoreboardOutline), 10u);
    EXPECT_EQ(std::size(netOutline), 75u);
    EXPECT_EQ(std::accumulate(std::begin(netOutlineCounts), std::end(netOutlineCounts), 0), 75);
    EXPECT_EQ(netOutlineCounts[0], 19);
    EXPECT_EQ(netOutlineCounts[1], 56);
    EXPECT_EQ(std::size(netHoles), 407u);
    EXPECT_EQ(std::size(netHoleCounts), 27u);
    EXPECT_EQ(std::accumulate(std::begin(netHoleCounts), std::end(netHoleCounts), 0), 407);
}

TEST(ShapeTables, BackboardReachesTheRightEdgeOnlyFromY59To98AndTheBottomFrom77To110) {
    // Where the outline's span at row y ends exactly on x = 187, and where the last row's
    // span lies: boundary rows and columns of the region.
    std::vector<int> rightRows;
    for (int y = 0; y < 134; ++y) {
        for (int i = 0; i < backboardOutlineCount; ++i) {
            const ShapePoint a = backboardOutline[i];
            const ShapePoint b = backboardOutline[(i + 1) % backboardOutlineCount];
            if (a.x == 187 && b.x == 187 && y >= std::min(a.y, b.y) && y <= std::max(a.y, b.y))
                rightRows.push_back(y);
        }
    }
    ASSERT_FALSE(rightRows.empty());
    EXPECT_EQ(rightRows.front(), 59);
    EXPECT_EQ(rightRows.back(), 98);
    EXPECT_EQ(rightRows.size(), 40u);
    for (const ShapePoint& v : backboardOutline) {
        EXPECT_LE(v.x, 187);
        EXPECT_LE(v.y, 134);
        if (v.x == 187) {
            EXPECT_TRUE(v.y >= 59 && v.y <= 98);
        }
        if (v.y == 134) {
            EXPECT_TRUE(v.x >= 77 && v.x <= 110);
        }
    }
    const auto region = fill({{backboardOutline, backboardOutlineCount}}, 187, 134, true);
    for (int x = 0; x < 187; ++x) EXPECT_EQ(region[133][x], x >= 77 && x < 110) << x;
    for (int y = 59; y <= 98; ++y) EXPECT_TRUE(region[y][186]) << y;
    EXPECT_FALSE(region[58][186]);
    EXPECT_TRUE(region[0][93]);
    EXPECT_FALSE(region[0][0]);
}

TEST(ShapeTables, NetHolesAreClosedAndLieWithinTheNetBody) {
    struct Box { int x0, x1, y0, y1; };
    const Box boxes[27] = {
        {17, 27, 8, 19},  {35, 48, 10, 22}, {57, 66, 8, 17},  {15, 22, 19, 30}, {26, 37, 18, 31},
        {47, 57, 18, 30}, {62, 68, 19, 30}, {22, 30, 31, 43}, {36, 47, 27, 40}, {54, 61, 30, 42},
        {18, 23, 40, 50}, {30, 40, 39, 51}, {44, 53, 39, 51}, {61, 65, 41, 50}, {24, 31, 48, 59},
        {37, 46, 51, 63}, {52, 59, 48, 60}, {21, 26, 60, 70}, {29, 38, 60, 70}, {46, 54, 60, 70},
        {56, 63, 61, 70}, {8, 12, 11, 19},  {14, 17, 29, 36}, {17, 20, 53, 61}, {71, 75, 11, 19},
        {67, 71, 30, 38}, {64, 66, 55, 60}};
    const auto body = fill({{netOutline + 19, 56}}, 83, 76, false);
    const auto holes = split(netHoles, netHoleCounts, netHolePolygons);
    for (int h = 0; h < 27; ++h) {
        const Polygon& poly = holes[h];
        EXPECT_EQ(poly.points[0].x, poly.points[poly.count - 1].x) << "hole " << h + 1;
        EXPECT_EQ(poly.points[0].y, poly.points[poly.count - 1].y) << "hole " << h + 1;
        Box box{1000, -1, 1000, -1};
        for (int i = 0; i < poly.count; ++i) {
            box.x0 = std::min(box.x0, poly.points[i].x);
            box.x1 = std::max(box.x1, poly.points[i].x);
            box.y0 = std::min(box.y0, poly.points[i].y);
            box.y1 = std::max(box.y1, poly.points[i].y);
        }
        EXPECT_EQ(box.x0, boxes[h].x0) << "hole " << h + 1;
        EXPECT_EQ(box.x1, boxes[h].x1) << "hole " << h + 1;
        EXPECT_EQ(box.y0, boxes[h].y0) << "hole " << h + 1;
        EXPECT_EQ(box.y1, boxes[h].y1) << "hole " << h + 1;
        // every opening cuts at least one pixel out of the body
        const auto cut = fill({poly}, 83, 76, false);
        int inBody = 0;
        for (int y = 0; y < 76; ++y)
            for (int x = 0; x < 83; ++x) inBody += cut[y][x] && body[y][x];
        EXPECT_GT(inBody, 0) << "hole " << h + 1;
    }
    const ShapePoint first = netOutline[0], last = netOutline[18];
    EXPECT_TRUE(first.x == last.x && first.y == last.y);
    EXPECT_TRUE(netOutline[19].x == netOutline[74].x && netOutline[19].y == netOutline[74].y);
}

// ---------------------------------------------------------------------------------------------
// Icon and cursor

std::uint64_t fnv1a(const Bytes& b, std::size_t at, std::size_t size) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::size_t i = at; i < at + size; ++i) h = (h ^ b.at(i)) * 0x100000001b3ull;
    return h;
}

// Every size Windows asks for at some display scale, each an image of its own; the 16 colour
// ones of 16 and 32 px exactly as they always were (their bytes' hashes), the others 32-bit,
// the largest as PNG.
TEST(Icon, HoldsAnImageOfItsOwnForEverySizeAndKeepsTheOldOnes) {
    const Bytes b = readFile("basketball.ico");
    ASSERT_GE(b.size(), 6u);
    const struct {
        int size, bits;
        std::uint64_t hash;  // 0: any
    } expected[] = {{32, 4, 0x740ff944bb95fcccull}, {16, 4, 0x53153af028cbffecull}, {20, 32, 0},
                    {24, 32, 0}, {40, 32, 0}, {48, 32, 0}, {64, 32, 0}, {256, 32, 0}};
    ASSERT_EQ(u16(b, 4), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& e = expected[i];
        const std::size_t entry = 6 + 16 * i;
        const int width = b.at(entry) == 0 ? 256 : b.at(entry);
        const std::size_t size = u32(b, entry + 8), at = u32(b, entry + 12);
        ASSERT_LE(at + size, b.size()) << "image " << i;
        EXPECT_EQ(width, e.size) << "image " << i;
        EXPECT_EQ(u16(b, entry + 6), static_cast<std::uint32_t>(e.bits)) << e.size << " px";
        if (e.hash != 0) {
            EXPECT_EQ(fnv1a(b, at, size), e.hash) << e.size << " px changed";
        }
        if (e.size == 256) {
            ASSERT_GE(size, 24u);
            EXPECT_EQ(std::memcmp(b.data() + at, "\x89PNG", 4), 0) << "256 px as PNG";
            EXPECT_EQ(b.at(at + 18) << 8 | b.at(at + 19), 256) << "its width";
        } else {
            EXPECT_EQ(s32(b, at + 4), e.size) << e.size << " px: DIB width";
            EXPECT_EQ(s32(b, at + 8), 2 * e.size) << e.size << " px: DIB height, both masks";
            EXPECT_EQ(u16(b, at + 14), static_cast<std::uint32_t>(e.bits)) << e.size << " px";
        }
    }
}

TEST(HandCursor, GroupListsThe32pxImageAsItWasAnd48And64BesideIt) {
    EXPECT_EQ(fnv1a(readFile("hand_cursor.bin"), 0, readFile("hand_cursor.bin").size()),
              0x1da3a104fb3734c2ull)
        << "the 32 px cursor changed";
    const Bytes group = readFile("hand_cursor_group.bin");
    const struct {
        const char* file;
        int size, id, hotX, hotY;  // the hot spot at the index fingertip, scaled
    } images[] = {{"hand_cursor.bin", 32, 3, 10, 5},
                  {"hand_cursor_48.bin", 48, 4, 15, 7},
                  {"hand_cursor_64.bin", 64, 5, 20, 10}};
    ASSERT_EQ(group.size(), 6u + 14u * std::size(images));
    EXPECT_EQ(u16(group, 2), 2u) << "a cursor group";
    ASSERT_EQ(u16(group, 4), std::size(images));
    for (std::size_t i = 0; i < std::size(images); ++i) {
        const auto& c = images[i];
        const Bytes image = readFile(c.file);
        const std::size_t entry = 6 + 14 * i;
        EXPECT_EQ(u16(group, entry), static_cast<std::uint32_t>(c.size)) << c.file;
        EXPECT_EQ(u16(group, entry + 2), static_cast<std::uint32_t>(2 * c.size)) << c.file;
        EXPECT_EQ(u32(group, entry + 8), image.size()) << c.file;
        EXPECT_EQ(u16(group, entry + 12), static_cast<std::uint32_t>(c.id)) << c.file;
        ASSERT_GE(image.size(), 4u + 40u) << c.file;
        EXPECT_EQ(u16(image, 0), static_cast<std::uint32_t>(c.hotX)) << c.file;
        EXPECT_EQ(u16(image, 2), static_cast<std::uint32_t>(c.hotY)) << c.file;
        EXPECT_EQ(s32(image, 8), c.size) << c.file;
        EXPECT_EQ(u16(image, 4 + 14), 1u) << c.file << ": two colours and a mask";
        // the hot spot is on the outline: black, opaque (AND 0, XOR 0)
        const std::size_t stride = ((c.size + 31) / 32) * 4;
        const std::size_t xorAt = 4 + 40 + 8, andAt = xorAt + stride * c.size;
        const std::size_t row = static_cast<std::size_t>(c.size - 1 - c.hotY) * stride;
        const int bit = 7 - c.hotX % 8;
        EXPECT_EQ((image.at(andAt + row + c.hotX / 8) >> bit) & 1, 0) << c.file << ": opaque";
        EXPECT_EQ((image.at(xorAt + row + c.hotX / 8) >> bit) & 1, 0) << c.file << ": black";
    }
}

// ---------------------------------------------------------------------------------------------
// Sounds

struct Chunk {
    std::string id;
    std::size_t at, size;
};

std::vector<Chunk> chunks(const Bytes& b) {
    std::vector<Chunk> out;
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return out;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::size_t size = u32(b, at + 4);
        out.push_back({std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4),
                       at + 8, size});
        at += 8 + size + (size & 1);
    }
    return out;
}

const Chunk* find(const std::vector<Chunk>& cs, const char* id) {
    for (const Chunk& c : cs)
        if (c.id == id) return &c;
    return nullptr;
}

struct PcmCase {
    const char* file;
    std::size_t samples;
};

class PcmSounds : public ::testing::TestWithParam<PcmCase> {};

// A sound file's bytes and its chunks, once it is known to be a RIFF WAVE of the right size
// with a format and a data chunk.
struct Wave {
    Bytes bytes;
    std::vector<Chunk> chunks;
    const Chunk* fmt = nullptr;
    const Chunk* data = nullptr;
};

::testing::AssertionResult readWave(const char* file, Wave& wave) {
    wave.bytes = readFile(file);
    wave.chunks = chunks(wave.bytes);
    if (wave.chunks.empty()) return ::testing::AssertionFailure() << file << " is no RIFF WAVE";
    if (u32(wave.bytes, 4) != wave.bytes.size() - 8)
        return ::testing::AssertionFailure() << file << ": the RIFF size is not the file's";
    wave.fmt = find(wave.chunks, "fmt ");
    wave.data = find(wave.chunks, "data");
    if (!wave.fmt || !wave.data) return ::testing::AssertionFailure() << file << ": no fmt or data chunk";
    return ::testing::AssertionSuccess();
}

TEST_P(PcmSounds, AreSixteenBitMonoAt22050WithTheExactSampleCount) {
    const PcmCase c = GetParam();
    Wave wave;
    ASSERT_TRUE(readWave(c.file, wave));
    const Bytes& b = wave.bytes;
    const Chunk* fmt = wave.fmt;
    const Chunk* data = wave.data;
    EXPECT_EQ(u16(b, fmt->at), 1u) << "PCM";
    EXPECT_EQ(u16(b, fmt->at + 2), 1u) << "mono";
    EXPECT_EQ(u32(b, fmt->at + 4), 22050u);
    EXPECT_EQ(u32(b, fmt->at + 8), 44100u);
    EXPECT_EQ(u16(b, fmt->at + 12), 2u);
    EXPECT_EQ(u16(b, fmt->at + 14), 16u);
    EXPECT_EQ(data->size, 2 * c.samples);
    // a cue starts at once and dies away before its end, so no click when it stops
    int peak = 0, early = 0;
    for (std::size_t i = 0; i < c.samples; ++i) {
        const int v = std::abs(s16(b, data->at + 2 * i));
        peak = std::max(peak, v);
        if (i < 2205) early = std::max(early, v);
        if (i + 200 >= c.samples) {
            EXPECT_LT(v, 200) << "sample " << i;
        }
    }
    EXPECT_GT(peak, 20000);
    EXPECT_LT(peak, 32767) << "no clipping";
    EXPECT_GT(early, peak / 2) << "the hit is in the first 0.1 s";
}

INSTANTIATE_TEST_SUITE_P(Resources, PcmSounds,
                         ::testing::Values(PcmCase{"floor.wav", 15424}, PcmCase{"wall.wav", 12312},
                                           PcmCase{"rim.wav", 14272}));

class AdpcmSounds : public ::testing::TestWithParam<PcmCase> {};

TEST_P(AdpcmSounds, AreMicrosoftAdpcmIn512ByteBlocksWithAFactChunk) {
    const PcmCase c = GetParam();
    Wave wave;
    ASSERT_TRUE(readWave(c.file, wave));
    const Chunk* fact = find(wave.chunks, "fact");
    ASSERT_NE(fact, nullptr);
    const Bytes& b = wave.bytes;
    const Chunk* fmt = wave.fmt;
    const Chunk* data = wave.data;
    ASSERT_EQ(fmt->size, 50u) << "WAVEFORMATEX with 32 bytes of ADPCM details";
    EXPECT_EQ(u16(b, fmt->at), 2u) << "Microsoft ADPCM";
    EXPECT_EQ(u16(b, fmt->at + 2), 1u) << "mono";
    EXPECT_EQ(u32(b, fmt->at + 4), 22050u);
    EXPECT_EQ(u16(b, fmt->at + 12), 512u) << "block size";
    EXPECT_EQ(u16(b, fmt->at + 14), 4u) << "bits per sample";
    EXPECT_EQ(u16(b, fmt->at + 16), 32u);
    EXPECT_EQ(u16(b, fmt->at + 18), 1012u) << "samples per block";
    ASSERT_EQ(u16(b, fmt->at + 20), 7u);
    const int coefficients[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(s16(b, fmt->at + 22 + 4 * i), coefficients[i][0]) << "pair " << i;
        EXPECT_EQ(s16(b, fmt->at + 24 + 4 * i), coefficients[i][1]) << "pair " << i;
    }
    EXPECT_EQ(u32(b, fact->at), c.samples) << "fact: samples";
    const std::size_t blocks = (c.samples + 1011) / 1012;
    EXPECT_EQ(data->size, blocks * 512);
    EXPECT_EQ(u32(b, fmt->at + 8), (22050u * 512u + 506u) / 1012u) << "average bytes per second";
    for (std::size_t k = 0; k < blocks && data->at + 512 * k < b.size(); ++k) {
        const std::size_t at = data->at + 512 * k;
        EXPECT_LT(b[at], 7u) << "block " << k << " names one of the seven pairs";
        EXPECT_GE(s16(b, at + 1), 16) << "block " << k << " delta";
    }
}

INSTANTIATE_TEST_SUITE_P(Resources, AdpcmSounds,
                         ::testing::Values(PcmCase{"cheer.wav", 70049}, PcmCase{"big_cheer.wav", 72064}));

}  // namespace
