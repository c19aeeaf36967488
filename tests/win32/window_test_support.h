#pragma once

// Helpers for tests that make real windows in the test process: pumping the queue, taking the
// WM_QUIT that a destroyed window posts, watching the messages a window is sent, reading pixels
// back and counting the process's GDI objects.

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Dispatches what is queued for this thread, at most `limit` messages (a window that never
// validates its update region would otherwise keep the loop busy with WM_PAINT). A WM_QUIT
// met on the way is put back so that takeQuit still sees it.
int pumpMessages(int limit = 1000);

// Removes the WM_QUIT pending for this thread, if any, and returns whether there was one;
// its exit code goes to `exitCode`.
bool takeQuit(int* exitCode = nullptr);

// GetPixel on the window's own DC, in client coordinates.
COLORREF pixelAt(HWND hwnd, int x, int y);

// Fills the client area straight through the window's DC, outside any paint.
void fillClient(HWND hwnd, COLORREF colour);

// The number of GDI objects the process holds, stock objects excepted, or -1 when this system
// offers no way to count them. GetGuiResources where it works; Wine's GetGuiResources is a
// stub, so there the process's GDI handle table (PEB GdiSharedHandleTable) is counted instead,
// after checking that a new bitmap moves that count by one. `how` names the method used.
long gdiObjectCount(std::string* how = nullptr);

// Runs the calling thread as a user of `language` would while it lives: Windows picks
// resources by the thread's interface language, Wine by the thread's locale.
class ThreadLanguage {
public:
    explicit ThreadLanguage(LANGID language) : locale_(GetThreadLocale()), ui_(GetThreadUILanguage()) {
        SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
        SetThreadUILanguage(language);
    }
    ~ThreadLanguage() {
        SetThreadUILanguage(ui_);
        SetThreadLocale(locale_);
    }
    ThreadLanguage(const ThreadLanguage&) = delete;
    ThreadLanguage& operator=(const ThreadLanguage&) = delete;

private:
    LCID locale_;
    LANGID ui_;
};

// Watches, through a WH_CALLWNDPROC hook of this thread, the messages sent to windows of this
// thread while it lives; `onMessage` (optional) runs before the window procedure does. One spy
// at a time. Posted messages do not pass this hook.
class MessageSpy {
public:
    struct Seen {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        WINDOWPOS position;  // a copy of *lParam for WM_WINDOWPOSCHANGING / -CHANGED
    };

    explicit MessageSpy(std::function<void(const Seen&)> onMessage = {});
    ~MessageSpy();
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;

    std::vector<Seen> seen;

    std::vector<Seen> to(HWND hwnd, UINT message) const;
    bool sawMessage(UINT message) const;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK handle;
    std::function<void(const Seen&)> onMessage;
};

// A fixture for window tests: unique class names (window classes stay registered for the
// whole process, so every test makes its own), a clean queue before and after, and the
// classes unregistered afterwards. Window objects must be destroyed before TearDown; the
// recorders of slot_recorder.h take their native windows down with them.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // "<stem>-<n>", unique in the process; the text lives as long as the fixture.
    const char* uniqueClassName(const char* stem);

    HINSTANCE instance = GetModuleHandleA(nullptr);

private:
    std::deque<std::string> classNames;
};
