// The soak: a fixed number of random actions drawn from a seed, played with the real program
// (throws, baskets, drags of the set, menus, sound toggles, score resets, About screens), then
// Exit. The program must stay alive, score 2 for every ball dropped into the hoop, hold no more
// objects at the end than after its first menu and About screen, and end with code 0. A failure
// names the seed and the action; the same seed and number of actions play the same actions.
//
//   soak path\to\basketball.exe [--actions N] [--seed S] [gtest options]
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <random>

#include "play.h"
#include "windows/set_layout.h"

namespace {

int soakActions = 110;  // about two minutes
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

    // The score as the program shows it, with the ball at rest off the scoreboard; -1 if none.
    int restingScore() {
        parkMouse();
        if (!waitForRest(set.ball)) {
            std::printf("the ball did not come to rest: %s\n", describe(windowRect(set.ball)).c_str());
            return -1;
        }
        int score = -1;
        if (!waitUntil([&] { return (score = readScore(set)) >= 0; }, windowTimeoutMs))
            std::printf("no score on the scoreboard at %s\n", describe(windowRect(set.scoreboard)).c_str());
        return score;
    }

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

    // Every basket scores 2: the score is even, at least twice the drops since the last reset.
    // Baskets of random throws are only counted by the watcher, which may miss one; it is shown.
    ::testing::AssertionResult scoreMatches() {
        const int score = restingScore();
        std::printf("score %d, dropped in %d, baskets seen %d (%d actions, %d throws, %d drags, %d menus, "
                    "%d resets, %d About screens)\n",
                    score, baskets, watcher.baskets(), actions, throws, drags, menus, resets, abouts);
        if (score < 2 * baskets || score % 2 != 0)
            return ::testing::AssertionFailure() << "the scoreboard shows " << score << " after " << baskets
                                                 << " balls dropped into the hoop";
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
        Sleep(uniform(0, 1500));  // paces the robot's own input: the next action meets the ball in flight
        return ::testing::AssertionSuccess();
    }

    // A ball carried from rest above the hoop and let go: it must score.
    ::testing::AssertionResult aBasket() {
        ++actions;
        const int before = restingScore();
        if (before < 0) return ::testing::AssertionFailure() << "no score readable with the ball at rest";
        if (!dropIntoHoop(set, &watcher))
            return ::testing::AssertionFailure() << "the ball at rest could not be grabbed";
        ++throws;
        ++baskets;
        int after = before;
        if (!waitUntil([&] { return (after = readScore(set)) == before + 2; }, restTimeoutMs))
            return ::testing::AssertionFailure() << "a ball dropped into the hoop at score " << before
                                                 << " left " << after;
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult aDrag() {
        ++actions;
        const int x = uniform(boardLeftMin, boardLeftMax);
        const int y = uniform(boardTopMin, boardTopMax);
        ++drags;
        if (!dragSetTo(set, x, y, uniform(4, 12)))
            return ::testing::AssertionFailure() << "the set did not follow the drag to (" << x << ", " << y
                                                 << "): board " << describe(windowRect(set.backboard)) << ", net "
                                                 << describe(windowRect(set.net));
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
        if (!chooseMenuItem(menu, menuSound)) return ::testing::AssertionFailure() << "Sound not chosen";
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
        if (!chooseMenuItem(menu, menuReset)) return ::testing::AssertionFailure() << "Reset score not chosen";
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
    int baskets = 0, throws = 0, drags = 0, menus = 0, resets = 0, abouts = 0;
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

    std::printf("seed %u, %d actions\n", soakSeed, soakActions);
    {
        Soak soak(program, set);
        const DWORD start = GetTickCount();
        for (int i = 0; i < soakActions; ++i) {
            SCOPED_TRACE(::testing::Message() << "replay: --seed " << soakSeed << " --actions " << i + 1);
            ASSERT_TRUE(soak.step()) << "action " << i;
            ASSERT_TRUE(program.running()) << "the program ended during action " << i;
            ASSERT_TRUE(findSet(program.pid, set)) << "a window of the set is gone after action " << i;
        }
        ASSERT_TRUE(soak.scoreMatches());
        std::printf("%d actions in %lu s\n", soakActions, (GetTickCount() - start) / 1000);
    }

    const ObjectCounts after = objectCountsOf(program);
    std::printf("GDI objects %ld -> %ld, USER objects %ld -> %ld\n", before.gdi, after.gdi, before.user,
                after.user);
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.user, before.user);

    HWND menu = openMenu(program, set);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(chooseMenuItem(menu, menuExit));
    DWORD code = 1;
    ASSERT_TRUE(program.waitExit(windowTimeoutMs, code)) << "the program did not end";
    EXPECT_EQ(code, 0u);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    int position = 0;
    // --name=N or --name N
    const auto flag = [&](int& i, const char* name, unsigned long& value) {
        const size_t n = std::strlen(name);
        if (std::strncmp(argv[i], name, n) != 0) return false;
        if (argv[i][n] == '=') return value = std::strtoul(argv[i] + n + 1, nullptr, 10), true;
        if (argv[i][n] != '\0' || i + 1 >= argc) return false;
        return value = std::strtoul(argv[++i], nullptr, 10), true;
    };
    for (int i = 1; i < argc; ++i) {
        unsigned long value = 0;
        if (flag(i, "--actions", value)) {
            soakActions = static_cast<int>(value);
        } else if (flag(i, "--seed", value)) {
            soakSeed = static_cast<unsigned>(value);
        } else if (position++ == 0) {
            programPath = argv[i];
        }
    }
    if (programPath.empty()) {
        std::fprintf(stderr, "usage: soak path\\to\\basketball.exe [--actions N] [--seed S]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
