// End-to-end tests: the real program on a real (virtual) desktop, played with the mouse and
// keyboard and read back from its windows and the screen. Every wait has a deadline.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "desktop_robot.h"
#include "play.h"
#include "windows/set_layout.h"

namespace {

using namespace play;
using set_layout::startX;
using set_layout::startY;

// The About screen's place on a 1024 x 768 screen.
constexpr RECT aboutOnScreen{312, 234, 712, 534};

#define EXPECT_RECT(actual, l, t, r, b) \
    EXPECT_PRED2(sameRect, actual, (RECT{l, t, r, b})) << describe(actual)

::testing::AssertionResult startSet(Program& program, SetWindows& set) {
    std::string error;
    if (play::startSet(program, set, error)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

::testing::AssertionResult waitForRest(HWND ball) {
    if (play::waitForRest(ball)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the ball did not come to rest: " << describe(windowRect(ball));
}

// Grabs the ball where it is and drags it through `points` (cursor positions), pausing
// between moves so that each becomes a drag sample; the caller releases.
void grabAndDrag(HWND ball, const std::vector<POINT>& points) {
    const POINT c = centreOf(windowRect(ball));
    mouseTo(c.x, c.y);
    leftDown();
    for (const POINT& p : points) mouseTo(p.x, p.y);
}

// Throws the ball straight up by a quick upward flick of `pixels`.
void throwUp(HWND ball, int pixels) {
    const POINT c = centreOf(windowRect(ball));
    grabAndDrag(ball, {{c.x, c.y - pixels / 2}, {c.x, c.y - pixels}});
    leftUp();
}

bool scoreIs(const SetWindows& set, int tens, int units) { return readScore(set) == tens * 10 + units; }

// --- the popup menu -----------------------------------------------------------------------

// Opens the backboard's menu with a right click at client point (x, y) of the backboard.
HWND openMenuAt(const Program& program, const SetWindows& set, int x, int y) {
    // The menu last closed may linger a moment.
    if (!waitUntil([&] { return findPopupMenu(program.pid) == nullptr; }, windowTimeoutMs)) return nullptr;
    const RECT board = windowRect(set.backboard);
    rightClick(board.left + x, board.top + y);
    HWND menu = nullptr;
    waitUntil([&] { return (menu = findPopupMenu(program.pid)) != nullptr; }, windowTimeoutMs);
    return menu;
}

// Dark pixels in the check-mark column of item `index`.
int checkMarkPixels(HWND menu, int index) {
    const RECT r = windowRect(menu);
    const int itemHeight = (r.bottom - r.top) / 4;
    const int top = r.top + itemHeight * index;
    const int width = GetSystemMetrics(SM_CXMENUCHECK);
    int dark = 0;
    for (DWORD pixel : readScreen({r.left + 2, top + 2, r.left + 2 + width, top + itemHeight - 2})) {
        const int sum = int(pixel & 0xFF) + int((pixel >> 8) & 0xFF) + int((pixel >> 16) & 0xFF);
        if (sum < 3 * 96) ++dark;
    }
    return dark;
}

::testing::AssertionResult endsWithCodeZero(const Program& program) {
    DWORD code = 1;
    if (!program.waitExit(windowTimeoutMs, code))
        return ::testing::AssertionFailure() << "the program did not end";
    if (code != 0) return ::testing::AssertionFailure() << "exit code " << code;
    return ::testing::AssertionSuccess();
}

// Pixels of `shown` (w x h) that differ from `picture` (pw wide) where `counts` says so.
template <class Counts>
int mismatches(const std::vector<DWORD>& shown, int w, int h, const std::vector<DWORD>& picture, int pw, Counts counts) {
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const DWORD want = picture[static_cast<size_t>(y) * pw + x];
            if (counts(x, y, want) && shown[static_cast<size_t>(y) * w + x] != want) ++wrong;
        }
    return wrong;
}

// The About screen draws picture 107 from the origin of its client area (a band of it is read).
bool aboutShowsItsPicture(HWND about) {
    POINT origin{0, 0};
    ClientToScreen(about, &origin);
    int width = 0;
    const std::vector<DWORD> picture = readProgramBitmap(107, 100, 40, width);
    if (width != 400 || picture.size() != 400u * 40u) return false;
    const std::vector<DWORD> shown = readScreen({origin.x, origin.y + 100, origin.x + 390, origin.y + 140});
    return shown.size() == 390u * 40u && mismatches(shown, 390, 40, picture, 400, [](int, int, DWORD) { return true; }) == 0;
}

// --- the user's language -------------------------------------------------------------------

constexpr LANGID russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
constexpr LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The robot's own copy of a popup menu, shown where the program showed its own and read
// from the screen while it is up; the timer that reads it also closes it.
struct PopupShot {
    std::vector<DWORD> pixels;
    RECT rect{};
    int ticks = 0;
};
PopupShot* shot = nullptr;

void CALLBACK readOwnPopup(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = findPopupMenu(GetCurrentProcessId());
    if (++shot->ticks == 8 && popup) {
        shot->rect = windowRect(popup);
        shot->pixels = readScreen(shot->rect);
    }
    if (shot->ticks >= 8) EndMenu();
}

PopupShot showOwnPopup(HMENU menu, POINT at) {
    PopupShot taken;
    shot = &taken;
    HWND owner = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(owner);
    const UINT_PTR timer = SetTimer(owner, 1, 50, readOwnPopup);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
                   owner, nullptr);
    KillTimer(owner, timer);
    DestroyWindow(owner);
    shot = nullptr;
    return taken;
}

// Run once per locale by make check, with LANG set for the robot and the program it starts
// and the language the program must speak in BASKETBALL_EXPECT_LANGUAGE (hexadecimal).
TEST(Language, AboutScreenScoreboardAndMenuInTheUsersLanguage) {
    const char* expected = std::getenv("BASKETBALL_EXPECT_LANGUAGE");
    if (!expected) GTEST_SKIP() << "BASKETBALL_EXPECT_LANGUAGE is not set";
    const auto language = static_cast<LANGID>(std::strtoul(expected, nullptr, 16));
    std::printf("LANG=%s: user interface language %04x, expecting %04x\n", std::getenv("LANG") ? std::getenv("LANG") : "",
                GetUserDefaultUILanguage(), language);

    Program program;
    parkMouse();
    ASSERT_TRUE(program.start());
    HWND about = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (about = findAboutScreen(program.pid)) != nullptr; }, firstWindowTimeoutMs));

    // The About screen shows the language's picture whole, pixel for pixel.
    int width = 0, height = 0;
    const std::vector<DWORD> aboutPicture = readProgramBitmapIn(107, language, width, height);
    ASSERT_TRUE(width == 400 && height == 300) << width << " x " << height;
    POINT origin{0, 0};
    ClientToScreen(about, &origin);
    const RECT client{origin.x, origin.y, origin.x + 398, origin.y + 298};
    auto everywhere = [](int, int, DWORD) { return true; };
    int wrong = -1;
    waitUntil([&] { return (wrong = mismatches(readScreen(client), 398, 298, aboutPicture, 400, everywhere)) == 0; },
              windowTimeoutMs);
    EXPECT_EQ(wrong, 0) << "pixels of the About screen unlike picture 107 in " << expected;

    // The scoreboard: its picture of the language, left of the score panel.
    ASSERT_TRUE(closeAboutScreen(program.pid));
    SetWindows set;
    ASSERT_TRUE(waitUntil([&] { return findSet(program.pid, set); }, windowTimeoutMs));
    ASSERT_TRUE(play::waitForRest(set.ball));
    const std::vector<DWORD> scoreboardPicture = readProgramBitmapIn(117, language, width, height);
    ASSERT_TRUE(width == 187 && height == 42) << width << " x " << height;
    auto leftOfThePanel = [](int x, int, DWORD want) { return x < 140 && want != 0; };
    waitUntil([&] {
        return (wrong = mismatches(readScreen(windowRect(set.scoreboard)), 187, 42, scoreboardPicture, 187,
                                   leftOfThePanel)) == 0;
    }, windowTimeoutMs);
    EXPECT_EQ(wrong, 0) << "pixels of the scoreboard unlike picture 117 in " << expected;

    // The menu as the program shows it, once it shows one of the language's menu as the robot
    // shows it at the same place, neither with an item under the mouse; and not the other.
    HWND menu = nullptr;
    ASSERT_NE(menu = openMenu(program, set), nullptr);
    const RECT menuRect = windowRect(menu);
    ASSERT_TRUE(closeMenu(program));
    // Off the menus: one that opens under the mouse may light the item there.
    mouseTo(1000, 10);
    std::vector<DWORD> wanted, other;
    for (LANGID each : {russian, english}) {
        HMENU own = loadProgramMenuIn(115, each);
        ASSERT_NE(own, nullptr);
        const PopupShot popup = showOwnPopup(own, {menuRect.left, menuRect.top});
        DestroyMenu(own);
        ASSERT_FALSE(popup.pixels.empty()) << "the robot's own menu did not show";
        EXPECT_TRUE(each != language || sameRect(popup.rect, menuRect)) << describe(popup.rect);
        (each == language ? wanted : other) = popup.pixels;
    }
    ASSERT_NE(menu = openMenu(program, set), nullptr);
    mouseTo(1000, 10);
    std::vector<DWORD> shown;
    EXPECT_TRUE(waitUntil([&] { return (shown = readScreen(windowRect(menu))) == wanted; }, windowTimeoutMs))
        << "the program's menu at " << describe(windowRect(menu)) << " is not the menu in " << expected << ": "
        << (shown.size() == wanted.size() ? mismatches(shown, int(shown.size()), 1, wanted, int(wanted.size()), everywhere) : -1)
        << " pixels differ";
    EXPECT_NE(wanted, other);
    ASSERT_TRUE(chooseMenuItem(menu, menuExit));
    EXPECT_TRUE(endsWithCodeZero(program));
}

// ------------------------------------------------------------------------------------------

TEST(StartUp, AboutScreenFirstThenTheFiveWindowsInTheirPlacesAndOwnerChain) {
    parkMouse();
    Program program;
    ASSERT_TRUE(program.start());
    HWND about = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (about = findAboutScreen(program.pid)) != nullptr; },
                          firstWindowTimeoutMs));
    EXPECT_PRED2(sameRect, windowRect(about), aboutOnScreen) << describe(windowRect(about));
    EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);
    EXPECT_TRUE(GetWindowLongA(about, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(findWindowOf(program.pid, set_layout::backboardClass, set_layout::backboardClass), nullptr)
        << "no window of the set exists while the About screen is up";
    EXPECT_TRUE(waitUntil([&] { return aboutShowsItsPicture(about); }, windowTimeoutMs))
        << "the About screen does not show picture 107";

    // A press alone does not close it; the release does.
    const POINT centre = centreOf(windowRect(about));
    mouseTo(centre.x, centre.y);
    leftDown();
    ASSERT_TRUE(caughtUp(about));
    EXPECT_NE(findAboutScreen(program.pid), nullptr);
    leftUp();
    ASSERT_TRUE(waitUntil([&] { return findAboutScreen(program.pid) == nullptr; }, windowTimeoutMs));
    parkMouse();

    SetWindows set;
    ASSERT_TRUE(waitUntil([&] { return findSet(program.pid, set); }, windowTimeoutMs));
    const RECT firstBall = windowRect(set.ball);
    // The owner chain stacks them: the net covers the ball, the ball the scoreboard, which
    // covers the backboard.
    EXPECT_LT(stackIndex(set.net), stackIndex(set.ball));
    EXPECT_LT(stackIndex(set.ball), stackIndex(set.scoreboard));
    EXPECT_LT(stackIndex(set.scoreboard), stackIndex(set.backboard));

    EXPECT_RECT(windowRect(set.host), 100, 150, 100, 150);
    EXPECT_RECT(windowRect(set.backboard), 100, 150, 287, 284);
    EXPECT_RECT(windowRect(set.scoreboard), 100, 99, 287, 141);
    EXPECT_RECT(windowRect(set.net), 150, 252, 233, 328);
    EXPECT_EQ(firstBall.right - firstBall.left, 50);
    EXPECT_EQ(firstBall.bottom - firstBall.top, 50);

    EXPECT_EQ(GetWindow(set.host, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindow(set.backboard, GW_OWNER), set.host);
    EXPECT_EQ(GetWindow(set.scoreboard, GW_OWNER), set.backboard);
    EXPECT_EQ(GetWindow(set.ball, GW_OWNER), set.scoreboard);
    EXPECT_EQ(GetWindow(set.net, GW_OWNER), set.ball);

    // Only the host has a caption and a taskbar button.
    EXPECT_EQ(GetWindowLongA(set.host, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(GetWindowLongA(set.host, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    for (HWND w : {set.backboard, set.scoreboard, set.ball, set.net}) {
        EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, 0);
        EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    }

    // The ball starts in the top-left corner and flies right and down.
    EXPECT_LT(firstBall.left, 500) << describe(firstBall);
    EXPECT_LT(firstBall.top, 300) << describe(firstBall);
    ASSERT_TRUE(waitUntil([&] { return windowRect(set.ball).left > firstBall.left + 20; }, windowTimeoutMs));
    EXPECT_GT(windowRect(set.ball).top, firstBall.top);

    ASSERT_TRUE(waitForRest(set.ball));
    const RECT rest = windowRect(set.ball);
    EXPECT_EQ(rest.bottom, workArea().bottom);
    EXPECT_GT(rest.left, firstBall.left);
}

TEST(Play, ABasketScoresTwoAndAThrowTowardTheHoopIsSteered) {
    Program program;
    SetWindows set;
    ASSERT_TRUE(startSet(program, set));
    ASSERT_TRUE(waitForRest(set.ball));
    EXPECT_TRUE(scoreIs(set, 0, 0));

    ASSERT_TRUE(dropIntoHoop(set));
    EXPECT_TRUE(waitUntil([&] { return scoreIs(set, 0, 2); }, windowTimeoutMs))
        << "the scoreboard does not show 02 after a basket";
    // Through the hoop the ball is set on its centre line and falls straight down.
    ASSERT_TRUE(waitForRest(set.ball));
    EXPECT_EQ(windowRect(set.ball).left, startX + 67);

    // A quick, nearly level throw from the right toward the hoop: unsteered it would sink
    // under gravity; steered it climbs toward the point above the hoop. Each move is handled
    // before the next; at 60 px a move it is faster than the aim's full speed for any time up
    // to 100 ms between moves, so the shot does not depend on that time.
    const POINT from{700, 450};
    std::vector<POINT> points = path(centreOf(windowRect(set.ball)), from, 10);
    for (int i = 1; i <= 4; ++i) points.push_back({from.x - 60 * i, from.y - 8 * i});
    grabAndDrag(set.ball, points);
    const RECT released = windowRect(set.ball);
    leftUp();
    const double targetX = startX + 91.5;
    const double targetY = startY + 140.0;
    LONG highest = released.top;
    double closest = 1e9;
    // Followed until it is back on the floor.
    EXPECT_TRUE(waitUntil(
        [&] {
            const RECT r = windowRect(set.ball);
            const POINT c = centreOf(r);
            highest = std::min(highest, r.top);
            closest = std::min(closest, std::hypot(c.x - targetX, c.y - targetY));
            return r.bottom == workArea().bottom;
        },
        restTimeoutMs));
    EXPECT_LT(highest, released.top - 100) << "the throw was not lifted toward the hoop";
    EXPECT_LT(closest, 150.0) << "the throw did not come near the hoop";
}

TEST(Menu, SoundResetAboutAndExit) {
    Program program;
    SetWindows set;
    ASSERT_TRUE(startSet(program, set));
    ASSERT_TRUE(waitForRest(set.ball));

    // The menu opens with its left edge at the click point, centred on it vertically.
    HWND menu = openMenuAt(program, set, 10, 70);
    ASSERT_NE(menu, nullptr);
    const RECT r = windowRect(menu);
    EXPECT_EQ(r.left, startX + 10) << describe(r);
    EXPECT_LE(std::abs((r.top + r.bottom) / 2 - (startY + 70)), 1) << describe(r);

    // Sound starts checked; each choice flips the check mark. A menu draws itself a moment
    // after it shows, and the screen shows the drawing a moment later: read until it agrees.
    const auto soundChecked = [&](bool on) {
        return waitUntil([&] {
            if (GetUpdateRect(menu, nullptr, FALSE)) return false;
            const int sound = checkMarkPixels(menu, menuSound), reset = checkMarkPixels(menu, menuReset);
            return on ? sound > reset + 4 : sound <= reset + 1;
        }, windowTimeoutMs);
    };
    EXPECT_TRUE(soundChecked(true));
    ASSERT_TRUE(chooseMenuItem(menu, menuSound));
    ASSERT_NE(menu = openMenu(program, set), nullptr);
    EXPECT_TRUE(soundChecked(false));
    ASSERT_TRUE(chooseMenuItem(menu, menuSound));
    ASSERT_NE(menu = openMenu(program, set), nullptr);
    EXPECT_TRUE(soundChecked(true));
    ASSERT_TRUE(closeMenu(program));

    // Reset score after a basket.
    ASSERT_TRUE(dropIntoHoop(set));
    ASSERT_TRUE(waitUntil([&] { return scoreIs(set, 0, 2); }, windowTimeoutMs));
    ASSERT_NE(menu = openMenu(program, set), nullptr);
    ASSERT_TRUE(chooseMenuItem(menu, menuReset));
    EXPECT_TRUE(waitUntil([&] { return scoreIs(set, 0, 0); }, windowTimeoutMs));

    // About: the screen owned by the backboard; a click closes it and the set stays.
    ASSERT_NE(menu = openMenu(program, set), nullptr);
    ASSERT_TRUE(chooseMenuItem(menu, menuAbout));
    HWND about = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (about = findAboutScreen(program.pid)) != nullptr; }, windowTimeoutMs));
    EXPECT_EQ(GetWindow(about, GW_OWNER), set.backboard);
    EXPECT_PRED2(sameRect, windowRect(about), aboutOnScreen) << describe(windowRect(about));
    const POINT centre = centreOf(windowRect(about));
    click(centre.x, centre.y);
    ASSERT_TRUE(waitUntil([&] { return findAboutScreen(program.pid) == nullptr; }, windowTimeoutMs));
    EXPECT_TRUE(program.running());

    // Exit ends the program with 0.
    ASSERT_NE(menu = openMenu(program, set), nullptr);
    ASSERT_TRUE(chooseMenuItem(menu, menuExit));
    EXPECT_TRUE(endsWithCodeZero(program));
    for (HWND w : {set.host, set.backboard, set.scoreboard, set.ball, set.net}) EXPECT_FALSE(IsWindow(w));
}

// Whether the rim band of the net (rows 0 to 7 of picture 106) is on the screen where the
// backboard's bracket lies behind it, rather than hidden by the board.
bool netRimShows(const RECT& net) {
    int width = 0;
    const std::vector<DWORD> rim = readProgramBitmap(106, 0, 8, width);
    const std::vector<DWORD> shown = readScreen({net.left, net.top, net.left + width, net.top + 8});
    if (rim.empty() || shown.size() != rim.size()) return false;
    int visible = 0, same = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 27; x <= 60; ++x) {
            const DWORD pixel = rim[y * width + x];
            if (pixel == 0) continue;  // cut out of the net's shape
            ++visible;
            same += shown[y * width + x] == pixel;
        }
    return visible > 0 && same * 10 >= visible * 9;
}

TEST(Drag, TheBackboardCarriesHostNetAndScoreboardButNotTheBall) {
    Program program;
    SetWindows set;
    ASSERT_TRUE(startSet(program, set));
    ASSERT_TRUE(waitForRest(set.ball));
    const RECT ball = windowRect(set.ball);

    const int dx = 300, dy = 40;
    const POINT grip{startX + 93, startY + 30};
    mouseTo(grip.x, grip.y);
    leftDown();
    for (const POINT& p : path(grip, {grip.x + dx, grip.y + dy}, 10)) mouseTo(p.x, p.y);
    leftUp();

    const int x = startX + dx, y = startY + dy;
    EXPECT_TRUE(waitUntil([&] { return setAt(set, x, y); }, windowTimeoutMs));
    EXPECT_RECT(windowRect(set.host), x, y, x, y);
    EXPECT_RECT(windowRect(set.backboard), x, y, x + 187, y + 134);
    EXPECT_RECT(windowRect(set.net), x + 50, y + 102, x + 133, y + 178);
    EXPECT_RECT(windowRect(set.scoreboard), x, y - 51, x + 187, y - 9);
    EXPECT_PRED2(sameRect, windowRect(set.ball), ball) << describe(windowRect(set.ball));
    // The clicked backboard stays below what it owns: the net's rim shows over its bracket.
    EXPECT_TRUE(waitUntil([&] { return netRimShows(windowRect(set.net)); }, windowTimeoutMs))
        << "at the rim: " << [&] {
               char name[64] = "";
               GetClassNameA(WindowFromPoint({windowRect(set.net).left + 40, windowRect(set.net).top + 4}), name, sizeof name);
               return std::string(name);
           }();

    // The hoop went with the backboard.
    ASSERT_TRUE(dropIntoHoop(set));
    EXPECT_TRUE(waitUntil([&] { return scoreIs(set, 0, 2); }, windowTimeoutMs));
    ASSERT_TRUE(waitForRest(set.ball));
    EXPECT_EQ(windowRect(set.ball).left, x + 67);
}

TEST(Shutdown, EscInEachVisibleWindowEndsTheProgramWithCodeZero) {
    struct Target {
        const char* name;
        HWND SetWindows::*window;
        POINT at;  // where a click activates it; the ball is clicked where it lies
    };
    const Target targets[] = {
        {"backboard", &SetWindows::backboard, {startX + 93, startY + 30}},
        {"scoreboard", &SetWindows::scoreboard, {startX + 20, startY - 51 + 20}},
        {"net", &SetWindows::net, {startX + 50 + 40, startY + 102 + 4}},  // on the rim band
        {"ball", &SetWindows::ball, {-1, -1}},
    };
    for (const Target& t : targets) {
        SCOPED_TRACE(t.name);
        Program program;
        SetWindows set;
        ASSERT_TRUE(startSet(program, set));
        HWND target = set.*t.window;
        POINT at = t.at;
        if (at.x < 0) {
            ASSERT_TRUE(waitForRest(set.ball));
            at = centreOf(windowRect(set.ball));
        }
        click(at.x, at.y);
        ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == target; }, windowTimeoutMs))
            << "a click did not activate the window";
        pressKey(VK_ESCAPE);
        EXPECT_TRUE(endsWithCodeZero(program));
        for (HWND w : {set.host, set.backboard, set.scoreboard, set.ball, set.net})
            EXPECT_FALSE(IsWindow(w));
    }
}

TEST(TimerResolution, RaisedWhileTheBallMovesGivenBackAtRestAndAtTheEnd) {
    // Run by the test timer_calls (tests/e2e/run-traced), which turns on Wine's relay trace of
    // the two calls for the whole process tree: a granted raise is a timeBeginPeriod that
    // returns 0, its giving back a timeEndPeriod, each line headed by the calling thread.
    const char* log = std::getenv("TIMER_CALLS_LOG");
    if (!log) GTEST_SKIP() << "needs Wine's relay trace of the timer calls (tests/e2e/run-traced)";
    Program program;
    SetWindows set;
    ASSERT_TRUE(startSet(program, set));
    char thread[16];
    std::snprintf(thread, sizeof thread, "%04lx:", GetWindowThreadProcessId(set.ball, nullptr));
    auto raises = [&] { return countLinesWith(log, std::string(thread) + "Ret  winmm.timeBeginPeriod() retval=00000000"); };
    auto lowers = [&] { return countLinesWith(log, std::string(thread) + "Call winmm.timeEndPeriod("); };
    auto calls = [&] { return std::to_string(raises()) + " raised, " + std::to_string(lowers()) + " given back"; };

    // The ball rolls in from the corner.
    EXPECT_TRUE(waitUntil([&] { return raises() == 1; }, windowTimeoutMs)) << calls();
    EXPECT_EQ(lowers(), 0);
    ASSERT_TRUE(waitForRest(set.ball));
    EXPECT_TRUE(waitUntil([&] { return lowers() == 1; }, windowTimeoutMs)) << calls();

    // Picked up, and the set ended with Esc while it is held.
    const POINT c = centreOf(windowRect(set.ball));
    mouseTo(c.x, c.y);
    leftDown();
    EXPECT_TRUE(waitUntil([&] { return raises() == 2; }, windowTimeoutMs)) << calls();
    EXPECT_EQ(lowers(), 1);
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(endsWithCodeZero(program));
    leftUp();
    EXPECT_EQ(raises(), 2);
    EXPECT_EQ(lowers(), 2);
}

TEST(SecondCopy, WhileTheSetIsUpItOnlyBringsTheFirstToTheFront) {
    Program first;
    SetWindows set;
    ASSERT_TRUE(startSet(first, set));
    click(startX + 20, startY - 51 + 20);  // the scoreboard becomes the active window
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == set.scoreboard; }, windowTimeoutMs));

    Program second;
    ASSERT_TRUE(second.start());
    bool createdWindow = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (countWindowsOf(second.pid) > 0) createdWindow = true;
            return !second.running();
        },
        windowTimeoutMs));
    EXPECT_TRUE(endsWithCodeZero(second));
    EXPECT_FALSE(createdWindow);
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == set.backboard; }, windowTimeoutMs));
    EXPECT_TRUE(first.running());

    // With the set minimised from its taskbar button (the host's), another start restores it.
    ShowWindow(set.host, SW_MINIMIZE);
    // (Windows hides the owned windows with it; Wine without a window manager leaves them.)
    ASSERT_TRUE(waitUntil([&] { return IsIconic(set.host) != FALSE; }, windowTimeoutMs));
    Program third;
    ASSERT_TRUE(third.start());
    ASSERT_TRUE(endsWithCodeZero(third));
    EXPECT_TRUE(waitUntil([&] { return !IsIconic(set.host); }, windowTimeoutMs)) << "the set stayed minimised";
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(set.backboard) && IsWindowVisible(set.ball); }, windowTimeoutMs));
    EXPECT_TRUE(first.running());
}

TEST(SecondCopy, StartedDuringTheAboutScreenItBuildsASetOfItsOwnThatMovesAlone) {
    parkMouse();
    Program first;
    Program second;
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(waitUntil([&] { return findAboutScreen(first.pid) != nullptr; }, firstWindowTimeoutMs));
    ASSERT_TRUE(second.start());
    ASSERT_TRUE(waitUntil([&] { return findAboutScreen(second.pid) != nullptr; }, firstWindowTimeoutMs));

    // The two About screens lie on top of each other: a click closes one at a time. Each goes
    // when an About screen lies under the cursor, not the ball of the set the first one showed.
    const POINT centre = centreOf(aboutOnScreen);
    for (int i = 0; i < 2; ++i) {
        HWND about = nullptr;
        ASSERT_TRUE(waitUntil(
            [&] {
                about = WindowFromPoint(centre);
                return about && (about == findAboutScreen(first.pid) || about == findAboutScreen(second.pid));
            },
            windowTimeoutMs));
        ASSERT_TRUE(clickOn(about, centre));
        ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(about); }, windowTimeoutMs));
    }
    parkMouse();
    SetWindows one;
    SetWindows two;
    ASSERT_TRUE(waitUntil([&] { return findSet(first.pid, one) && findSet(second.pid, two); }, windowTimeoutMs));

    // Drag whichever backboard is on top; the other set's windows stay.
    const POINT grip{startX + 93, startY + 30};
    HWND top = WindowFromPoint(grip);
    ASSERT_TRUE(top == one.backboard || top == two.backboard);
    const SetWindows& dragged = top == one.backboard ? one : two;
    const SetWindows& other = top == one.backboard ? two : one;
    mouseTo(grip.x, grip.y);
    leftDown();
    for (const POINT& p : path(grip, {grip.x + 300, grip.y + 40}, 8)) mouseTo(p.x, p.y);
    leftUp();
    EXPECT_TRUE(waitUntil([&] { return setAt(dragged, startX + 300, startY + 40); }, windowTimeoutMs));
    EXPECT_RECT(windowRect(dragged.scoreboard), 400, 139, 587, 181);
    EXPECT_RECT(windowRect(other.net), 150, 252, 233, 328);
    EXPECT_RECT(windowRect(other.scoreboard), 100, 99, 287, 141);
    EXPECT_RECT(windowRect(other.backboard), 100, 150, 287, 284);
}

TEST(Shapes, ClicksPassThroughTheNetsOpeningsAndTheBallsCorners) {
    Program program;
    SetWindows set;
    ASSERT_TRUE(startSet(program, set));
    ASSERT_TRUE(waitForRest(set.ball));

    // The rim band belongs to the net; an opening of the mesh shows the backboard's bracket.
    EXPECT_EQ(WindowFromPoint({startX + 50 + 40, startY + 102 + 4}), set.net);
    const POINT opening{startX + 50 + 42, startY + 102 + 16};
    EXPECT_EQ(WindowFromPoint(opening), set.backboard);
    // A right click there reaches the backboard, which opens its menu at that point.
    rightClick(opening.x, opening.y);
    HWND menu = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (menu = findPopupMenu(program.pid)) != nullptr; }, windowTimeoutMs));
    EXPECT_EQ(windowRect(menu).left, opening.x);
    ASSERT_TRUE(closeMenu(program));

    // A corner of the ball's square lies outside its circle: pressing there grabs nothing.
    const RECT ball = windowRect(set.ball);
    const POINT corner{ball.left + 3, ball.top + 3};
    EXPECT_NE(WindowFromPoint(corner), set.ball);
    mouseTo(corner.x, corner.y);
    leftDown();
    ASSERT_TRUE(caughtUp(set.ball));
    EXPECT_NE(captureOf(set.ball), set.ball);
    for (const POINT& p : path(corner, {corner.x - 60, corner.y - 200}, 5)) mouseTo(p.x, p.y);
    leftUp();
    ASSERT_TRUE(caughtUp(set.ball));
    EXPECT_PRED2(sameRect, windowRect(set.ball), ball) << describe(windowRect(set.ball));
}

TEST(Leaks, ThrowsMenusAndAboutScreensHoldNoObjects) {
    Program program;
    SetWindows set;
    ASSERT_TRUE(startSet(program, set));
    ASSERT_TRUE(waitForRest(set.ball));
    const ObjectCounts atStartUp = objectCountsOf(program);
    // The system keeps what it makes for the first menu and the first dialog of a process
    // (Wine: the menu window with its fonts and bitmaps); those are not the program's.
    ASSERT_TRUE(showAboutFromMenu(program, set));
    const ObjectCounts before = objectCountsOf(program);
    std::printf("GDI objects after start-up %ld, after the first menu and About screen %ld\n",
                atStartUp.gdi, before.gdi);
    ASSERT_GT(before.gdi, 0) << "GDI objects not counted: " << before.how;
    ASSERT_GT(before.user, 0);

    DWORD phase = GetTickCount();
    for (int i = 0; i < 200; ++i) {
        if (i % 40 == 39) {
            // Now and then a real throw, up and away; the ball comes back to rest.
            throwUp(set.ball, 10 + i / 20);
            ASSERT_TRUE(waitForRest(set.ball)) << "throw " << i;
        } else {
            // Carried up and back, let go without speed: it stays where it lies.
            const POINT c = centreOf(windowRect(set.ball));
            grabAndDrag(set.ball, {{c.x, c.y - 12}, c, {c.x + 1, c.y}});
            leftUp();
        }
    }
    std::printf("GDI objects after the throws: %ld\n", objectCountsOf(program).gdi);
    std::printf("200 throws: %lu ms\n", GetTickCount() - phase);
    phase = GetTickCount();
    for (int i = 0; i < 50; ++i) {
        ASSERT_NE(openMenu(program, set), nullptr) << "opening " << i;
        ASSERT_TRUE(closeMenu(program)) << "opening " << i;
    }
    std::printf("50 menus: %lu ms\n", GetTickCount() - phase);
    std::printf("GDI objects after the menus: %ld\n", objectCountsOf(program).gdi);
    phase = GetTickCount();
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(showAboutFromMenu(program, set)) << "About screen " << i;
    std::printf("20 About screens: %lu ms\n", GetTickCount() - phase);
    parkMouse();
    ASSERT_TRUE(waitForRest(set.ball));

    const ObjectCounts after = objectCountsOf(program);
    std::printf("GDI objects %ld -> %ld, USER objects %ld -> %ld\n", before.gdi, after.gdi,
                before.user, after.user);
    EXPECT_LE(std::abs(after.gdi - before.gdi), 4);
    EXPECT_LE(std::abs(after.user - before.user), 4);
}

TEST(Drag, ABoardTheSystemMovedAloneIsDraggedAndOpensItsMenuFromWhereItIs) {
    Program program;
    SetWindows set;
    ASSERT_TRUE(startSet(program, set));
    ASSERT_TRUE(waitForRest(set.ball));
    // As Windows moves the windows of a monitor that went: the board alone, and no message.
    const auto moveBoardAlone = [&](int x, int y) {
        SetWindowPos(set.backboard, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return waitUntil([&] { return windowRect(set.backboard).left == x; }, windowTimeoutMs);
    };
    const int x = startX + 250, y = startY + 120, dx = 120, dy = -60;
    ASSERT_TRUE(moveBoardAlone(x, y));
    // The set follows the mouse from where the system put it from the first move on, never from
    // its old corner: after each move it comes to stand at the cursor, less the grip.
    mouseTo(x + 93, y + 30);
    leftDown();
    for (const POINT& p : path({x + 93, y + 30}, {x + 93 + dx, y + 30 + dy}, 8)) {
        mouseTo(p.x, p.y);
        POINT c{};
        EXPECT_TRUE(waitUntil([&] { return GetCursorPos(&c) && setAt(set, c.x - 93, c.y - 30); }, windowTimeoutMs))
            << "cursor at (" << c.x << ", " << c.y << "), board at " << describe(windowRect(set.backboard));
    }
    leftUp();
    EXPECT_RECT(windowRect(set.net), x + dx + 50, y + dy + 102, x + dx + 133, y + dy + 178);
    EXPECT_RECT(windowRect(set.scoreboard), x + dx, y + dy - 51, x + dx + 187, y + dy - 9);

    ASSERT_TRUE(moveBoardAlone(startX, startY));
    HWND menu = openMenuAt(program, set, 93, 30);
    ASSERT_NE(menu, nullptr);
    const RECT m = windowRect(menu);
    EXPECT_TRUE(m.left == startX + 93 && m.top < startY + 30 && startY + 30 < m.bottom) << "menu at " << describe(m);
    closeMenu(program);
}

}  // namespace
