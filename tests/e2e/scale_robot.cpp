// The real program at the display scale of the Wine prefix it runs in (scripts/check-scale
// runs it at 120, 144 and 192 DPI), on a screen of any size: every window at its size and place
// for that scale, the About screen too; the ball resting on the work area's floor; a drop from
// the bottom right corner into the hoop scoring 2, shown by the scoreboard's digits as drawn
// for that scale.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "desktop_robot.h"
#include "play.h"
#include "res/resource_ids.h"
#include "win/dpi.h"
#include "windows/set_scale.h"

namespace {

using play::describe;
using play::sameRect;

// Sizes and places worked out by hand from the 100 % ones; the ball starts at (0, 0).
struct ScaledSet {
    unsigned dpi;
    RECT board, scoreboard, net;
    int ball;
    POINT aboveHoop;  // a ball centred here and let go drops through the hoop
};
const ScaledSet scaledSets[] = {
    {96, {100, 150, 287, 284}, {100, 99, 287, 141}, {150, 252, 233, 328}, 50, {192, 175}},
    {120, {125, 188, 359, 356}, {125, 124, 359, 177}, {188, 316, 292, 411}, 63, {240, 219}},
    {144, {150, 225, 431, 426}, {150, 148, 431, 211}, {225, 378, 350, 492}, 75, {288, 263}},
    {192, {200, 300, 574, 568}, {200, 198, 574, 282}, {300, 504, 466, 656}, 100, {384, 350}},
};

TEST(Scale, TheSetPlaysAtTheScaleOfTheDisplay) {
    const unsigned dpi = systemDpi();
    std::printf("display at %u DPI\n", dpi);
    // scripts/check-scale names the scale it set: a setting that did not take is a failure.
    if (const char* expected = std::getenv("BASKETBALL_EXPECT_DPI")) {
        ASSERT_EQ(dpi, std::strtoul(expected, nullptr, 10));
    }
    const ScaledSet* s = nullptr;
    for (const ScaledSet& c : scaledSets)
        if (c.dpi == dpi) s = &c;
    ASSERT_NE(s, nullptr) << "no figures for " << dpi << " DPI";

    Program program;
    play::parkMouse();
    ASSERT_TRUE(program.start());
    HWND about = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (about = findAboutScreen(program.pid)) != nullptr; }, play::firstWindowTimeoutMs));
    int aboutW = 0, aboutH = 0;
    readProgramPicture(IDB_ABOUT, 96, aboutW, aboutH);
    const RECT a = windowRect(about);
    EXPECT_EQ(a.right - a.left, set_scale::scaled(aboutW, dpi)) << "About screen " << describe(a);
    EXPECT_EQ(a.bottom - a.top, set_scale::scaled(aboutH, dpi));
    ASSERT_TRUE(play::closeAboutScreen(program.pid));
    SetWindows set;
    ASSERT_TRUE(waitUntil([&] { return findSet(program.pid, set); }, play::windowTimeoutMs));

    EXPECT_PRED2(sameRect, windowRect(set.backboard), s->board) << describe(windowRect(set.backboard));
    EXPECT_PRED2(sameRect, windowRect(set.scoreboard), s->scoreboard) << describe(windowRect(set.scoreboard));
    EXPECT_PRED2(sameRect, windowRect(set.net), s->net) << describe(windowRect(set.net));
    EXPECT_EQ(play::scaleOf(set), dpi);
    const RECT work = play::workArea();
    ASSERT_TRUE(play::waitForRest(set.ball, play::restTimeoutMs, work.bottom))
        << "the ball's bottom edge never rested on " << work.bottom << ": " << describe(windowRect(set.ball));
    const RECT rest = windowRect(set.ball);
    EXPECT_EQ(rest.right - rest.left, s->ball);
    EXPECT_EQ(rest.bottom - rest.top, s->ball);
    EXPECT_LE(rest.right, work.right);
    std::printf("ball at rest: %s, work area %s\n", describe(rest).c_str(), describe(work).c_str());

    EXPECT_TRUE(waitUntil([&] { return play::readScore(set) == 0; }, play::windowTimeoutMs))
        << "the scoreboard does not show 00";

    // Let go in the bottom right corner, the farthest from the hoop, and carried from there
    // above the hoop and let go without speed, it drops through and scores 2.
    ASSERT_TRUE(play::letGoAt(set.ball, {work.right - s->ball, work.bottom - s->ball}));
    ASSERT_TRUE(play::waitForRest(set.ball, play::restTimeoutMs, work.bottom));
    const RECT corner = windowRect(set.ball);
    const POINT above = play::aboveHoop(set);
    EXPECT_EQ(above.x, s->aboveHoop.x);
    EXPECT_EQ(above.y, s->aboveHoop.y);
    ASSERT_TRUE(play::dropIntoHoop(set));
    EXPECT_TRUE(waitUntil([&] { return play::readScore(set) == 2; }, play::restTimeoutMs))
        << "the scoreboard does not show 02";
    ASSERT_TRUE(play::waitForRest(set.ball, play::restTimeoutMs, work.bottom));
    std::printf("dropped from %s above the hoop at (%ld, %ld): the scoreboard shows %d, the ball rests at %s\n",
                describe(corner).c_str(), above.x, above.y, play::readScore(set),
                describe(windowRect(set.ball)).c_str());

    pressKey(VK_ESCAPE);
    DWORD code = 1;
    EXPECT_TRUE(program.waitExit(play::windowTimeoutMs, code));
    EXPECT_EQ(code, 0u);
}

// What Windows reads before the program runs: its own manifest, as the process's manifest.
TEST(Scale, TheProgramCarriesItsManifest) {
    HMODULE module = LoadLibraryExA(windowsPath(programPath).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr) << "no manifest of id 1";
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(bytes, SizeofResource(module, found));
    FreeLibrary(module);
    for (const char* needed : {"<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<",
                               ">PerMonitorV2, PerMonitor</dpiAwareness>", "level=\"asInvoker\"",
                               "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(needed), std::string::npos) << needed;
}

}  // namespace
