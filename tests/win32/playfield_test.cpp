// The windows of the set, built in this process as start-up builds them, and driven by the
// messages a user's actions bring.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "platform/pictures.h"
#include "platform/soft_edges.h"
#include "platform/sound_cues.h"
#include "res/resource_ids.h"
#include "sim/game_state.h"
#include "win32/window_test_support.h"
#include "windows/backboard_window.h"
#include "windows/ball_window.h"
#include "windows/host_window.h"
#include "windows/net_window.h"
#include "windows/scoreboard_window.h"
#include "windows/set_layout.h"
#include "windows/set_scale.h"
#include "win/dpi.h"
#include "win/layered.h"
#include "windows/window_regions.h"

namespace {

bool sameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

RECT rectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

#define EXPECT_AT(window, l, t, r, b) EXPECT_PRED2(sameRect, rectOf(window), (RECT{l, t, r, b}))

class Playfield : public ::testing::Test {
protected:
    void SetUp() override {
        instance = GetModuleHandleA(nullptr);
        gameState = GameState{};
        ASSERT_TRUE(host.create(instance));
        ASSERT_TRUE(backboard.create(instance));
        ASSERT_TRUE(scoreboard.create(instance));
        ASSERT_TRUE(ball.create(instance));
        ASSERT_TRUE(net.create(instance));
        pumpMessages();
    }

    void TearDown() override {
        if (IsWindow(host.hwnd)) DestroyWindow(host.hwnd);
        pumpMessages();
        takeQuit();
        // Each test builds the set afresh: the classes go with it.
        using namespace set_layout;
        for (const char* name : {netClass, ballClass, scoreboardClass, backboardClass, hostClass})
            UnregisterClassA(name, instance);
        if (!isSoundEnabled()) toggleSound();
    }

    // The scoreboard's digit cells show digits `tens` and `units` of the digit strip.
    bool scoreboardShows(int tens, int units) {
        SendMessageA(scoreboard.hwnd, wmShowScore, 0, 0);
        UpdateWindow(scoreboard.hwnd);
        HDC digits = CreateCompatibleDC(nullptr);
        auto strip = static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(IDB_DIGITS), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        HGDIOBJ previous = SelectObject(digits, strip);
        using namespace set_layout;
        const int shown[2] = {tens, units};
        bool same = true;
        for (int i = 0; i < 2; ++i)
            for (int y = 0; y < digitCell.height && same; ++y)
                for (int x = 0; x < digitCell.width && same; ++x)
                    same = shownAt(scoreboard, digitCellX[i] + x, digitCellY + y,
                                   GetPixel(digits, x, digitCell.height * shown[i] + y)) ==
                           GetPixel(digits, x, digitCell.height * shown[i] + y);
        SelectObject(digits, previous);
        DeleteObject(strip);
        DeleteDC(digits);
        return same;
    }

    // The window's pixel at (x, y) as it shows: from its DC, or for a layered window from the
    // screen once it is `want` (Wine hands the picture to the X server, which the screen's DC
    // reads back), else as it is after a bound.
public:
    static COLORREF shownAtFor(const Window& w, int x, int y, COLORREF want) { return shownAt(w, x, y, want); }

protected:
    static COLORREF shownAt(const Window& w, int x, int y, COLORREF want) {
        if (!w.layered) return pixelAt(w.hwnd, x, y);
        RECT r{};
        GetWindowRect(w.hwnd, &r);
        HDC screen = GetDC(nullptr);
        COLORREF got = GetPixel(screen, r.left + x, r.top + y);
        for (int i = 0; i < 400 && got != want; ++i) {
            Sleep(5);  // the interval of polling the screen's state
            got = GetPixel(screen, r.left + x, r.top + y);
        }
        ReleaseDC(nullptr, screen);
        return got;
    }

    HINSTANCE instance = nullptr;
    PictureCodecs codecs;  // as the program holds them, outliving the set
    HostWindow host{set_layout::startX, set_layout::startY};
    BackboardWindow backboard{&host};
    ScoreboardWindow scoreboard{&backboard};
    BallWindow ball{&scoreboard};
    NetWindow net{&ball};
};

TEST_F(Playfield, EachWindowStandsInItsStartPlaceWithItsShape) {
    EXPECT_AT(host.hwnd, 100, 150, 100, 150);
    EXPECT_AT(backboard.hwnd, 100, 150, 287, 284);
    EXPECT_AT(scoreboard.hwnd, 100, 99, 287, 141);
    EXPECT_AT(ball.hwnd, 0, 0, 50, 50);
    EXPECT_AT(net.hwnd, 150, 252, 233, 328);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(net.hwnd, region), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(region, 40, 4));    // rim band
    EXPECT_FALSE(PtInRegion(region, 42, 16));  // inside the second opening of the first row
    EXPECT_FALSE(PtInRegion(region, 35, 45));  // inside an opening of the fourth row
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_LE(box.bottom, 70) << "rows 70 to 75 of the net are see-through";

    ASSERT_NE(GetWindowRgn(ball.hwnd, region), ERROR);
    EXPECT_TRUE(PtInRegion(region, 25, 25));
    EXPECT_FALSE(PtInRegion(region, 2, 2));
    EXPECT_FALSE(PtInRegion(region, 47, 47));

    ASSERT_NE(GetWindowRgn(backboard.hwnd, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 10, 20));  // the rounded upper-left corner
    EXPECT_TRUE(PtInRegion(region, 93, 30));
    ASSERT_NE(GetWindowRgn(scoreboard.hwnd, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 1, 1));
    DeleteObject(region);
}

TEST_F(Playfield, TheScoreboardShowsTheLastTwoDigitsOfTheScore) {
    struct Case {
        int score, tens, units;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{8, 0, 8}, Case{47, 4, 7}, Case{99, 9, 9},
                          Case{100, 0, 0}, Case{136, 3, 6}}) {
        gameState.score = c.score;
        EXPECT_TRUE(scoreboardShows(c.tens, c.units)) << "score " << c.score;
    }
}

TEST_F(Playfield, TheScoreboardTakesEveryPaintWhateverPictureIsMissing) {
    // Each step leaves less to draw with; an update region left behind would bring WM_PAINT
    // back for as long as the window lives.
    struct Case {
        const char* missing;
        std::function<void()> lose;
    };
    const Case cases[] = {
        {"nothing", [] {}},
        {"the buffer and the digits", [&] { scoreboard.releaseBuffers(); }},
        {"the board's picture too", [&] { scoreboard.releaseStrip(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        c.lose();
        InvalidateRect(scoreboard.hwnd, nullptr, FALSE);
        UpdateWindow(scoreboard.hwnd);
        RECT left{};
        EXPECT_FALSE(GetUpdateRect(scoreboard.hwnd, &left, FALSE));
        EXPECT_TRUE(IsRectEmpty(&left));
    }
}

TEST_F(Playfield, DraggingTheBackboardMovesHostNetAndScoreboardButNotTheBall) {
    SendMessageA(backboard.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
    EXPECT_AT(backboard.hwnd, 100, 150, 287, 284) << "no drag without a press";

    SendMessageA(backboard.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    EXPECT_EQ(GetCapture(), backboard.hwnd);
    SendMessageA(backboard.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 28));
    EXPECT_EQ(backboard.boardX, 105);
    EXPECT_EQ(backboard.boardY, 148);
    EXPECT_AT(host.hwnd, 105, 148, 105, 148);
    EXPECT_AT(backboard.hwnd, 105, 148, 292, 282);
    EXPECT_AT(net.hwnd, 155, 250, 238, 326);
    EXPECT_AT(scoreboard.hwnd, 105, 97, 292, 139);
    EXPECT_AT(ball.hwnd, 0, 0, 50, 50);
    // It lands where the button comes up, past the last move.
    SendMessageA(backboard.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(22, 33));
    EXPECT_AT(backboard.hwnd, 107, 151, 294, 285);
    EXPECT_AT(net.hwnd, 157, 253, 240, 329);
    EXPECT_AT(scoreboard.hwnd, 107, 100, 294, 142);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(backboard.dragging);

    // With the net gone (the set being torn down) a move or a release changes nothing.
    SendMessageA(backboard.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    DestroyWindow(net.hwnd);
    SendMessageA(backboard.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 40));
    EXPECT_EQ(backboard.boardX, 107);
    SendMessageA(backboard.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
    EXPECT_AT(backboard.hwnd, 107, 151, 294, 285);
}

TEST_F(Playfield, LosingTheCaptureEndsTheDragAsLettingGoWould) {
    // Taken by the system (Alt+Tab, a system dialog cancel the mode), or by another window.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    struct Case {
        const char* how;
        std::function<void()> takeCapture;
        HWND captureAfter;
    };
    const Case cases[] = {
        {"WM_CANCELMODE", [&] { SendMessageA(backboard.hwnd, WM_CANCELMODE, 0, 0); }, nullptr},
        {"another window's SetCapture", [&] { SetCapture(other); }, other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        SendMessageA(backboard.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
        ASSERT_TRUE(backboard.dragging);
        c.takeCapture();
        EXPECT_FALSE(backboard.dragging);
        EXPECT_EQ(GetCapture(), c.captureAfter);
        // The button comes up elsewhere; the cursor passing over the board moves nothing.
        SendMessageA(backboard.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(90, 90));
        EXPECT_AT(backboard.hwnd, 100, 150, 287, 284);
        ReleaseCapture();
    }
    DestroyWindow(other);
}

TEST_F(Playfield, MenuCommandsToggleSoundResetTheScoreAndExit) {
    ASSERT_TRUE(isSoundEnabled());
    EXPECT_EQ(GetMenuState(backboard.popupMenu, IDM_SOUND, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    SendMessageA(backboard.hwnd, WM_COMMAND, IDM_SOUND, 0);
    EXPECT_FALSE(isSoundEnabled());
    EXPECT_EQ(GetMenuState(backboard.popupMenu, IDM_SOUND, MF_BYCOMMAND) & MF_CHECKED, 0u);
    SendMessageA(backboard.hwnd, WM_COMMAND, IDM_SOUND, 0);
    EXPECT_TRUE(isSoundEnabled());
    EXPECT_EQ(GetMenuState(backboard.popupMenu, IDM_SOUND, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));

    gameState.score = 36;
    gameState.shotLive = true;
    EXPECT_TRUE(scoreboardShows(3, 6));
    EXPECT_EQ(SendMessageA(backboard.hwnd, WM_COMMAND, IDM_RESET_SCORE, 0), 1);
    EXPECT_EQ(gameState.score, 0);
    EXPECT_TRUE(gameState.shotLive) << "Reset score leaves the shot alone";
    EXPECT_TRUE(scoreboardShows(0, 0));

    EXPECT_EQ(SendMessageA(backboard.hwnd, WM_COMMAND, IDM_EXIT, 0), 1);
    for (HWND w : {host.hwnd, backboard.hwnd, scoreboard.hwnd, ball.hwnd, net.hwnd})
        EXPECT_FALSE(IsWindow(w));
    int code = -1;
    EXPECT_TRUE(takeQuit(&code));
    EXPECT_EQ(code, 0);
}

TEST_F(Playfield, EscInAnyWindowDestroysTheWholeSet) {
    // Each window climbs its own number of steps to the host; try them from the far end.
    for (Window* w : std::initializer_list<Window*>{&net, &ball, &scoreboard, &backboard, &host}) {
        SendMessageA(w->hwnd, WM_KEYDOWN, 'A', 0);
        EXPECT_TRUE(IsWindow(host.hwnd)) << w->className << ": only Esc closes";
    }
    SendMessageA(net.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    for (HWND w : {host.hwnd, backboard.hwnd, scoreboard.hwnd, ball.hwnd, net.hwnd})
        EXPECT_FALSE(IsWindow(w));
}

TEST_F(Playfield, TheHostGraysMoveInItsSystemMenuAtEveryOpening) {
    HMENU system = GetSystemMenu(host.hwnd, FALSE);
    ASSERT_NE(system, nullptr);
    for (int opening = 0; opening < 2; ++opening) {
        EnableMenuItem(system, SC_MOVE, MF_BYCOMMAND | MF_ENABLED);
        SendMessageA(host.hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), 0);
        EXPECT_TRUE(GetMenuState(system, SC_MOVE, MF_BYCOMMAND) & MF_GRAYED);
        EnableMenuItem(system, SC_MOVE, MF_BYCOMMAND | MF_ENABLED);
        SendMessageA(host.hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(system), 0);
        EXPECT_TRUE(GetMenuState(system, SC_MOVE, MF_BYCOMMAND) & MF_GRAYED);
    }
}

TEST_F(Playfield, TheBallIsTheSimulationsViewOfTheDesktop) {
    BallDesktop& desktop = ball;
    const ScreenRect board = desktop.backboardRect();
    EXPECT_EQ(board.left, 100);
    EXPECT_EQ(board.top, 150);
    EXPECT_EQ(board.right, 287);
    EXPECT_EQ(board.bottom, 284);

    desktop.moveTo(300, 200, 9);
    EXPECT_AT(ball.hwnd, 300, 200, 350, 250);
    EXPECT_EQ(ball.currentFrame, 2);

    // A press grabs and captures, centring the ball on the cursor; the release lets go.
    ball.ball.moveAndSpin({300.0, 200.0});
    SendMessageA(ball.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 25));
    EXPECT_TRUE(ball.ball.grabbed);
    EXPECT_EQ(GetCapture(), ball.hwnd);
    SendMessageA(ball.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(35, 20));
    EXPECT_AT(ball.hwnd, 310, 195, 360, 245);
    SendMessageA(ball.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(25, 25));
    EXPECT_FALSE(ball.ball.grabbed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(gameState.shotLive);

    // Capture taken away from a held ball lets it go where the cursor is: a throw toward the
    // cursor, 100 px left of the ball, not a drop where the ball was last dragged.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    const std::function<void()> takers[] = {
        [&] { SendMessageA(ball.hwnd, WM_CANCELMODE, 0, 0); },
        [&] { SetCapture(other); },
    };
    for (const auto& takeCapture : takers) {
        gameState.shotLive = false;
        ball.ball.moveAndSpin({300.0, 200.0});
        SendMessageA(ball.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 25));
        SendMessageA(ball.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(35, 20));
        SetCursorPos(310 + 25 - 100, 195 + 25);
        Sleep(20);  // paces the test's own input: the release measures a speed since the last drag
        takeCapture();
        EXPECT_FALSE(ball.ball.grabbed);
        EXPECT_TRUE(gameState.shotLive);
        EXPECT_LT(ball.ball.velocity.x, 0.0);
        EXPECT_NE(GetCapture(), ball.hwnd);
        SendMessageA(ball.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 5));
        EXPECT_AT(ball.hwnd, 310, 195, 360, 245) << "a free cursor drags nothing";
    }
    EXPECT_EQ(GetCapture(), other) << "the ball's release leaves another window's capture alone";
    ReleaseCapture();
    DestroyWindow(other);

    // The right button on the ball does nothing.
    SendMessageA(ball.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(25, 25));
    SendMessageA(ball.hwnd, WM_RBUTTONUP, 0, MAKELPARAM(25, 25));
    EXPECT_FALSE(ball.ball.grabbed);
    EXPECT_TRUE(IsWindow(ball.hwnd));
}

// The set at the scale of the display the tests run on (scripts/check-scale runs them at 120,
// 144 and 192 as well): sizes and places worked out by hand from the 100 % ones.
struct ScaledSet {
    unsigned dpi;
    RECT board, scoreboard, net;
    int ball;
    int cursorLow, cursorHigh;  // the cursor's width: the system's size at that scale, or at
                                // 125 % the image nearest it (Wine picks one, Windows stretches)
};
const ScaledSet scaledSets[] = {
    {96, {100, 150, 287, 284}, {100, 99, 287, 141}, {150, 252, 233, 328}, 50, 32, 32},
    {120, {125, 188, 359, 356}, {125, 124, 359, 177}, {188, 316, 292, 411}, 63, 32, 48},
    {144, {150, 225, 431, 426}, {150, 148, 431, 211}, {225, 378, 350, 492}, 75, 48, 48},
    {192, {200, 300, 574, 568}, {200, 198, 574, 282}, {300, 504, 466, 656}, 100, 64, 64},
};

const ScaledSet* setFor(unsigned dpi) {
    for (const ScaledSet& s : scaledSets)
        if (s.dpi == dpi) return &s;
    return nullptr;
}

// The region holds a point of the 100 % shape, scaled, as the table has it.
bool regionHolds(HWND window, int x100, int y100, unsigned dpi) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool in = GetWindowRgn(window, region) != ERROR &&
                    PtInRegion(region, set_scale::scaled(x100, dpi), set_scale::scaled(y100, dpi));
    DeleteObject(region);
    return in;
}

int cursorWidth(HCURSOR cursor) {
    ICONINFO icon{};
    if (!GetIconInfo(cursor, &icon)) return 0;
    BITMAP mask{};
    GetObjectA(icon.hbmMask, sizeof mask, &mask);
    DeleteObject(icon.hbmMask);
    if (icon.hbmColor) DeleteObject(icon.hbmColor);
    return mask.bmWidth;
}

TEST_F(Playfield, EveryWindowHasTheSizePlaceAndShapeOfItsScale) {
    const unsigned dpi = systemDpi();
    // scripts/check-scale names the scale it set: a setting that did not take is a failure.
    if (const char* expected = std::getenv("BASKETBALL_EXPECT_DPI")) {
        ASSERT_EQ(dpi, std::strtoul(expected, nullptr, 10));
    }
    const ScaledSet* s = setFor(dpi);
    ASSERT_NE(s, nullptr) << "no figures for " << dpi << " DPI";
    EXPECT_AT(backboard.hwnd, s->board.left, s->board.top, s->board.right, s->board.bottom);
    EXPECT_AT(scoreboard.hwnd, s->scoreboard.left, s->scoreboard.top, s->scoreboard.right, s->scoreboard.bottom);
    EXPECT_AT(net.hwnd, s->net.left, s->net.top, s->net.right, s->net.bottom);
    EXPECT_AT(ball.hwnd, 0, 0, s->ball, s->ball);
    EXPECT_AT(host.hwnd, s->board.left, s->board.top, s->board.left, s->board.top);
    for (Window* w : std::initializer_list<Window*>{&host, &backboard, &scoreboard, &ball, &net})
        EXPECT_EQ(w->dpi, dpi) << w->className;

    // The hand over the ball and the board at the cursor size of the scale.
    for (HWND w : {ball.hwnd, backboard.hwnd}) {
        const int width = cursorWidth(reinterpret_cast<HCURSOR>(GetClassLongPtrA(w, GCLP_HCURSOR)));
        EXPECT_GE(width, s->cursorLow);
        EXPECT_LE(width, s->cursorHigh);
    }

    // The same points in and out of each shape as at 100 %, scaled.
    EXPECT_TRUE(regionHolds(net.hwnd, 40, 4, dpi)) << "rim band";
    EXPECT_FALSE(regionHolds(net.hwnd, 42, 16, dpi)) << "an opening of the first row";
    EXPECT_FALSE(regionHolds(backboard.hwnd, 10, 20, dpi)) << "the rounded corner";
    EXPECT_TRUE(regionHolds(backboard.hwnd, 93, 30, dpi));
    EXPECT_TRUE(regionHolds(ball.hwnd, 25, 25, dpi));
    EXPECT_FALSE(regionHolds(ball.hwnd, 2, 2, dpi));

    // The board's drag moves the others by the scaled offsets.
    SendMessageA(backboard.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    SendMessageA(backboard.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 28));
    SendMessageA(backboard.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(25, 28));
    EXPECT_EQ(rectOf(net.hwnd).left - rectOf(backboard.hwnd).left, s->net.left - s->board.left);
    EXPECT_EQ(rectOf(scoreboard.hwnd).top - rectOf(backboard.hwnd).top, s->scoreboard.top - s->board.top);
}

TEST_F(Playfield, ASetToldOfANewScaleRedrawsAtItKeepingTheBoardsCornerAndTheBallsCentre) {
    const unsigned from = backboard.dpi;
    ball.ball.moveAndSpin({300.0, 200.0});
    const RECT ballBefore = rectOf(ball.hwnd);
    const POINT ballCentre{(ballBefore.left + ballBefore.right) / 2, (ballBefore.top + ballBefore.bottom) / 2};
    for (unsigned to : {120u, 144u, 192u, 96u}) {
        if (to == from) continue;
        SCOPED_TRACE(testing::Message() << from << " to " << to << " DPI");
        const ScaledSet* s = setFor(to);
        const RECT board = rectOf(backboard.hwnd);
        LARGE_INTEGER start{}, end{}, frequency{};
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        // Each window as the system tells it, with the rectangle it suggests: the same corner
        // at the new size. The order is the system's to choose; the board comes last here, so
        // that the others are placed before it and again by it.
        for (Window* w : std::initializer_list<Window*>{&net, &ball, &scoreboard, &backboard}) {
            RECT r = rectOf(w->hwnd);
            RECT suggested{r.left, r.top, r.left + set_scale::scaled(w->baseWidth, to),
                           r.top + set_scale::scaled(w->baseHeight, to)};
            SendMessageA(w->hwnd, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
        }
        for (HWND w : {backboard.hwnd, scoreboard.hwnd, ball.hwnd, net.hwnd}) UpdateWindow(w);
        QueryPerformanceCounter(&end);
        std::printf("[ scale    ] the set redrawn from %u to %u DPI in %.1f ms\n", from, to,
                    1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));

        const int boardW = s->board.right - s->board.left, boardH = s->board.bottom - s->board.top;
        EXPECT_AT(backboard.hwnd, board.left, board.top, board.left + boardW, board.top + boardH);
        const int dx = board.left - s->board.left, dy = board.top - s->board.top;
        EXPECT_AT(net.hwnd, s->net.left + dx, s->net.top + dy, s->net.right + dx, s->net.bottom + dy);
        EXPECT_AT(scoreboard.hwnd, s->scoreboard.left + dx, s->scoreboard.top + dy, s->scoreboard.right + dx,
                  s->scoreboard.bottom + dy);
        const RECT b = rectOf(ball.hwnd);
        EXPECT_EQ(b.right - b.left, s->ball);
        EXPECT_NEAR((b.left + b.right) / 2, ballCentre.x, 1);
        EXPECT_NEAR((b.top + b.bottom) / 2, ballCentre.y, 1);
        EXPECT_TRUE(regionHolds(backboard.hwnd, 93, 30, to));
        EXPECT_FALSE(regionHolds(backboard.hwnd, 10, 20, to));
        EXPECT_FALSE(regionHolds(net.hwnd, 42, 16, to));
        EXPECT_FALSE(regionHolds(ball.hwnd, 2, 2, to));

        // The score at the new scale: the board shows the digits' cells where they now are.
        gameState.score = 7;
        InvalidateRect(scoreboard.hwnd, nullptr, FALSE);
        UpdateWindow(scoreboard.hwnd);
        BITMAP strip{};
        ASSERT_TRUE(GetObjectA(scoreboard.strip.bitmap, sizeof strip, &strip));
        EXPECT_EQ(strip.bmWidth, boardW) << "the picture is drawn for the new scale";
    }
}

// The system sends WM_DPICHANGED from inside the SetWindowPos that carries a window onto a
// monitor of another scale. Here a hook sends it from inside the ball's own moves.
HWND dpiChangeTarget = nullptr;
unsigned dpiChangeTo = 0;
int dpiChangesSent = 0;

LRESULT CALLBACK sendDpiChangeFromInsideTheMove(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == dpiChangeTarget && message->message == WM_WINDOWPOSCHANGED &&
        dpiChangeTo != 0) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(message->lParam);
        RECT suggested{pos->x, pos->y, pos->x + set_scale::scaled(50, dpiChangeTo),
                       pos->y + set_scale::scaled(50, dpiChangeTo)};
        const unsigned to = dpiChangeTo;
        dpiChangeTo = 0;  // once, as the system does
        ++dpiChangesSent;
        SendMessageA(message->hwnd, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Playfield, AScaleChangeFromInsideTheBallsOwnMoveLeavesTheMoveAsTheBallMadeIt) {
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, sendDpiChangeFromInsideTheMove, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    dpiChangeTarget = ball.hwnd;
    const unsigned own = ball.dpi;
    const int size = set_scale::scaled(50, own);
    for (Vector2 to : {Vector2{300.0, 200.0}, Vector2{310.0, 190.0}}) {
        dpiChangeTo = own == 192 ? 96 : 192;
        ball.ball.moveAndSpin(to);
        const RECT r = rectOf(ball.hwnd);
        EXPECT_EQ(r.right - r.left, size) << "the ball keeps the scale of the monitor it looked up";
        EXPECT_EQ(ball.dpi, own);
        EXPECT_EQ(ball.ball.position.x, to.x) << "the rules' position is the move's own";
        EXPECT_EQ(ball.ball.position.y, to.y);
        EXPECT_EQ(r.left, set_scale::scaled(static_cast<int>(to.x), own));
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(dpiChangesSent, 2);
}

}  // namespace

// Windows gives each top-level window the DPI of the area that holds most of it and tells it
// from inside the move that carried it across, suggesting its new size with the same share of it
// on each side of the line. Here a line splits the desktop into two such areas.
struct Line {
    bool vertical;  // x = at, else y = at
    int at;
    unsigned first, second;  // the DPI left of or above it, right of or below it
} line;
std::map<HWND, unsigned> given;  // each window's DPI as the system sees it
std::map<HWND, int> changes;     // sent in the current move; a loop is cut at 4

LRESULT CALLBACK actAsWindowsAtTheLine(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_WINDOWPOSCHANGED && given.count(m->hwnd) && changes[m->hwnd] < 4) {
        const RECT r = rectOf(m->hwnd);
        const int low = line.vertical ? r.left : r.top, size = line.vertical ? r.right - r.left : r.bottom - r.top;
        const int before = std::clamp(line.at - low, 0, size), after = size - before;
        const unsigned from = given[m->hwnd], to = before > after ? line.first : after > before ? line.second : from;
        if (to != from) {
            given[m->hwnd] = to;
            ++changes[m->hwnd];
            const int w = MulDiv(r.right - r.left, to, from), h = MulDiv(r.bottom - r.top, to, from);
            const int kept = line.at - MulDiv(line.at - low, to, from);
            const RECT s = line.vertical ? RECT{kept, r.top, kept + w, r.top + h} : RECT{r.left, kept, r.left + w, kept + h};
            SendMessageA(m->hwnd, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&s));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Playfield, DraggedAcrossTheLineBetweenTwoScalesTheSetTakesTheBoardsScaleOnly) {
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, actAsWindowsAtTheLine, nullptr, GetCurrentThreadId());
    using set_scale::scaled;
    for (const Line& l : {Line{false, 400, 96, 144}, Line{false, 400, 144, 96}, Line{true, 500, 96, 144},
                          Line{true, 500, 144, 96}}) {
        SCOPED_TRACE(testing::Message() << (l.vertical ? "x = " : "y = ") << l.at << ", " << l.first << " | " << l.second);
        line = l;
        given = {{backboard.hwnd, backboard.dpi}, {net.hwnd, net.dpi}, {scoreboard.hwnd, scoreboard.dpi}};
        POINT cursor{rectOf(backboard.hwnd).left + 30, rectOf(backboard.hwnd).top + 40};
        SendMessageA(backboard.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 40));
        int crossings = 0;
        // From well past the line on one side to well past it on the other and back, 7 px a move.
        for (int target : {l.at + 250, l.at - 500, l.at + 250}) {
            for (int moves = 0; moves < 400 && !HasFailure(); ++moves) {
                RECT b = rectOf(backboard.hwnd);
                const int now = l.vertical ? b.left : b.top;
                if (now == target) break;
                (l.vertical ? cursor.x : cursor.y) += std::clamp(target - now, -7, 7);
                changes.clear();
                SendMessageA(backboard.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(cursor.x - b.left, cursor.y - b.top));
                b = rectOf(backboard.hwnd);
                const unsigned dpi = backboard.dpi;
                EXPECT_EQ(dpi, given[backboard.hwnd]) << "board at " << b.left << ", " << b.top;
                EXPECT_EQ(net.dpi, dpi);
                EXPECT_EQ(scoreboard.dpi, dpi);
                const int nx = b.left + scaled(set_layout::netOffsetX, dpi), ny = b.top + scaled(set_layout::netOffsetY, dpi);
                EXPECT_AT(net.hwnd, nx, ny, nx + scaled(set_layout::net.width, dpi), ny + scaled(set_layout::net.height, dpi));
                const int sy = b.top + scaled(set_layout::scoreboardOffsetY, dpi);
                EXPECT_AT(scoreboard.hwnd, b.left, sy, b.right, sy + scaled(set_layout::scoreboard.height, dpi));
                for (const auto& [window, count] : changes) {
                    EXPECT_LE(count, 1) << "changes in one move";
                    crossings += count;
                }
            }
        }
        SendMessageA(backboard.hwnd, WM_LBUTTONUP, 0, 0);
        EXPECT_TRUE(HasFailure() || crossings >= 3) << "the sweep crossed the line";
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(Playfield, AMonitorGoneOrAWorkAreaChangedBringsTheSetBackTogetherOnAMonitor) {
    MONITORINFO primary{sizeof primary, {}, {}, 0};
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
    const RECT work = primary.rcWork;
    // The set's own offsets, as it starts.
    const RECT board = rectOf(backboard.hwnd);
    const int h = backboard.height, dx = rectOf(net.hwnd).left - board.left, dy = rectOf(net.hwnd).top - board.top;
    const int sy = rectOf(scoreboard.hwnd).top - board.top;
    // Where the system left the board alone, the message, where the set must stand.
    const std::tuple<POINT, UINT, WPARAM, POINT> cases[] = {
        {{-900, 2400}, WM_DISPLAYCHANGE, 32, {work.left, work.bottom - h}},
        {{300, primary.rcMonitor.bottom - h / 2}, WM_SETTINGCHANGE, SPI_SETWORKAREA, {300, work.bottom - h}},
        {{300, 200}, WM_DISPLAYCHANGE, 32, {300, 200}}};
    for (const auto& [movedTo, message, wParam, at] : cases) {
        SetWindowPos(backboard.hwnd, nullptr, movedTo.x, movedTo.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (HWND window : {host.hwnd, backboard.hwnd, scoreboard.hwnd, ball.hwnd, net.hwnd})
            SendMessageA(window, message, wParam, 0);
        EXPECT_AT(backboard.hwnd, at.x, at.y, at.x + backboard.width, at.y + h) << "moved to " << movedTo.y;
        EXPECT_AT(host.hwnd, at.x, at.y, at.x, at.y);
        EXPECT_AT(net.hwnd, at.x + dx, at.y + dy, at.x + dx + net.width, at.y + dy + net.height);
        EXPECT_AT(scoreboard.hwnd, at.x, at.y + sy, at.x + scoreboard.width, at.y + sy + scoreboard.height);
        EXPECT_EQ(ball.scaledDesktop.dpi(), 0u) << "the ball's monitor is looked up afresh";
    }
}

TEST_F(Playfield, TheHandIsLoadedForTheScaleOfTheWindowItIsOverAndPenGesturesAreOff) {
    // A shared load of another size first: on Windows a later shared load of the hand, at any
    // size, hands back this one. The program's hand never comes from that cache.
    const HCURSOR shared = static_cast<HCURSOR>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDC_GRAB_HAND), IMAGE_CURSOR, 64, 64, LR_SHARED));
    ASSERT_NE(shared, nullptr);
    const HCURSOR sharedStandard = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_GRAB_HAND));
    const auto fromCache = [&](HCURSOR c) { return c != nullptr && c != shared && c != sharedStandard; };

    // 96: the system's own cursor size here; 144 and 192: sizes other than the system's.
    for (unsigned dpi : {96u, 144u, 192u, 144u}) {
        backboard.scaleSizeTo(dpi);
        SendMessageA(backboard.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(backboard.hwnd), MAKELPARAM(HTCLIENT, 0));
        const HCURSOR shown = GetCursor();
        EXPECT_EQ(cursorWidth(shown), cursorSizeForDpi(dpi)) << dpi << " DPI";
        EXPECT_TRUE(fromCache(shown)) << dpi << " DPI: a shared cursor";
        EXPECT_EQ(shown, cursorForDpi(instance, IDC_GRAB_HAND, dpi)) << dpi << " DPI: loaded again";
    }
    // Sizes no scale of this desk asks for, as after the primary's scale changed since sign-in.
    for (int size : {48, 64, 32}) {
        const HCURSOR hand = cursorOfSize(instance, IDC_GRAB_HAND, size);
        EXPECT_EQ(cursorWidth(hand), size);
        EXPECT_TRUE(fromCache(hand)) << size;
    }
    // The class cursor is the cached hand of the primary's scale.
    for (HWND w : {ball.hwnd, backboard.hwnd}) {
        const auto classCursor = reinterpret_cast<HCURSOR>(GetClassLongPtrA(w, GCLP_HCURSOR));
        EXPECT_EQ(classCursor, cursorForDpi(instance, IDC_GRAB_HAND, systemDpi()));
        EXPECT_TRUE(fromCache(classCursor));
    }
    // A finger or pen held still presses at once, and a quick stroke is a throw, not a flick.
    for (HWND window : {host.hwnd, backboard.hwnd, scoreboard.hwnd, ball.hwnd, net.hwnd})
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetPropA(window, "MicrosoftTabletPenServiceProperty")), 0x00010001u);
}

namespace {

// The set as a desktop that blends shows it: each window layered, with soft edges.
class LayeredPlayfield : public Playfield {
protected:
    static void SetUpTestSuite() { soft_edges::override_ = 1; }
    static void TearDownTestSuite() { soft_edges::override_ = -1; }
};

// The same where the system refuses every layered picture.
BOOL WINAPI refuse(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD) { return FALSE; }

class RefusedLayeredPlayfield : public Playfield {
protected:
    static void SetUpTestSuite() {
        soft_edges::override_ = 1;
        layered::updateOverride = refuse;
    }
    static void TearDownTestSuite() {
        soft_edges::override_ = -1;
        layered::updateOverride = nullptr;
    }
};

// Each window of the set: a point of its picture that shows and one where clicks go beneath,
// at 100 % (none on the scoreboard: its outline covers part of every corner pixel).
struct ShownWindow {
    const char* name;
    Window* window;
    unsigned bitmapId;
    HRGN (*todaysShape)(unsigned dpi);
    POINT in, out;
};

std::vector<ShownWindow> shownWindows(BackboardWindow& backboard, ScoreboardWindow& scoreboard, BallWindow& ball,
                                      NetWindow& net) {
    return {
        {"backboard", &backboard, IDB_BACKBOARD, [](unsigned d) { return createBackboardRegion(d); }, {93, 30}, {10, 20}},
        {"scoreboard", &scoreboard, IDB_SCOREBOARD, [](unsigned d) { return createScoreboardRegion(d); }, {20, 20}, {-1, -1}},
        {"ball", &ball, IDB_BALL,
         [](unsigned d) { return createRoundRegion(set_scale::scaled(50, d), set_scale::scaled(50, d)); }, {25, 25}, {2, 2}},
        {"net", &net, IDB_NET, [](unsigned d) { return createNetRegion(d); }, {40, 4}, {42, 16}},
    };
}

// The set's windows shaped as today and showing their pictures (the ball its first frame); a
// click outside a shape reaches what lies beneath.
void expectShownAsToday(const std::vector<ShownWindow>& windows, bool layered, HINSTANCE instance) {
    for (const ShownWindow& w : windows) {
        SCOPED_TRACE(w.name);
        HWND hwnd = w.window->hwnd;
        const unsigned dpi = w.window->dpi;
        EXPECT_EQ((GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0, layered);
        EXPECT_EQ(w.window->layered, layered);
        EXPECT_TRUE(IsWindowVisible(hwnd));
        HRGN shape = CreateRectRgn(0, 0, 0, 0), today = w.todaysShape(dpi);
        ASSERT_NE(GetWindowRgn(hwnd, shape), ERROR);
        HBITMAP picture = loadPicture(instance, w.bitmapId, dpi);
        DIBSECTION dib{};
        ASSERT_EQ(GetObjectA(picture, sizeof dib, &dib), static_cast<int>(sizeof dib));
        const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);  // top-down; the ball's first frame on top
        // Pixel for pixel (regions of the same pixels may be banded apart): layered, the region
        // is the picture's pixels with alpha above 0, today's shape and the ring its outline
        // partly covers; plain, today's shape.
        int differ = 0, lost = 0;
        for (int y = 0; y < w.window->height; ++y)
            for (int x = 0; x < w.window->width; ++x) {
                const bool inShape = PtInRegion(shape, x, y), inToday = PtInRegion(today, x, y);
                differ += inShape != (layered ? (bits[y * dib.dsBm.bmWidth + x] >> 24) != 0 : inToday);
                lost += inToday && !inShape;
            }
        EXPECT_EQ(differ, 0) << (layered ? "the region is the picture's pixels with alpha above 0" : "today's shape");
        // At other scales the master, drawn once, and the shape's rounded corners may part by a pixel.
        EXPECT_TRUE(dpi != 96 || lost == 0) << lost << " pixels of today's shape left out";
        DeleteObject(shape);
        DeleteObject(today);

        const POINT in{set_scale::scaled(w.in.x, dpi), set_scale::scaled(w.in.y, dpi)};
        const POINT out{set_scale::scaled(w.out.x, dpi), set_scale::scaled(w.out.y, dpi)};
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, picture);
        const COLORREF want = GetPixel(dc, in.x, in.y);
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(picture);
        UpdateWindow(hwnd);
        EXPECT_EQ(Playfield::shownAtFor(*w.window, in.x, in.y, want), want) << "never blank nor black";

        RECT r = rectOf(hwnd);
        EXPECT_EQ(WindowFromPoint(POINT{r.left + in.x, r.top + in.y}), hwnd);
        if (w.out.x >= 0) {
            EXPECT_NE(WindowFromPoint(POINT{r.left + out.x, r.top + out.y}), hwnd);
        }
    }
}

// The board told of a new scale as the system tells it, and the ball moved onto it.
void tellScale(BackboardWindow& backboard, BallWindow& ball, unsigned to) {
    RECT r = rectOf(backboard.hwnd);
    RECT suggested{r.left, r.top, r.left + set_scale::scaled(backboard.baseWidth, to),
                   r.top + set_scale::scaled(backboard.baseHeight, to)};
    SendMessageA(backboard.hwnd, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    ball.place(0, 0, 0, to);
}

// Frames, scores and scales over and over: the objects the set holds at rest stay the same.
void expectObjectsKeptAtRest(BackboardWindow& backboard, BallWindow& ball) {
    std::string how;
    long before = -1;
    for (int round = 0; round < 2; ++round) {
        if (round == 1) before = gdiObjectCount(&how);  // the first round meets what the system makes once
        for (int frame = 0; frame < 2 * set_layout::ballFrames; ++frame) ball.showBall(10 + frame, 20, frame, 0);
        for (int score = 0; score < 3; ++score) {
            gameState.score = score;
            ball.repaintScoreboard();
        }
        for (unsigned to : {144u, 96u}) tellScale(backboard, ball, to);
        pumpMessages();
    }
    EXPECT_EQ(gdiObjectCount(), before) << "counted by " << how;
}

}  // namespace

TEST_F(LayeredPlayfield, EachWindowIsLayeredShownInItsPlaceWithTodaysShape) {
    const ScaledSet* s = setFor(systemDpi());
    ASSERT_NE(s, nullptr);
    EXPECT_AT(backboard.hwnd, s->board.left, s->board.top, s->board.right, s->board.bottom);
    EXPECT_AT(scoreboard.hwnd, s->scoreboard.left, s->scoreboard.top, s->scoreboard.right, s->scoreboard.bottom);
    EXPECT_AT(net.hwnd, s->net.left, s->net.top, s->net.right, s->net.bottom);
    EXPECT_AT(ball.hwnd, 0, 0, s->ball, s->ball);
    expectShownAsToday(shownWindows(backboard, scoreboard, ball, net), true, instance);
    for (const int score : {0, 47, 136}) {
        gameState.score = score;
        EXPECT_TRUE(scoreboardShows(score / 10 % 10, score % 10)) << "score " << score;
    }
    // At another scale each window has that scale's size, shape and picture, the net and the
    // scoreboard their places beside the board.
    for (const unsigned to : {144u, systemDpi()}) {
        SCOPED_TRACE(to);
        tellScale(backboard, ball, to);
        const ScaledSet* at = setFor(to);
        ASSERT_NE(at, nullptr);
        const RECT board = rectOf(backboard.hwnd);
        const int dx = board.left - at->board.left, dy = board.top - at->board.top;
        EXPECT_AT(backboard.hwnd, board.left, board.top, at->board.right + dx, at->board.bottom + dy);
        EXPECT_AT(net.hwnd, at->net.left + dx, at->net.top + dy, at->net.right + dx, at->net.bottom + dy);
        EXPECT_AT(scoreboard.hwnd, at->scoreboard.left + dx, at->scoreboard.top + dy, at->scoreboard.right + dx,
                  at->scoreboard.bottom + dy);
        EXPECT_AT(ball.hwnd, 0, 0, at->ball, at->ball);
        expectShownAsToday(shownWindows(backboard, scoreboard, ball, net), true, instance);
    }
    expectObjectsKeptAtRest(backboard, ball);
    for (const Window* w : std::initializer_list<const Window*>{&backboard, &scoreboard, &ball, &net})
        EXPECT_TRUE(w->layered) << w->className;
}

TEST_F(RefusedLayeredPlayfield, EachWindowRefusedALayeredPictureGoesOnAsToday) {
    expectShownAsToday(shownWindows(backboard, scoreboard, ball, net), false, instance);
    gameState.score = 47;
    EXPECT_TRUE(scoreboardShows(4, 7));
    expectObjectsKeptAtRest(backboard, ball);
}

// Refused only later, in the middle of the set's life: the window turns plain where it stands.
TEST_F(LayeredPlayfield, AWindowRefusedLaterGoesOnAsToday) {
    layered::updateOverride = refuse;
    ball.showBall(0, 0, 3, 0);
    gameState.score = 8;
    EXPECT_TRUE(scoreboardShows(0, 8));
    layered::updateOverride = nullptr;
    ball.showBall(0, 0, 0, 0);
    auto all = shownWindows(backboard, scoreboard, ball, net);
    expectShownAsToday({all[1], all[2]}, false, instance);
    expectShownAsToday({all[0], all[3]}, true, instance);
    std::string how;
    const long before = gdiObjectCount(&how);
    ball.showBall(5, 5, 4, 0);
    EXPECT_EQ(gdiObjectCount(), before) << "counted by " << how;
}
