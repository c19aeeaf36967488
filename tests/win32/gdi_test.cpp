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

TEST(DrawBitmap, CopiesThePictureAndLeavesTheBitmapFreeForItsOwner) {
    HBITMAP picture = newBitmap();
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ sourcePrevious = SelectObject(source, picture);
    SetPixel(source, 3, 4, RGB(255, 0, 0));
    SelectObject(source, sourcePrevious);
    DeleteDC(source);

    MemoryBitmap target;
    ASSERT_TRUE(target.hold(nullptr, newBitmap()));
    ASSERT_TRUE(drawBitmap(target.dc, picture, 8, 8));
    EXPECT_EQ(GetPixel(target.dc, 3, 4), RGB(255, 0, 0));
    // Selected in no DC any more: it can be selected again, then deleted by its owner.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(other, picture), nullptr);
    DeleteDC(other);
    EXPECT_NE(DeleteObject(picture), 0);
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
