// The scoped GDI holders: what they hold is selected while held, and nothing is left once
// they let go, on the failure paths as well.
#include <windows.h>

#include <gtest/gtest.h>

#include "win/gdi.h"

namespace {

HBITMAP newBitmap() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST(MemoryBitmap, HoldsTheBitmapSelectedAndReleasesBitmapAndDcOnce) {
    HBITMAP bitmap = newBitmap();
    ASSERT_NE(bitmap, nullptr);
    MemoryBitmap held;
    ASSERT_TRUE(held.hold(nullptr, bitmap));
    const HDC dc = held.dc;
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);

    held.release();
    EXPECT_EQ(held.dc, nullptr);
    EXPECT_EQ(held.bitmap, nullptr);
    EXPECT_EQ(held.previous, nullptr);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u);
    held.release();  // a second release finds nothing to do
}

TEST(MemoryBitmap, ANullBitmapHoldsNothingAndANewHoldLetsTheOldGo) {
    MemoryBitmap held;
    EXPECT_FALSE(held.hold(nullptr, nullptr));
    EXPECT_EQ(held.dc, nullptr);

    HBITMAP first = newBitmap();
    HBITMAP second = newBitmap();
    ASSERT_TRUE(held.hold(nullptr, first));
    const HDC firstDc = held.dc;
    ASSERT_TRUE(held.hold(nullptr, second));
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetObjectType(firstDc), 0u);
    EXPECT_EQ(GetCurrentObject(held.dc, OBJ_BITMAP), second);
}

TEST(BitmapSelection, SelectsForItsLifeAndLeavesTheBitmapToItsOwner) {
    HBITMAP bitmap = newBitmap();
    HDC dc = nullptr;
    {
        const BitmapSelection selection(nullptr, bitmap);
        ASSERT_NE(selection.dc, nullptr);
        dc = selection.dc;
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    // Put back into no DC: it can be selected again elsewhere.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(other, bitmap), nullptr);
    DeleteDC(other);
    DeleteObject(bitmap);
}

TEST(ShapeWindow, TheWindowKeepsASetRegionAndARefusedOneIsDeleted) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HRGN kept = CreateEllipticRgn(0, 0, 40, 40);
    ASSERT_TRUE(shapeWindow(window, kept));
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(window, copy), ERROR);
    DeleteObject(copy);
    DestroyWindow(window);

    HRGN refused = CreateRectRgn(0, 0, 10, 10);
    EXPECT_FALSE(shapeWindow(nullptr, refused));
    EXPECT_EQ(GetObjectType(refused), 0u);
    EXPECT_FALSE(shapeWindow(window, nullptr));
}

}  // namespace
