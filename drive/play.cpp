#include "play.h"

#include "res/resource_ids.h"
#include "sim/hoop.h"
#include "win/dpi.h"
#include "windows/set_layout.h"
#include "windows/set_scale.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

using set_scale::scaled;

namespace play {

RECT workArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string describe(const RECT& r) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld, %ld)-(%ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

void parkMouse() { mouseTo(1010, 5); }

unsigned scaleOf(const SetWindows& set) { return windowDpi(set.backboard); }

bool clickOn(HWND target, POINT p) {
    if (!waitUntil([&] { return WindowFromPoint(p) == target && caughtUp(target); }, windowTimeoutMs)) return false;
    click(p.x, p.y);
    return true;
}

bool closeAboutScreen(DWORD pid) {
    HWND about = findAboutScreen(pid);
    if (!about || !clickOn(about, centreOf(windowRect(about)))) return false;
    return waitUntil([&] { return findAboutScreen(pid) == nullptr; }, windowTimeoutMs);
}

bool startSet(Program& program, SetWindows& set, std::string& error) {
    parkMouse();
    if (!program.start()) {
        error = "cannot start " + programPath;
        return false;
    }
    if (!waitUntil([&] { return findAboutScreen(program.pid) != nullptr; }, firstWindowTimeoutMs)) {
        error = "no About screen";
        return false;
    }
    if (!closeAboutScreen(program.pid)) {
        error = "a click did not close the About screen";
        return false;
    }
    if (!waitUntil([&] { return findSet(program.pid, set); }, windowTimeoutMs)) {
        error = "the five windows did not appear";
        return false;
    }
    return true;
}

bool waitForRest(HWND ball, DWORD timeoutMs, LONG floor) {
    // Each poll is answered by the program, which steps a moving ball at least every 50 ms
    // once it runs: unchanged over 16 answered polls (three steps or more) is rest, where a
    // stalled program answers none.
    RECT last = windowRect(ball);
    int stillPolls = 0;
    return waitUntil(
        [&] {
            if (!caughtUp(ball)) return false;
            const RECT now = windowRect(ball);
            stillPolls = sameRect(now, last) ? stillPolls + 1 : 0;
            last = now;
            return now.bottom == floor && stillPolls >= 16;
        },
        timeoutMs);
}

std::vector<POINT> path(POINT from, POINT to, int steps) {
    std::vector<POINT> points;
    for (int i = 1; i <= steps; ++i)
        points.push_back({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    return points;
}

bool grabBall(HWND ball) {
    const POINT c = centreOf(windowRect(ball));
    mouseTo(c.x, c.y);
    leftDown();
    // A ball in hand holds the capture; one that flew on was missed.
    return caughtUp(ball) && captureOf(ball) == ball;
}

bool throwThrough(HWND ball, const std::vector<POINT>& points, BasketWatcher* watcher) {
    if (watcher) watcher->shotHeld();
    const bool held = grabBall(ball);
    // A press the ball missed went to what lies under it, the backboard perhaps: not dragged.
    if (held)
        for (const POINT& p : points) mouseTo(p.x, p.y);
    leftUp();
    if (held && watcher) watcher->shotReleased();
    return held;
}

namespace {

// Moves the held ball's cursor from `from` a pixel at a time, `dx` a step, until the program
// moves the ball: it has taken a drag sample a unit away (a pixel is a unit or less at every
// scale). Returns where the cursor stopped.
POINT stepUntilTheBallMoves(HWND ball, POINT from, int dx) {
    const RECT before = windowRect(ball);
    POINT p = from;
    for (int step = 0; step < 4; ++step) {
        p.x += dx;
        mouseTo(p.x, p.y);  // handled when it returns
        if (!sameRect(windowRect(ball), before)) break;
    }
    return p;
}

}  // namespace

bool letGoAt(HWND ball, POINT centre, BasketWatcher* watcher) {
    if (watcher) watcher->shotHeld();
    const bool held = grabBall(ball);
    if (held) {
        for (const POINT& p : path(centreOf(windowRect(ball)), centre, 12)) mouseTo(p.x, p.y);
        // A release measures its speed from the older of the last two drag samples. Queued
        // moves may merge, and a nudge may stay within one unit, leaving the way's last long
        // move as that sample: a throw. So the ball first catches up, then two moves are each
        // seen before the next, a unit out and back, too close to measure a speed.
        waitUntil(
            [&] {
                const POINT now = centreOf(windowRect(ball));
                return std::abs(now.x - centre.x) <= 1 && std::abs(now.y - centre.y) <= 1;
            },
            windowTimeoutMs);
        stepUntilTheBallMoves(ball, stepUntilTheBallMoves(ball, centre, 1), -1);
    }
    leftUp();
    if (held && watcher) watcher->shotReleased();
    return held;
}

POINT aboveHoop(const SetWindows& set) {
    const RECT board = windowRect(set.backboard);
    const unsigned dpi = scaleOf(set);
    return {board.left + scaled(hoop::centre, dpi), board.top + scaled(25, dpi)};
}

bool dropIntoHoop(const SetWindows& set, BasketWatcher* watcher) {
    return letGoAt(set.ball, aboveHoop(set), watcher);
}

POINT backboardGrip(const SetWindows& set) {
    static const POINT candidates[] = {{93, 30}, {40, 40}, {146, 40}, {93, 70}, {30, 90}, {156, 90}};
    const RECT board = windowRect(set.backboard);
    for (const POINT& c : candidates) {
        const POINT p{board.left + c.x, board.top + c.y};
        const POINT ball = centreOf(windowRect(set.ball));
        const bool clear = std::abs(ball.x - p.x) > 70 || std::abs(ball.y - p.y) > 70;
        if (clear && WindowFromPoint(p) == set.backboard) return c;
    }
    return candidates[0];
}

bool setAt(const SetWindows& set, int x, int y) {
    const unsigned dpi = scaleOf(set);
    const auto at = [](HWND w, LONG left, LONG top) {
        const RECT r = windowRect(w);
        return r.left == left && r.top == top;
    };
    return at(set.host, x, y) && at(set.backboard, x, y) &&
           at(set.net, x + scaled(set_layout::netOffsetX, dpi), y + scaled(set_layout::netOffsetY, dpi)) &&
           at(set.scoreboard, x, y + scaled(set_layout::scoreboardOffsetY, dpi));
}

bool dragSetTo(const SetWindows& set, int x, int y, int steps) {
    // The grip is clear of the ball, but a flying ball may still cross it and take the press:
    // only then is it pressed again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const RECT board = windowRect(set.backboard);
        const POINT c = backboardGrip(set);
        const POINT grip{board.left + c.x, board.top + c.y};
        mouseTo(grip.x, grip.y);
        leftDown();
        if (!caughtUp(set.backboard)) {
            std::printf("dragSetTo: the board's thread did not answer after the press\n");
            return false;
        }
        const HWND took = captureOf(set.backboard);
        if (took != set.backboard) {
            leftUp();
            if (took == set.ball) continue;
            std::printf("dragSetTo: the press at (%ld, %ld) took no capture on the board\n", grip.x, grip.y);
            return false;
        }
        for (const POINT& p : path(grip, {x + c.x, y + c.y}, steps)) mouseTo(p.x, p.y);
        leftUp();
        if (waitUntil([&] { return setAt(set, x, y); }, windowTimeoutMs)) return true;
        std::printf("dragSetTo: wanted the board at (%d, %d); board %s, net %s, scoreboard %s\n", x, y,
                    describe(windowRect(set.backboard)).c_str(), describe(windowRect(set.net)).c_str(),
                    describe(windowRect(set.scoreboard)).c_str());
        return false;
    }
    std::printf("dragSetTo: the ball took the press three times\n");
    return false;
}

// --- the score ----------------------------------------------------------------------------

namespace {

// The program's digit strip at `dpi`, ten cells one below the other; empty if it cannot be read.
const std::vector<DWORD>& digitStrip(unsigned dpi) {
    static std::map<unsigned, std::vector<DWORD>> strips;
    std::vector<DWORD>& strip = strips[dpi];
    if (strip.empty()) {
        int width = 0, height = 0;
        strip = readProgramPicture(IDB_DIGITS, dpi, width, height);
        const set_layout::WindowSize cell = set_layout::digitCell;
        if (width != scaled(cell.width, dpi) || height != 10 * scaled(cell.height, dpi)) strip.clear();
    }
    return strip;
}

// The digit shown in the cell at (x, y) of the screen, or -1.
int readDigit(int x, int y, unsigned dpi) {
    const std::vector<DWORD>& strip = digitStrip(dpi);
    if (strip.empty()) return -1;
    const std::vector<DWORD> shown = readScreen({x, y, x + scaled(set_layout::digitCell.width, dpi),
                                                 y + scaled(set_layout::digitCell.height, dpi)});
    if (shown.empty() || shown.size() * 10 != strip.size()) return -1;
    for (int digit = 0; digit < 10; ++digit) {
        const auto cell = strip.begin() + static_cast<std::ptrdiff_t>(digit * shown.size());
        if (std::equal(shown.begin(), shown.end(), cell)) return digit;
    }
    return -1;
}

}  // namespace

int readScore(const SetWindows& set) {
    const RECT r = windowRect(set.scoreboard);
    const unsigned dpi = scaleOf(set);
    const int y = r.top + scaled(set_layout::digitCellY, dpi);
    const int tens = readDigit(r.left + scaled(set_layout::digitCellX[0], dpi), y, dpi);
    const int units = readDigit(r.left + scaled(set_layout::digitCellX[1], dpi), y, dpi);
    if (tens < 0 || units < 0) return -1;
    return tens * 10 + units;
}

// --- the menu -----------------------------------------------------------------------------

namespace {

// A menu is ready for a click once its thread has handled all before, nothing of it waits to
// be painted and the screen shows it (`index`: that item's band holds its text).
bool menuReady(HWND menu, int index = 0) {
    return waitUntil(
        [&] {
            if (!caughtUp(menu) || GetUpdateRect(menu, nullptr, FALSE)) return false;
            const RECT r = windowRect(menu);
            const LONG h = (r.bottom - r.top) / 4;
            const std::vector<DWORD> band = readScreen({r.left + 2, r.top + h * index + 2, r.right - 2, r.top + h * (index + 1) - 2});
            return std::any_of(band.begin(), band.end(), [&](DWORD p) { return p != band.front(); });
        },
        windowTimeoutMs);
}

}  // namespace

HWND openMenu(const Program& program, const SetWindows& set) {
    // The menu last closed may linger a moment.
    if (!waitUntil([&] { return findPopupMenu(program.pid) == nullptr; }, windowTimeoutMs)) return nullptr;
    // The grip is clear of the ball, but a flying ball may still cross it and take the press:
    // only then is it pressed again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const RECT board = windowRect(set.backboard);
        const POINT c = backboardGrip(set);
        const POINT grip{board.left + c.x, board.top + c.y};
        mouseTo(grip.x, grip.y);
        const bool clear = WindowFromPoint(grip) == set.backboard;
        rightDown();
        caughtUp(set.backboard);
        HWND menu = nullptr;
        // A loaded machine may show the menu some round trips after the press.
        if (clear)
            waitUntil([&] { return (menu = findPopupMenu(program.pid)) || WindowFromPoint(grip) != set.backboard; },
                      windowTimeoutMs);
        if (!menu) menu = findPopupMenu(program.pid);  // shown over the grip since the last look
        const bool crossed = !clear || (!menu && WindowFromPoint(grip) != set.backboard);
        rightUp();
        if (menu || !crossed) return menu && menuReady(menu) ? menu : nullptr;
    }
    return nullptr;
}

bool chooseMenuItem(HWND menu, int index) {
    if (!menuReady(menu, index)) return false;
    const RECT r = windowRect(menu);
    click(r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) * (2 * index + 1) / 8);
    // A menu closes at once on a click it takes.
    return waitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, windowTimeoutMs);
}

bool closeMenu(const Program& program) {
    if (HWND menu = findPopupMenu(program.pid))
        if (!menuReady(menu)) return false;
    pressKey(VK_ESCAPE);
    return waitUntil([&] { return findPopupMenu(program.pid) == nullptr; }, windowTimeoutMs);
}

bool showAboutFromMenu(const Program& program, const SetWindows& set) {
    HWND menu = openMenu(program, set);
    if (!menu || !chooseMenuItem(menu, menuAbout)) return false;
    if (!waitUntil([&] { return findAboutScreen(program.pid) != nullptr; }, windowTimeoutMs)) return false;
    return closeAboutScreen(program.pid);
}

// --- baskets ------------------------------------------------------------------------------

BasketWatcher::BasketWatcher(const SetWindows& watched) : set(watched) {
    thread = std::thread([this] { watch(); });
}

BasketWatcher::~BasketWatcher() {
    stop = true;
    thread.join();
}

void BasketWatcher::watch() {
    // The hoop's opening below the backboard, as the program judges a basket.
    LONG lastTop = windowRect(set.ball).top;
    bool wasIn = false;
    while (!stop) {
        const RECT board = windowRect(set.backboard);
        const RECT ball = windowRect(set.ball);
        const unsigned dpi = scaleOf(set);
        const bool falling = ball.top > lastTop;
        const bool inOpening = ball.left >= board.left + scaled(hoop::openingLeft, dpi) &&
                               ball.right <= board.left + scaled(hoop::openingRight, dpi) &&
                               ball.top >= board.top + scaled(hoop::basketTopBelowTop, dpi) &&
                               ball.bottom <= board.bottom + scaled(hoop::basketBottomBelowBottom, dpi);
        const bool in = inOpening && falling;
        if (in && !wasIn && shotLive.exchange(false)) ++count;
        wasIn = in;
        lastTop = ball.top;
        Sleep(2);  // paces this diagnostic's sampling
    }
}

}  // namespace play
