// The pictures at every display scale, as the windows get them from loadPicture. Each result
// is also written to results/pictures/, where tests/win32/check_pictures.py compares it with
// the art tools' own drawing at that scale (scripts/check runs it after this program).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/pictures.h"
#include "res/resource_ids.h"
#include "win32/window_test_support.h"

namespace {

struct PictureSize {
    unsigned id;
    const char* name;
    int width, height, frames;  // a frame's size at 100 %
    LANGID language;            // of the user who gets this picture; any, for those without words
};

constexpr LANGID anyone = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
constexpr LANGID russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
constexpr LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

const PictureSize pictures[] = {
    {IDB_BALL, "ball", 50, 50, 7, anyone},
    {IDB_BACKBOARD, "backboard", 187, 134, 1, anyone},
    {IDB_NET, "net", 83, 76, 1, anyone},
    {IDB_SCOREBOARD, "scoreboard", 187, 42, 1, russian},
    {IDB_SCOREBOARD, "scoreboard_en", 187, 42, 1, english},
    {IDB_DIGITS, "digits", 14, 15, 10, anyone},
    {IDB_ABOUT, "about", 400, 300, 1, russian},
    {IDB_ABOUT, "about_en", 400, 300, 1, english},
};

// The bitmap as a 24-bit bottom-up BMP file; false when its pixels cannot be read.
bool writeBmp(HBITMAP bitmap, int width, int height, const std::string& path) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> bits(static_cast<std::size_t>(stride) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bits.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    const bool ok = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                    std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                    std::fwrite(bits.data(), bits.size(), 1, out) == 1;
    return std::fclose(out) == 0 && ok;
}

TEST(Pictures, EveryScaleGivesEachFrameItsScaledSizeAndKeepsNoObject) {
    CreateDirectoryA("results", nullptr);
    CreateDirectoryA("results\\pictures", nullptr);
    // The second round counts objects: the first one meets what the system makes once (the
    // screen's DC, the decoder's own), not held by us.
    std::string how;
    long before = -1;
    for (int round = 0; round < 2; ++round) {
        if (round == 1) before = gdiObjectCount(&how);
        for (unsigned dpi : {96u, 120u, 144u, 192u}) {
            for (const PictureSize& p : pictures) {
                const std::string what = std::string(p.name) + " at " + std::to_string(dpi);
                HBITMAP bitmap = nullptr;
                {
                    ThreadLanguage as(p.language == anyone ? GetUserDefaultUILanguage() : p.language);
                    bitmap = loadPicture(GetModuleHandleA(nullptr), p.id, dpi);
                }
                ASSERT_NE(bitmap, nullptr) << what;
                BITMAP info{};
                GetObjectA(bitmap, sizeof info, &info);
                const int width = MulDiv(p.width, static_cast<int>(dpi), 96);
                const int height = MulDiv(p.height, static_cast<int>(dpi), 96) * p.frames;
                EXPECT_EQ(info.bmWidth, width) << what;
                EXPECT_EQ(info.bmHeight, height) << what;
                DIBSECTION dib{};
                ASSERT_EQ(GetObjectA(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib)) << what << ": a DIB section";
                EXPECT_EQ(dib.dsBm.bmBitsPixel, 32) << what;
                // Top-down: the first row in memory is the picture's top row.
                HDC dc = CreateCompatibleDC(nullptr);
                HGDIOBJ previous = SelectObject(dc, bitmap);
                int topRowSame = 0;
                for (int x = 0; x < width; ++x) {
                    const COLORREF c = GetPixel(dc, x, 0);
                    const std::uint32_t bgr = static_cast<const std::uint32_t*>(dib.dsBm.bmBits)[x] & 0xffffffu;
                    topRowSame += bgr == (static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c));
                }
                SelectObject(dc, previous);
                DeleteDC(dc);
                EXPECT_EQ(topRowSame, width) << what << ": top-down";
                const std::string path = "results\\pictures\\" + std::string(p.name) + "-" +
                                         std::to_string(dpi) + ".bmp";
                if (round == 0) {
                    EXPECT_TRUE(writeBmp(bitmap, width, height, path)) << what;
                }
                EXPECT_TRUE(DeleteObject(bitmap)) << what;
            }
        }
    }
    if (before >= 0) {
        EXPECT_EQ(gdiObjectCount(), before) << "counted by " << how;
    }
}

TEST(Pictures, NoPictureForWhatHasNone) {
    const struct {
        const char* what;
        unsigned id, dpi;
    } cases[] = {
        {"a number that is no picture", IDD_ABOUT, 144},
        {"a picture at no DPI", IDB_BALL, 0},
        {"a DPI beyond any display", IDB_BALL, 96 * 100},
    };
    for (const auto& c : cases) {
        HBITMAP bitmap = loadPicture(GetModuleHandleA(nullptr), c.id, c.dpi);
        EXPECT_EQ(bitmap, nullptr) << c.what;
        if (bitmap != nullptr) DeleteObject(bitmap);
    }
}

}  // namespace
