// The real program at the display scale of the Wine prefix it runs in (scripts/check-scale
// runs it at 120, 144 and 192 DPI), on a screen of any size: every window at its size and place
// for that scale, the About screen too; the ball resting on the work area's floor; a drop from
// the bottom right corner into the hoop scoring 2, shown by the scoreboard's digits as drawn
// for that scale. Under a compositor (scripts/check-compositor) the ball, net and backboard at
// rest, photographed over a black and a white backdrop: soft edges, premultiplied.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "desktop_robot.h"
#include "play.h"
#include "res/resource_ids.h"
#include "win/dpi.h"
#include "windows/set_layout.h"
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

// The display's DPI; the scale scripts name the one they set, and one that did not take fails.
unsigned displayDpi() {
    const unsigned dpi = systemDpi();
    std::printf("display at %u DPI\n", dpi);
    if (const char* expected = std::getenv("BASKETBALL_EXPECT_DPI")) {
        EXPECT_EQ(dpi, std::strtoul(expected, nullptr, 10));
    }
    return dpi;
}

TEST(Scale, TheSetPlaysAtTheScaleOfTheDisplay) {
    const unsigned dpi = displayDpi();
    ASSERT_FALSE(HasFailure());
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

// --- soft edges, under a compositor -------------------------------------------------------

// A plain window of one colour under the whole set: what the set's edges blend with. The
// compositor paints the root in a grey of its own, so the backdrop has to be a window. Wine maps
// a new X window on top whatever its Win32 place, and raises one it activates: so the backdrop
// is shown before the program's windows, and disabled, never to be activated.
class Backdrop {
public:
    explicit Backdrop(const RECT& r) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "backdrop";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "backdrop", "backdrop", WS_POPUP | WS_DISABLED,
                                 r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ~Backdrop() {
        if (window) DestroyWindow(window);
    }
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

    // Paints it `rgb` (0x00RRGGBB) and waits until the screen shows that at `probe`, a point no
    // window of the set covers, and `area` reads the same twice running: the compositor is done.
    bool paint(DWORD rgb, POINT probe, const RECT& area) {
        SetWindowLongPtrA(window, GWLP_USERDATA, RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        std::vector<DWORD> last;
        return waitUntil(
            [&] {
                MSG message;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
                if (readScreen({probe.x, probe.y, probe.x + 1, probe.y + 1}) != std::vector<DWORD>{rgb}) return false;
                std::vector<DWORD> shot = readScreen(area);
                const bool settled = shot == last;
                last = std::move(shot);
                return settled;
            },
            play::windowTimeoutMs);
    }

    HWND window = nullptr;

private:
    static LRESULT CALLBACK procedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_ERASEBKGND) return 1;
        if (message != WM_PAINT) return DefWindowProcA(w, message, wParam, lParam);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(w, &paint);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(w, GWLP_USERDATA)));
        FillRect(dc, &paint.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(w, &paint);
        return 0;
    }
};

int channel(DWORD pixel, int c) { return static_cast<int>((pixel >> (8 * c)) & 0xFF); }

// One window photographed over black and over white, and what its pixels show.
struct EdgeCounts {
    int partly = 0, fully = 0;
    int notBlended = 0;  // partly covered, but not the picture's premultiplied colour over the backdrop
    int inside = 0;      // partly covered amid fully covered pixels: not on the outline
    int notPicture = 0;  // fully covered, but not the picture's colour
    std::string firstFault;
};

// Coverage per pixel is 1 - (white - black) / 255. `skip` marks pixels another window of the set
// covers; `picture` holds the picture's pixels at the window's size.
EdgeCounts countEdges(const std::vector<DWORD>& black, const std::vector<DWORD>& white, int width, int height,
                      const std::vector<bool>& skip, const DWORD* picture) {
    constexpr int tolerance = 2;
    EdgeCounts n;
    auto fault = [&](int& count, const char* what, int i) {
        if (count++ == 0 && n.firstFault.empty()) {
            char line[160];
            std::snprintf(line, sizeof line, "%s at (%d, %d): over black %06lX, over white %06lX, picture %06lX", what,
                          i % width, i / width, black[i], white[i], picture[i]);
            n.firstFault = line;
        }
    };
    std::vector<int> state(black.size());  // 0 not covered, 1 partly, 2 fully
    for (int i = 0; i < width * height; ++i) {
        if (skip[i]) continue;
        int spread = 0, opaque = 0, clear = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = channel(white[i], c) - channel(black[i], c);
            spread += d;
            opaque += d == 0;
            clear += d == 255;
        }
        if (clear == 3) continue;
        if (opaque == 3) {
            state[i] = 2;
            ++n.fully;
            if (black[i] != picture[i]) fault(n.notPicture, "fully covered, not the picture's colour", i);
            continue;
        }
        state[i] = 1;
        ++n.partly;
        const int alpha = 255 - (spread + 1) / 3;
        bool blended = true;
        for (int c = 0; c < 3; ++c)
            blended = blended && channel(black[i], c) <= alpha + tolerance &&
                      std::abs(channel(white[i], c) - channel(black[i], c) - (255 - alpha)) <= tolerance;
        if (!blended) fault(n.notBlended, "partly covered, not a premultiplied blend", i);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (state[y * width + x] != 1) continue;
            bool amid = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    amid = amid && nx >= 0 && ny >= 0 && nx < width && ny < height &&
                           (state[ny * width + nx] == 2 || skip[ny * width + nx] || (dx == 0 && dy == 0));
                }
            if (amid) fault(n.inside, "partly covered amid fully covered pixels", y * width + x);
        }
    return n;
}

// The photographs' reading, on made-up shots: one pixel amid eight that are not covered (or,
// for `ringCovered`, fully covered by the picture's colour).
TEST(Compositor, ShotsOverBlackAndWhiteReadAsCoverage) {
    struct Case {
        const char* what;
        DWORD black, white, picture;
        bool ringCovered;
        int partly, fully, notBlended, inside, notPicture;
    };
    const Case cases[] = {
        {"a premultiplied edge", 0x804000, 0xFFBF7F, 0xFF8000, false, 1, 0, 0, 0, 0},
        {"not covered", 0x000000, 0xFFFFFF, 0xFF8000, false, 0, 0, 0, 0, 0},
        {"fully covered, the picture's colour", 0xFF8000, 0xFF8000, 0xFF8000, false, 0, 1, 0, 0, 0},
        {"a dark ring: the premultiplied colour shown unblended", 0x804000, 0x804000, 0xFF8000, false, 0, 1, 0, 0, 1},
        {"a fringe brighter than its coverage", 0xC80000, 0xFFFFFF, 0xFF8000, false, 1, 0, 1, 0, 0},
        {"over white, not the backdrop's share", 0x804000, 0xF0BF7F, 0xFF8000, false, 1, 0, 1, 0, 0},
        {"partly covered inside the picture", 0x804000, 0xFFBF7F, 0xFF8000, true, 1, 8, 0, 1, 0},
    };
    for (const Case& c : cases) {
        std::vector<DWORD> black(9, c.ringCovered ? c.picture : 0x000000);
        std::vector<DWORD> white(9, c.ringCovered ? c.picture : 0xFFFFFF);
        const std::vector<DWORD> picture(9, c.picture);
        black[4] = c.black;
        white[4] = c.white;
        const EdgeCounts n = countEdges(black, white, 3, 3, std::vector<bool>(9), picture.data());
        EXPECT_EQ(n.partly, c.partly) << c.what;
        EXPECT_EQ(n.fully, c.fully) << c.what;
        EXPECT_EQ(n.notBlended, c.notBlended) << c.what;
        EXPECT_EQ(n.inside, c.inside) << c.what;
        EXPECT_EQ(n.notPicture, c.notPicture) << c.what;
    }
}

// A portable pixmap of screen pixels, for looking at the edges zoomed.
void savePicture(const std::string& path, const std::vector<DWORD>& pixels, int width, int height) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fprintf(f, "P6\n%d %d\n255\n", width, height);
        for (DWORD p : pixels) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                          static_cast<unsigned char>(p)};
            std::fwrite(rgb, 1, 3, f);
        }
        std::fclose(f);
    }
}

TEST(Compositor, TheOutlinesBlendWithWhatLiesBeneath) {
    const unsigned dpi = displayDpi();
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Backdrop backdrop(screen);
    ASSERT_NE(backdrop.window, nullptr);
    Program program;
    SetWindows set;
    std::string error;
    ASSERT_TRUE(play::startSet(program, set, error)) << error;
    ASSERT_TRUE(play::waitForRest(set.ball)) << "the ball never came to rest: " << describe(windowRect(set.ball));

    struct Part {
        const char* name;
        HWND window;
        unsigned picture;
        int frames;  // the ball's strip: one of them is shown
    };
    const Part parts[] = {
        {"ball", set.ball, IDB_BALL, set_layout::ballFrames},
        {"net", set.net, IDB_NET, 1},
        {"backboard", set.backboard, IDB_BACKBOARD, 1},
    };
    const HWND windows[] = {set.ball, set.net, set.backboard, set.scoreboard};
    RECT setArea = windowRect(set.ball);
    for (HWND w : windows) {
        const RECT r = windowRect(w);
        UnionRect(&setArea, &setArea, &r);
    }
    auto underSet = [&](POINT p) {
        for (HWND w : windows) {
            const RECT r = windowRect(w);
            if (PtInRect(&r, p)) return true;
        }
        return false;
    };
    POINT probe{-1, -1};
    for (POINT p : {POINT{screen.right - 1, 0}, POINT{0, 0}, POINT{screen.right - 1, screen.bottom - 1}})
        if (!underSet(p)) probe = p;
    ASSERT_GE(probe.x, 0) << "every corner of the screen is under the set";
    std::vector<DWORD> overBlack[3], overWhite[3];
    ASSERT_TRUE(backdrop.paint(0x000000, probe, setArea)) << "the black backdrop never showed at " << probe.x << ", "
                                                      << probe.y;
    for (int i = 0; i < 3; ++i) overBlack[i] = readScreen(windowRect(parts[i].window));
    ASSERT_TRUE(backdrop.paint(0xFFFFFF, probe, setArea)) << "the white backdrop never showed";
    for (int i = 0; i < 3; ++i) overWhite[i] = readScreen(windowRect(parts[i].window));
    // Pictures for the documentation, over a light blue-grey desktop.
    if (const char* folder = std::getenv("BASKETBALL_EDGE_PICTURES")) {
        ASSERT_TRUE(backdrop.paint(0xC8D2DC, probe, setArea));
        for (const Part& part : parts) {
            const RECT r = windowRect(part.window);
            savePicture(std::string(folder) + "/" + part.name + "-" + std::to_string(dpi) + ".ppm", readScreen(r),
                        r.right - r.left, r.bottom - r.top);
        }
    }

    for (int i = 0; i < 3; ++i) {
        const Part& part = parts[i];
        const RECT r = windowRect(part.window);
        const int width = r.right - r.left, height = r.bottom - r.top;
        std::vector<bool> skip(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (HWND w : windows) {
                    const RECT o = windowRect(w);
                    if (w != part.window && PtInRect(&o, POINT{r.left + x, r.top + y})) skip[y * width + x] = true;
                }
        int pictureWidth = 0, pictureHeight = 0;
        const std::vector<DWORD> picture = readProgramPicture(part.picture, dpi, pictureWidth, pictureHeight);
        ASSERT_EQ(pictureWidth, width) << part.name;
        ASSERT_EQ(pictureHeight, height * part.frames) << part.name;
        // The frame shown is the one whose colours the fully covered pixels have.
        EdgeCounts edges;
        int frame = 0;
        for (int f = 0; f < part.frames; ++f) {
            EdgeCounts e = countEdges(overBlack[i], overWhite[i], width, height, skip, &picture[f * width * height]);
            if (f == 0 || e.notPicture < edges.notPicture) edges = e, frame = f;
        }
        const int needed = (width + height + 1) / 2;
        std::printf("%s at %u DPI, %dx%d (frame %d): %d partly covered (at least %d), %d fully covered; "
                    "%d not blended, %d amid the picture, %d not the picture's colour\n",
                    part.name, dpi, width, height, frame, edges.partly, needed, edges.fully, edges.notBlended,
                    edges.inside, edges.notPicture);
        EXPECT_GE(edges.fully, width + height) << part.name << " does not show over the backdrop";
        EXPECT_GE(edges.partly, needed) << part.name << ": " << edges.partly
                                        << " partly covered pixels along its outline; the edges do not blend";
        EXPECT_EQ(edges.notBlended + edges.inside + edges.notPicture, 0) << part.name << ": " << edges.firstFault;
    }

    DestroyWindow(backdrop.window);
    backdrop.window = nullptr;
    pressKey(VK_ESCAPE);
    DWORD code = 1;
    EXPECT_TRUE(program.waitExit(play::windowTimeoutMs, code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
