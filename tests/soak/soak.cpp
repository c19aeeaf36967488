// The soak: minutes of seeded random play with the real program (throws, baskets, drags of the
// set, menus, sound toggles, score resets, About screens), then Exit. The program must stay
// alive, hold no more objects at the end than after its first menu and About screen, show a
// score of twice the baskets seen, and end with code 0.
//
//   soak path\to\basketball.exe [--seconds=N] [--seed=N] [gtest options]
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <random>

#include "play.h"
#include "windows/set_layout.h"

namespace {

int soakSeconds = 120;
unsigned soakSeed = 20261208;

using namespace play;

// Where the backboard may be dragged: the hoop stays well above the floor, so that a ball
// through it never bounces back up into it, and the scoreboard stays on the screen.
constexpr int boardLeftMin = 20;
constexpr int boardLeftMax = 820;
constexpr int boardTopMin = 70;
constexpr int boardTopMax = 300;

class Soak {
public:
    Soak(Program& p, const SetWindows& s) : program(p), set(s), watcher(s), random(soakSeed) {}

    // One random action; false (with a note) when the program did not respond as it should.
    ::testing::AssertionResult step() {
        const int pick = uniform(0, 99);
        if (pick < 40) return aThrow();
        if (pick < 58) return aBasket();
        if (pick < 70) return aDrag();
        if (pick < 78) return aMenuClosed();
        if (pick < 86) return aSoundToggle();
        if (pick < 93) return aReset();
        return anAbout();
    }

    ::testing::AssertionResult scoreMatches() {
        parkMouse();
        if (!waitForRest(set.ball)) return ::testing::AssertionFailure() << "the ball did not come to rest";
        int score = -1;
        const int expected = 2 * (baskets + watcher.baskets());
        waitUntil([&] { return (score = readScore(set)) == expected; }, windowTimeoutMs);
        // Unreadable (-1): random drags can leave the digits under the resting ball or off the
        // screen. Back at its start corner the board is clear of both; the score must still match.
        if (score == -1 && dragSetTo(set, set_layout::startX, set_layout::startY)) {
            parkMouse();
            waitUntil([&] { return (score = readScore(set)) == expected; }, windowTimeoutMs);
        }
        std::printf("score %d, baskets seen %d (%d actions, %d throws, %d drags, %d menus, %d resets, "
                    "%d About screens)\n",
                    score, baskets + watcher.baskets(), actions, throws, drags, menus, resets, abouts);
        if (score != expected)
            return ::testing::AssertionFailure() << "the scoreboard shows " << score << ", twice the baskets seen is "
                                                 << expected;
        return ::testing::AssertionSuccess();
    }

    int actions = 0;

private:
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    // A throw in a random direction and strength from wherever the ball is, flying or not.
    ::testing::AssertionResult aThrow() {
        ++actions;
        const POINT c = centreOf(windowRect(set.ball));
        const RECT area = workArea();
        const int dx = uniform(-25, 25);
        const int dy = uniform(-40, 10);
        std::vector<POINT> points;
        POINT p = c;
        for (int i = 0; i < 3; ++i) {
            p.x = std::max<LONG>(area.left + 30, std::min<LONG>(area.right - 30, p.x + dx));
            p.y = std::max<LONG>(area.top + 30, std::min<LONG>(area.bottom - 30, p.y + dy));
            points.push_back(p);
        }
        if (throwThrough(set.ball, points, &watcher)) ++throws;
        Sleep(uniform(0, 1500));
        return ::testing::AssertionSuccess();
    }

    // A ball carried from rest above the hoop and let go: it must score.
    ::testing::AssertionResult aBasket() {
        ++actions;
        parkMouse();
        if (!waitForRest(set.ball)) return ::testing::AssertionFailure() << "the ball did not come to rest";
        const int before = watcher.baskets();
        if (!dropIntoHoop(set, &watcher))
            return ::testing::AssertionFailure() << "the ball at rest could not be grabbed";
        ++throws;
        if (!waitUntil([&] { return watcher.baskets() > before; }, windowTimeoutMs))
            return ::testing::AssertionFailure() << "a ball dropped into the hoop was not seen to score";
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult aDrag() {
        ++actions;
        const int x = uniform(boardLeftMin, boardLeftMax);
        const int y = uniform(boardTopMin, boardTopMax);
        ++drags;
        if (!dragSetTo(set, x, y, uniform(4, 12)))
            return ::testing::AssertionFailure() << "the set did not follow the drag: " << describe(windowRect(set.backboard));
        const RECT net = windowRect(set.net);
        if (net.left != x + 50 || net.top != y + 102)
            return ::testing::AssertionFailure() << "the net stayed behind: " << describe(net);
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult aMenuClosed() {
        ++actions;
        if (!openMenu(program, set)) return ::testing::AssertionFailure() << "no menu";
        ++menus;
        return closeMenu(program) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "menu stays";
    }

    ::testing::AssertionResult aSoundToggle() {
        ++actions;
        HWND menu = openMenu(program, set);
        if (!menu) return ::testing::AssertionFailure() << "no menu";
        ++menus;
        chooseMenuItem(menu, menuSound);
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult aReset() {
        ++actions;
        // The score before the reset must already be right.
        ::testing::AssertionResult right = scoreMatches();
        if (!right) return right;
        HWND menu = openMenu(program, set);
        if (!menu) return ::testing::AssertionFailure() << "no menu";
        ++menus;
        chooseMenuItem(menu, menuReset);
        ++resets;
        baskets = 0;
        watcher.resetCount();
        if (!waitUntil([&] { return readScore(set) == 0; }, windowTimeoutMs))
            return ::testing::AssertionFailure() << "Reset score left " << readScore(set);
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult anAbout() {
        ++actions;
        ++menus;
        ++abouts;
        return showAboutFromMenu(program, set) ? ::testing::AssertionSuccess()
                                               : ::testing::AssertionFailure() << "About screen did not open and close";
    }

    Program& program;
    const SetWindows& set;
    BasketWatcher watcher;
    std::mt19937 random;
    int baskets = 0;
    int throws = 0;
    int drags = 0;
    int menus = 0;
    int resets = 0;
    int abouts = 0;
};

TEST(Soak, RandomPlayThenExit) {
    Program program;
    SetWindows set;
    std::string error;
    ASSERT_TRUE(startSet(program, set, error)) << error;
    ASSERT_TRUE(waitForRest(set.ball));

    // The system keeps what it makes for a process's first menu and first dialog; count after.
    ASSERT_TRUE(showAboutFromMenu(program, set));
    parkMouse();
    const ObjectCounts before = objectCountsOf(program);
    ASSERT_GT(before.gdi, 0) << "GDI objects not counted: " << before.how;
    ASSERT_GT(before.user, 0);

    std::printf("seed %u, %d s\n", soakSeed, soakSeconds);
    {
        Soak soak(program, set);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < static_cast<DWORD>(soakSeconds) * 1000) {
            ASSERT_TRUE(soak.step()) << "action " << soak.actions;
            ASSERT_TRUE(program.running()) << "the program ended during action " << soak.actions;
            ASSERT_TRUE(findSet(program.pid, set)) << "a window of the set is gone after action " << soak.actions;
        }
        ASSERT_TRUE(soak.scoreMatches());
    }

    const ObjectCounts after = objectCountsOf(program);
    std::printf("GDI objects %ld -> %ld, USER objects %ld -> %ld\n", before.gdi, after.gdi, before.user,
                after.user);
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.user, before.user);

    HWND menu = openMenu(program, set);
    ASSERT_NE(menu, nullptr);
    chooseMenuItem(menu, menuExit);
    DWORD code = 1;
    ASSERT_TRUE(program.waitExit(windowTimeoutMs, code)) << "the program did not end";
    EXPECT_EQ(code, 0u);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    int position = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--seconds=", 10) == 0) {
            soakSeconds = std::atoi(argv[i] + 10);
        } else if (std::strncmp(argv[i], "--seed=", 7) == 0) {
            soakSeed = static_cast<unsigned>(std::strtoul(argv[i] + 7, nullptr, 10));
        } else if (position++ == 0) {
            programPath = argv[i];
        }
    }
    if (programPath.empty()) {
        std::fprintf(stderr, "usage: soak path\\to\\basketball.exe [--seconds=N] [--seed=N]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
