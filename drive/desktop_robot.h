#pragma once

// What the robot does with the desktop: starts the program, finds its windows, moves the
// mouse and presses keys through SendInput, and reads the screen back.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Path of basketball.exe, as given on the command line.
extern std::string programPath;
// A Unix path as Wine's drive Z: names it; any other path as it is.
std::string windowsPath(const std::string& path);

// Polls `condition` every few milliseconds until it holds or `timeoutMs` has passed.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// True once the thread of `window` has handled everything queued for it before the call: two
// round trips of WM_NULL, as a message call serves sent messages before it returns queued
// ones. A "nothing happened" check asserts only after this. False if the thread does not answer.
bool caughtUp(HWND window);
// The window holding the mouse capture of `window`'s thread, or null.
HWND captureOf(HWND window);

// One running copy of the program. Ends it by force if a test leaves it running.
class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool start();
    bool running() const;
    // Waits for the process to end; false on timeout.
    bool waitExit(DWORD timeoutMs, DWORD& exitCode) const;

    DWORD pid = 0;
    HANDLE process = nullptr;
};

// How many lines of the text file at `path` contain `text`; 0 when it cannot be read.
int countLinesWith(const std::string& path, const std::string& text);

// The process that made `window`.
DWORD processOf(HWND window);

// The top-level window of process `pid` with class `className` and title `title`
// (null title: any), or null.
HWND findWindowOf(DWORD pid, const char* className, const char* title);
// The visible About screen (a dialog) of process `pid`, or null.
HWND findAboutScreen(DWORD pid);
// The visible popup menu window of process `pid`, or null.
HWND findPopupMenu(DWORD pid);
// Every window of process `pid`, top-level and child, visible or not.
int countWindowsOf(DWORD pid);

struct SetWindows {
    HWND host = nullptr;
    HWND backboard = nullptr;
    HWND scoreboard = nullptr;
    HWND ball = nullptr;
    HWND net = nullptr;
};
// Finds all five windows of the set of process `pid`; false while any is missing or hidden.
bool findSet(DWORD pid, SetWindows& set);

RECT windowRect(HWND window);
POINT centreOf(const RECT& r);
// Position of `window` in the stacking order of top-level windows, 0 at the top.
int stackIndex(HWND window);

// Mouse and keyboard, as a user would use them: each call waits until the cursor is there and
// the window taking the input (the capture's, else the one under the cursor) has handled it.
void mouseTo(int x, int y);
void leftDown();
void leftUp();
void rightDown();
void rightUp();
void click(int x, int y);
void rightClick(int x, int y);
void pressKey(WORD virtualKey);

// Screen pixels of `r` as 0x00RRGGBB, row by row.
std::vector<DWORD> readScreen(const RECT& r);
// Pixels of a bitmap resource of the program's file, rows [top, top + height), same format.
// Of a bitmap with alpha, a pixel not wholly covered reads as 0, as what lay past a shape did:
// only the wholly covered ones look the same whether the window blends its edge or cuts it.
std::vector<DWORD> readProgramBitmap(int resourceId, int top, int height, int& width);
// Every pixel of `bitmap`, same format; `width` and `height` are set to its size.
std::vector<DWORD> bitmapPixels(HBITMAP bitmap, int& width, int& height);
// The program's picture `bitmapId` as the program makes it for a display of `dpi`; same format.
std::vector<DWORD> readProgramPicture(unsigned bitmapId, unsigned dpi, int& width, int& height);
// The whole bitmap resource of the program's file in one language, whatever the robot's own;
// with alpha, as readProgramBitmap.
std::vector<DWORD> readProgramBitmapIn(int resourceId, LANGID language, int& width, int& height);
// The program's menu resource in one language, loaded into the robot; null if it has none.
HMENU loadProgramMenuIn(int resourceId, LANGID language);

// GDI and USER objects held by the process. Where the system does not count them (Wine),
// the GDI handles are counted from the process's handle table and USER objects as windows.
struct ObjectCounts {
    long gdi = -1;
    long user = -1;
    std::string how;  // how the GDI objects were counted, or why they could not be
};
ObjectCounts objectCountsOf(const Program& program);
