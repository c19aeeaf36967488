#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "win/sprite_window.h"
#include "win32/slot_recorder.h"
#include "win32/test_strip.h"
#include "win32/window_test_support.h"

namespace {

using RecordedSprite = RecordingSprite<SpriteWindow>;

constexpr int w = testStripWidth;
constexpr int h = testStripFrameHeight;

// A sprite window whose onCreate loads nothing until the test asks, to paint it unloaded.
class LateSprite : public SpriteWindow {
public:
    using SpriteWindow::SpriteWindow;
    bool onCreate() override { return loadNow ? SpriteWindow::onCreate() : true; }
    bool loadNow = false;
};

// Repaints the window at once, through the real WM_PAINT path.
void repaint(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

// The colours that frame `frame` leaves in the window's top row, middle and bottom row.
struct Shown {
    COLORREF top, body, bottom;
    bool operator==(const Shown& o) const {
        return top == o.top && body == o.body && bottom == o.bottom;
    }
};

std::ostream& operator<<(std::ostream& out, const Shown& shown) {
    char text[64];
    std::snprintf(text, sizeof text, "{%06lx %06lx %06lx}", static_cast<unsigned long>(shown.top),
                  static_cast<unsigned long>(shown.body), static_cast<unsigned long>(shown.bottom));
    return out << text;
}

Shown shownIn(HWND hwnd) {
    return {pixelAt(hwnd, 0, 0), pixelAt(hwnd, w / 2, h / 2), pixelAt(hwnd, w - 1, h - 1)};
}

Shown frame(int k) { return {testStripTop(k), testStripBody(k), testStripBottom(k)}; }
Shown filled(COLORREF colour) { return {colour, colour, colour}; }

const COLORREF sentinel = RGB(1, 2, 3);

// Sprite windows are owned windows: without an owner they would get a caption, which would
// eat their client area. The owner is hidden, as a stand-in for the set's host window.
class Sprite : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(host.create(instance));
    }
    void TearDown() override {
        DestroyWindow(host.hwnd);
        WindowTest::TearDown();
    }

    Window host{uniqueClassName("fw-host"), 0, 0, 0u, nullptr, false, true};
};

TEST_F(Sprite, ConstructionKeepsAtLeastOneFrameAndLoadsNothing) {
    SpriteWindow none("fw-sprite-ctor", w, h, 0, IDB_TEST_STRIP, 0, nullptr, false);
    SpriteWindow negative("fw-sprite-ctor", w, h, 0, IDB_TEST_STRIP, -3, nullptr, true);
    SpriteWindow seven("fw-sprite-ctor", w, h, 0, IDB_TEST_STRIP, 7, nullptr, false);
    EXPECT_EQ(1, none.frameCount);
    EXPECT_EQ(1, negative.frameCount);
    EXPECT_EQ(7, seven.frameCount);
    EXPECT_TRUE(negative.transparent);
    EXPECT_FALSE(seven.hidden);
    EXPECT_EQ(0, seven.currentFrame);
    EXPECT_EQ(nullptr, seven.strip.dc);
    EXPECT_EQ(nullptr, seven.strip.bitmap);
    EXPECT_EQ(nullptr, seven.strip.previous);
}

TEST_F(Sprite, EachFrameIsPaintedFromItsOwnRowsOfTheStrip) {
    SlotLog log;
    RecordedSprite sprite(log, uniqueClassName("fw-sprite"), w, h, 0u, IDB_TEST_STRIP,
                          testStripFrames, &host, false);
    ASSERT_TRUE(sprite.create(instance));
    ASSERT_NE(nullptr, sprite.strip.dc);
    EXPECT_EQ(frame(0), shownIn(sprite.hwnd));

    for (int k = 0; k < testStripFrames; ++k) {
        fillClient(sprite.hwnd, sentinel);
        sprite.moveTo(200 + 10 * k, 150, k);
        UpdateWindow(sprite.hwnd);
        EXPECT_EQ(k, sprite.currentFrame);
        EXPECT_EQ(frame(k), shownIn(sprite.hwnd)) << "frame " << k;
        RECT rect;
        GetWindowRect(sprite.hwnd, &rect);
        EXPECT_EQ(200 + 10 * k, rect.left);
        EXPECT_EQ(150, rect.top);
        EXPECT_EQ(w, rect.right - rect.left);
        EXPECT_EQ(h, rect.bottom - rect.top);
    }
}

TEST_F(Sprite, MoveToTakesTheFrameModuloTheCount) {
    SlotLog log;
    RecordedSprite seven(log, uniqueClassName("fw-seven"), w, h, 0u, IDB_TEST_STRIP, 7, &host,
                         false);
    RecordedSprite single(log, uniqueClassName("fw-single"), w, h, 0u, IDB_TEST_STRIP, 0,
                          &host, false);
    ASSERT_TRUE(seven.create(instance));
    ASSERT_TRUE(single.create(instance));

    struct Case { SpriteWindow& sprite; int asked; int shown; };
    const Case cases[] = {{seven, 7, 0}, {seven, 9, 2}, {seven, 6, 6}, {seven, -1, 6},
                          {single, 0, 0}, {single, 1, 0}, {single, 5, 0}};
    for (const Case& c : cases) {
        fillClient(c.sprite.hwnd, sentinel);
        c.sprite.moveTo(300, 300, c.asked);
        UpdateWindow(c.sprite.hwnd);
        EXPECT_EQ(c.shown, c.sprite.currentFrame) << "frame " << c.asked;
        EXPECT_EQ(frame(c.shown), shownIn(c.sprite.hwnd)) << "frame " << c.asked;
    }
}

// Moves without resizing, reordering or activating, and without keeping the old pixels;
// repaints even when the position does not change.
TEST_F(Sprite, MoveToMovesQuietlyAndInvalidates) {
    SlotLog log;
    RecordedSprite sprite(log, uniqueClassName("fw-move"), w, h, 0u, IDB_TEST_STRIP, 7, &host,
                          false);
    ASSERT_TRUE(sprite.create(instance));
    sprite.moveTo(400, 410, 0);
    pumpMessages();
    ASSERT_FALSE(GetUpdateRect(sprite.hwnd, nullptr, FALSE));

    MessageSpy spy;
    sprite.moveTo(400, 410, 3);

    const auto changing = spy.to(sprite.hwnd, WM_WINDOWPOSCHANGING);
    ASSERT_FALSE(changing.empty());
    const UINT quiet = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
    EXPECT_EQ(0x0115u, quiet);
    EXPECT_EQ(quiet, changing.front().position.flags & quiet);
    EXPECT_EQ(400, changing.front().position.x);
    EXPECT_EQ(410, changing.front().position.y);
    EXPECT_TRUE(GetUpdateRect(sprite.hwnd, nullptr, FALSE));
    log.clear();
    pumpMessages();
    EXPECT_TRUE(sameCalls({slotCall("onPaint")}, log.without("onActivateApp")));
    EXPECT_EQ(frame(3), shownIn(sprite.hwnd));
}

TEST_F(Sprite, PaintingBeforeLoadingOrAfterReleasingDrawsNothing) {
    SlotLog log;
    Recording<LateSprite> sprite(log, uniqueClassName("fw-late"), w, h, 0u, IDB_TEST_STRIP, 7,
                                 &host, false);
    ASSERT_TRUE(sprite.create(instance));
    ASSERT_EQ(nullptr, sprite.strip.dc);
    sprite.moveTo(500, 100, 2);

    fillClient(sprite.hwnd, sentinel);
    repaint(sprite.hwnd);
    EXPECT_EQ(filled(sentinel), shownIn(sprite.hwnd));
    EXPECT_FALSE(GetUpdateRect(sprite.hwnd, nullptr, FALSE)) << "the paint was not taken";

    sprite.loadNow = true;
    ASSERT_TRUE(sprite.onCreate());
    repaint(sprite.hwnd);
    EXPECT_EQ(frame(2), shownIn(sprite.hwnd));

    const HDC memoryDC = sprite.strip.dc;
    const HBITMAP strip = sprite.strip.bitmap;
    sprite.releaseStrip();
    EXPECT_EQ(nullptr, sprite.strip.dc);
    EXPECT_EQ(nullptr, sprite.strip.bitmap);
    EXPECT_EQ(nullptr, sprite.strip.previous);
    EXPECT_EQ(0u, GetObjectType(memoryDC));
    EXPECT_EQ(0u, GetObjectType(strip));
    sprite.releaseStrip();
    EXPECT_EQ(nullptr, sprite.strip.dc);

    fillClient(sprite.hwnd, sentinel);
    repaint(sprite.hwnd);
    EXPECT_EQ(filled(sentinel), shownIn(sprite.hwnd));
    EXPECT_FALSE(GetUpdateRect(sprite.hwnd, nullptr, FALSE));

    // onDestroy releases once more, harmlessly, and still ends the loop.
    log.clear();
    DestroyWindow(sprite.hwnd);
    EXPECT_TRUE(sameCalls({slotCall("onDestroy")}, log.without("onActivateApp")));
    EXPECT_TRUE(takeQuit());
}

TEST_F(Sprite, DestroyReleasesTheStripAndEndsTheLoop) {
    SlotLog log;
    RecordedSprite sprite(log, uniqueClassName("fw-destroy"), w, h, 0u, IDB_TEST_STRIP, 7,
                          &host, false);
    ASSERT_TRUE(sprite.create(instance));
    const HDC memoryDC = sprite.strip.dc;
    const HBITMAP strip = sprite.strip.bitmap;
    ASSERT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(memoryDC));
    ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(strip));
    EXPECT_EQ(strip, GetCurrentObject(memoryDC, OBJ_BITMAP));

    SendMessageA(sprite.hwnd, WM_CLOSE, 0, 0);

    EXPECT_FALSE(IsWindow(sprite.hwnd));
    EXPECT_EQ(nullptr, sprite.strip.dc);
    EXPECT_EQ(0u, GetObjectType(memoryDC));
    EXPECT_EQ(0u, GetObjectType(strip));
    int exitCode = -1;
    EXPECT_TRUE(takeQuit(&exitCode));
    EXPECT_EQ(0, exitCode);
}

TEST_F(Sprite, AMissingBitmapFailsCreateAndLeavesNothingLoaded) {
    std::string how;
    const long before = gdiObjectCount(&how);
    const char* name = uniqueClassName("fw-missing");
    {
        SlotLog log;
        RecordedSprite sprite(log, name, w, h, 0u, 949u, 7, &host, false);
        EXPECT_FALSE(sprite.create(instance));
        EXPECT_FALSE(IsWindow(sprite.hwnd));
        EXPECT_EQ(nullptr, sprite.strip.dc);
        EXPECT_EQ(nullptr, sprite.strip.bitmap);
        EXPECT_TRUE(sameCalls({slotCall("onCreate"), slotCall("onDestroy")},
                              log.without("onActivateApp")));
        EXPECT_TRUE(takeQuit());
    }
    // The class keeps a small copy of the program's icon until it is unregistered.
    UnregisterClassA(name, instance);
    ASSERT_GE(before, 0) << how;
    EXPECT_EQ(before, gdiObjectCount()) << "counted with " << how;
}

// A sprite window with a picture for the scale it was made at and no other.
class OneScaleSprite : public SpriteWindow {
public:
    using SpriteWindow::SpriteWindow;
    HBITMAP pictureAt(unsigned at) override {
        if (only == 0) only = at;
        return at == only ? SpriteWindow::pictureAt(at) : nullptr;
    }
    unsigned only = 0;
};

TEST_F(Sprite, AScaleWithNoPictureKeepsTheOldPictureSizeAndScale) {
    OneScaleSprite sprite(uniqueClassName("fw-onescale"), w, h, 0u, IDB_TEST_STRIP, 7, &host, false);
    ASSERT_TRUE(sprite.create(instance));
    const unsigned made = sprite.dpi;
    const HBITMAP before = sprite.strip.bitmap;
    sprite.moveTo(500, 100, 3);
    EXPECT_FALSE(sprite.setDpi(made * 2));
    EXPECT_TRUE(sprite.dpi == made && sprite.width == w && sprite.height == h && sprite.strip.bitmap == before);
    repaint(sprite.hwnd);
    EXPECT_EQ(frame(3), shownIn(sprite.hwnd)) << "not a blank window";
    DestroyWindow(sprite.hwnd);
    EXPECT_TRUE(takeQuit());
}

// Every GDI object a sprite window makes is given back: create, move, paint and destroy it
// again and again and the process holds as many objects as before. The count is exact, so a
// few cycles show an object lost per cycle, or per second cycle.
TEST_F(Sprite, CreateDestroyCyclesLeakNoGdiObject) {
    const int cycles = 10;
    const char* name = uniqueClassName("fw-cycle");
    auto cycle = [&](int i) {
        SpriteWindow sprite(name, w, h, 0u, IDB_TEST_STRIP, 7, &host, false);
        if (!sprite.create(instance)) return false;
        sprite.moveTo(600, 200, i);
        UpdateWindow(sprite.hwnd);
        DestroyWindow(sprite.hwnd);
        takeQuit();
        return UnregisterClassA(name, instance) != FALSE;
    };
    ASSERT_TRUE(cycle(0));  // the first one may fill system caches
    std::string how;
    const long before = gdiObjectCount(&how);
    ASSERT_GE(before, 0) << how;

    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= cycles; ++i) ASSERT_TRUE(cycle(i)) << "cycle " << i;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    EXPECT_EQ(before, gdiObjectCount()) << "counted with " << how;
    std::printf("%d sprite window cycles in %.2f s; %ld GDI objects before and after (%s)\n",
                cycles, seconds, before, how.c_str());
}

}  // namespace
