#pragma once

#include <windows.h>

// One native window bound to one object. The shared window procedure turns the messages the
// system delivers into calls of the virtual slots below; subclasses override slots and never
// look at message numbers. The object must outlive its native window: the window keeps a plain
// pointer to it in its extra bytes.
class Window {
public:
    Window(const char* className, int width, int height, unsigned cursorId, Window* owner,
           bool transparent, bool hidden);
    virtual ~Window();

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void onPaint();
    virtual void onTimer(WPARAM timerId);
    virtual void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags);
    virtual void onLButtonDown(WPARAM keys, int x, int y);
    virtual void onLButtonUp(WPARAM keys, int x, int y);
    virtual void onRButtonDown(WPARAM keys, int x, int y);
    virtual void onRButtonUp(WPARAM keys, int x, int y);
    virtual void onMouseMove(WPARAM keys, int x, int y);
    virtual void onInitMenu(HMENU menu);
    virtual void onInitMenuPopup(HMENU menu);
    virtual void onActivateApp(bool active, DWORD threadId);
    virtual void onDestroy();
    virtual LRESULT onUserMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool onCommand(WPARAM wParam, LPARAM lParam);
    virtual bool onCreate();
    // The mouse capture left this window for `newCapture` (null: for none), taken by another
    // window or released, by the system or by this program.
    virtual void onCaptureChanged(HWND newCapture);
    // The window's monitor changed its scale, or the window was moved onto a monitor of
    // another scale. By default it takes the new scale and the suggested rectangle.
    virtual void onDpiChanged(unsigned newDpi, const RECT& suggested);
    // Sizes are set for `dpi`: build what depends on the scale (pictures, shapes) anew.
    virtual bool onScaleChanged();
    // Monitors came or went, or changed their mode or work area (WM_DISPLAYCHANGE, or
    // WM_SETTINGCHANGE for the work area): the window may stand where no monitor is.
    virtual void onDisplayChange();

    // Takes `newDpi`: the size becomes the 100 % size times newDpi / 96, then onScaleChanged.
    // If that fails, the old scale and size stay. Does not move or resize the native window.
    bool setDpi(unsigned newDpi);
    // The first half of setDpi: the DPI and the size for it, nothing rebuilt.
    void scaleSizeTo(unsigned newDpi);

    // Registers the class, creates the window at (0, 0), binds this object, runs onCreate and
    // shows the window. False if any step fails; after a failed onCreate the window is closed.
    bool create(HINSTANCE instance);

    // The object bound to a window this framework made, or null.
    static Window* boundTo(HWND hwnd);

    const char* className;  // also the window title
    int baseWidth;          // at 100 %
    int baseHeight;
    int width;              // in pixels at dpi
    int height;
    unsigned dpi;
    unsigned cursorId;      // 0: the system arrow
    Window* owner;          // null for a top-level window
    bool transparent;
    bool hidden;
    bool layered = false;   // made WS_EX_LAYERED: shown by the subclass with per-pixel alpha
    HINSTANCE instance;
    HWND hwnd;              // keeps the stale handle once the window is destroyed
    int exitCode;           // posted with WM_QUIT by the default onDestroy
};

ATOM registerClass(const WNDCLASSA& wc);
// The cursor `cursorId` of `instance` at the size for `dpi`, or at `size` pixels: a copy of
// that size, never a shared one, kept for the life of the process (a few sizes at most), or
// null.
HCURSOR cursorForDpi(HINSTANCE instance, unsigned cursorId, unsigned dpi);
HCURSOR cursorOfSize(HINSTANCE instance, unsigned cursorId, int size);
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
