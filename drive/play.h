#pragma once

// Playing the whole program as a user would, for the robots, the soak, the measuring program
// and the demo: start it, close the About screen, throw, drop into the hoop, drag the set, use
// the menu, read the score, and watch for baskets, at any display scale. Built on the desktop
// access of desktop_robot.h.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "desktop_robot.h"

namespace play {

constexpr DWORD firstWindowTimeoutMs = 30000;  // Wine starts slowly on a busy machine
constexpr DWORD windowTimeoutMs = 5000;
constexpr DWORD restTimeoutMs = 20000;

// The items of the backboard's menu, top to bottom.
enum MenuItem { menuSound, menuReset, menuAbout, menuExit };

RECT workArea();
bool sameRect(const RECT& a, const RECT& b);
std::string describe(const RECT& r);
void parkMouse();
// The set's display scale: its backboard's DPI, 96 at 100 %.
unsigned scaleOf(const SetWindows& set);

// Clicks `p` once the window there is `target` and it answers: a window shown over it
// meanwhile (a ball falling past) would take the click. False if it never was.
bool clickOn(HWND target, POINT p);

// Starts the program, closes its opening About screen with a click and waits for the set.
// On failure `error` says what went wrong.
bool startSet(Program& program, SetWindows& set, std::string& error);
// Clicks the About screen shown by `pid` away; false if there is none or it stays.
bool closeAboutScreen(DWORD pid);
// Waits until the ball lies still on a floor: the primary monitor's work area unless told.
bool waitForRest(HWND ball, DWORD timeoutMs = restTimeoutMs, LONG floor = workArea().bottom);

std::vector<POINT> path(POINT from, POINT to, int steps);
// Presses on the ball's centre; true when the ball took hold (it centres itself on the cursor).
bool grabBall(HWND ball);
class BasketWatcher;
// Grabs the ball, moves the cursor through `points` and lets go. False if the ball was missed.
// A watcher, if given, learns when the shot is held and when it is released.
bool throwThrough(HWND ball, const std::vector<POINT>& points, BasketWatcher* watcher = nullptr);
// Carries the ball so that its centre stands at `centre` and lets it go without speed: it
// falls straight down. False if the ball was missed.
bool letGoAt(HWND ball, POINT centre, BasketWatcher* watcher = nullptr);
// Where a ball's centre stands to drop through the set's hoop: over the hoop's centre line.
POINT aboveHoop(const SetWindows& set);
// Carries the ball from where it lies to above the set's hoop and lets it drop.
bool dropIntoHoop(const SetWindows& set, BasketWatcher* watcher = nullptr);
// A point of the backboard (client coordinates) that the ball does not cover and is not near:
// where a click or a press reaches the backboard even while the ball flies.
POINT backboardGrip(const SetWindows& set);
// Whether all four windows moved as one (host, backboard, net, scoreboard) stand where a board
// with its top-left corner at (x, y) puts them. The program moves them one after another.
bool setAt(const SetWindows& set, int x, int y);
// Drags the backboard so that its top-left corner moves to (x, y); false if the set did not all
// go there.
bool dragSetTo(const SetWindows& set, int x, int y, int steps = 10);

// The score the scoreboard shows, read from the screen against the program's digit strip at
// the set's scale; -1 when it cannot be read (covered, mid-paint).
int readScore(const SetWindows& set);

// Opens the backboard's menu with a right click at a point of the backboard clear of the ball;
// null if no menu came or it was not drawn.
HWND openMenu(const Program& program, const SetWindows& set);
// Clicks item `index` once the menu is drawn; true when the menu took the click and closed.
bool chooseMenuItem(HWND menu, int index);
bool closeMenu(const Program& program);
// Menu, About, then a click on the screen: the About screen opened and closed again.
bool showAboutFromMenu(const Program& program, const SetWindows& set);

// A diagnostic: watches the ball from a thread of its own and counts the baskets it sees: the ball falling
// into the hoop's opening while a shot is live. The caller says when it released a throw.
class BasketWatcher {
public:
    explicit BasketWatcher(const SetWindows& set);
    ~BasketWatcher();
    BasketWatcher(const BasketWatcher&) = delete;
    BasketWatcher& operator=(const BasketWatcher&) = delete;

    // While the ball is held it cannot score; once thrown it can, until it scores.
    void shotHeld() { shotLive = false; }
    void shotReleased() { shotLive = true; }
    int baskets() const { return count; }
    void resetCount() { count = 0; }

private:
    void watch();

    SetWindows set;
    std::atomic<bool> stop{false};
    std::atomic<bool> shotLive{false};
    std::atomic<int> count{0};
    std::thread thread;
};

}  // namespace play
