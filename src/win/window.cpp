#include "win/window.h"

#include "win/dpi.h"

#if !defined(_WIN64)
static_assert(sizeof(WNDCLASSEXA) == 48, "the 32-bit extended class record is 48 bytes");
#endif

namespace {

// The program's icon group; a module without it gets the system's default icon.
constexpr WORD appIconId = 101;

// Status posted with WM_QUIT when a window of ours is destroyed before an object was bound.
constexpr int noObjectExitCode = static_cast<int>(0x80004003u);

// Mouse coordinates are signed: a captured mouse left of or above the window is negative.
int signedLow(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int signedHigh(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

// The class cursor: the hand at the scale of the primary monitor, where the set starts, from
// the same cache as every other size (a shared load could hand back another size).
HCURSOR loadCursor(HINSTANCE instance, unsigned cursorId) {
    const unsigned dpi = monitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    HCURSOR cursor = cursorForDpi(instance, cursorId, dpi);
    return cursor ? cursor : LoadCursorA(instance, MAKEINTRESOURCEA(cursorId));
}

Window* boundObject(HWND hwnd) {
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, 0));
}

// Read by the tablet service (Windows 7 on): a finger or pen held still would otherwise wait
// for the press-and-hold ring before the button goes down, and a quick pen stroke would be
// taken for a flick (a navigation gesture) instead of a throw.
constexpr char tabletProperty[] = "MicrosoftTabletPenServiceProperty";
constexpr DWORD tabletDisablePressAndHold = 0x00000001;
constexpr DWORD tabletDisableFlicks = 0x00010000;

// The hand at the window's own scale, which on a monitor of another scale is not the class
// cursor's (loaded once, for the primary).
bool setScaledCursor(const Window& window, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (window.cursorId == 0 || reinterpret_cast<HWND>(wParam) != hwnd || LOWORD(lParam) != HTCLIENT)
        return false;
    HCURSOR cursor = cursorForDpi(window.instance, window.cursorId, window.dpi);
    if (cursor == nullptr) return false;
    SetCursor(cursor);
    return true;
}

// noexcept: an exception must never unwind through the system's frames above windowProc.
LRESULT dispatch(Window& window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message >= WM_USER && message < WM_APP) return window.onUserMessage(message, wParam, lParam);

    switch (message) {
    case WM_DESTROY:
        RemovePropA(hwnd, tabletProperty);
        window.onDestroy();
        return 0;
    case WM_PAINT: window.onPaint(); return 0;
    case WM_ACTIVATEAPP:
        window.onActivateApp(wParam != 0, static_cast<DWORD>(lParam));
        return 0;
    case WM_KEYDOWN:
        window.onKeyDown(wParam, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND: return window.onCommand(wParam, lParam) ? 1 : 0;
    case WM_TIMER: window.onTimer(wParam); return 0;
    case WM_INITMENU: window.onInitMenu(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_INITMENUPOPUP: window.onInitMenuPopup(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_MOUSEMOVE:
        window.onMouseMove(wParam, signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        window.onLButtonDown(wParam, signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_LBUTTONUP:
        window.onLButtonUp(wParam, signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        window.onRButtonDown(wParam, signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_RBUTTONUP:
        window.onRButtonUp(wParam, signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_DPICHANGED:
        if (lParam) window.onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        window.onCaptureChanged(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DISPLAYCHANGE: window.onDisplayChange(); return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA) window.onDisplayChange();
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_SETCURSOR:
        if (setScaledCursor(window, hwnd, wParam, lParam)) return TRUE;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    // Touch and pen (WM_POINTER*) go on to default processing too, which turns them into the
    // mouse messages above.
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

Window::Window(const char* className_, int width_, int height_, unsigned cursorId_,
               Window* owner_, bool transparent_, bool hidden_)
    : className(className_), baseWidth(width_), baseHeight(height_), width(width_),
      height(height_), dpi(96), cursorId(cursorId_), owner(owner_),
      transparent(transparent_), hidden(hidden_), instance(nullptr), hwnd(nullptr), exitCode(0) {}

Window::~Window() = default;

void Window::onPaint() {}
void Window::onTimer(WPARAM) {}
void Window::onKeyDown(WPARAM, unsigned short, unsigned short) {}
void Window::onLButtonDown(WPARAM, int, int) {}
void Window::onLButtonUp(WPARAM, int, int) {}
void Window::onRButtonDown(WPARAM, int, int) {}
void Window::onRButtonUp(WPARAM, int, int) {}
void Window::onMouseMove(WPARAM, int, int) {}
void Window::onInitMenu(HMENU) {}
void Window::onInitMenuPopup(HMENU) {}
void Window::onActivateApp(bool, DWORD) {}
void Window::onDestroy() { PostQuitMessage(exitCode); }

LRESULT Window::onUserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool Window::onCommand(WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, WM_COMMAND, wParam, lParam) != 0;
}

bool Window::onCreate() { return true; }

void Window::onCaptureChanged(HWND) {}

void Window::onDisplayChange() {}

Window* Window::boundTo(HWND hwnd) { return hwnd != nullptr ? boundObject(hwnd) : nullptr; }

void Window::onDpiChanged(unsigned newDpi, const RECT& suggested) {
    setDpi(newDpi);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Window::onScaleChanged() { return true; }

void Window::scaleSizeTo(unsigned newDpi) {
    dpi = newDpi > 0 ? newDpi : 96;
    width = MulDiv(baseWidth, static_cast<int>(dpi), 96);
    height = MulDiv(baseHeight, static_cast<int>(dpi), 96);
}

bool Window::setDpi(unsigned newDpi) {
    const unsigned before = dpi;
    scaleSizeTo(newDpi);
    if (onScaleChanged()) return true;
    // onScaleChanged keeps the old pictures when it cannot make the new: so do the sizes.
    scaleSizeTo(before);
    return false;
}

bool Window::create(HINSTANCE instance_) {
    instance = instance_;

    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_SAVEBITS;
    wc.lpfnWndProc = windowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(Window*);  // the object pointer, pointer-sized on 64-bit builds
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(appIconId));
    wc.hCursor = cursorId != 0 ? loadCursor(instance, cursorId) : LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = className;
    if (registerClass(wc) == 0) return false;

    DWORD style = WS_POPUP;
    DWORD exStyle = WS_EX_TOOLWINDOW;
    if (owner == nullptr) {
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        exStyle = WS_EX_APPWINDOW;
    }
    if (transparent) exStyle |= WS_EX_TRANSPARENT;
    if (layered) exStyle |= WS_EX_LAYERED;

    hwnd = CreateWindowExA(exStyle, className, className, style, 0, 0, width, height,
                           owner != nullptr ? owner->hwnd : nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return false;

    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(this));
    SetPropA(hwnd, tabletProperty,
             reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(tabletDisablePressAndHold | tabletDisableFlicks)));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);

    // Made at the 100 % size; the scale of the monitor it is on is known only now.
    const unsigned created = windowDpi(hwnd);
    if (created != 96) {
        scaleSizeTo(created);
        SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    if (!onCreate()) {
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        return false;
    }

    if (hidden) {
        ShowWindow(hwnd, SW_HIDE);
    } else {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    }
    return true;
}

HCURSOR cursorForDpi(HINSTANCE instance, unsigned cursorId, unsigned dpi) {
    return cursorOfSize(instance, cursorId, cursorSizeForDpi(dpi > 0 ? dpi : 96));
}

HCURSOR cursorOfSize(HINSTANCE instance, unsigned cursorId, int size) {
    // Held for the program's life by design, never destroyed: the class cursor is among them
    // and serves the class until the process ends, and there is one per cursor size (a few at
    // most). The system frees them with the process.
    struct Kept {
        HINSTANCE instance;
        unsigned id;
        int size;
        HCURSOR cursor;
    };
    static Kept kept[8];
    for (const Kept& k : kept)
        if (k.cursor != nullptr && k.instance == instance && k.id == cursorId && k.size == size) return k.cursor;
    for (Kept& k : kept) {
        if (k.cursor != nullptr) continue;
        // Never LR_SHARED: a shared load hands back whichever size was cached first, even at
        // the system's own size once the primary's scale has changed since sign-in.
        k = {instance, cursorId, size,
             static_cast<HCURSOR>(LoadImageA(instance, MAKEINTRESOURCEA(cursorId), IMAGE_CURSOR, size, size, 0))};
        return k.cursor;
    }
    return nullptr;  // more sizes than any desk has: the class cursor stands in
}

ATOM registerClass(const WNDCLASSA& wc) {
    // The extended registration where the system has it, the plain one otherwise.
    HMODULE user32 = GetModuleHandleA("USER32");
    if (user32 != nullptr && GetProcAddress(user32, "RegisterClassExA") != nullptr) {
        WNDCLASSEXA ex{};
        ex.cbSize = sizeof ex;  // 48 bytes on 32-bit builds, 80 on 64-bit ones
        ex.style = wc.style;
        ex.lpfnWndProc = wc.lpfnWndProc;
        ex.cbClsExtra = wc.cbClsExtra;
        ex.cbWndExtra = wc.cbWndExtra;
        ex.hInstance = wc.hInstance;
        ex.hIcon = wc.hIcon;
        ex.hCursor = wc.hCursor;
        ex.hbrBackground = wc.hbrBackground;
        ex.lpszMenuName = wc.lpszMenuName;
        ex.lpszClassName = wc.lpszClassName;
        ex.hIconSm = nullptr;
        return RegisterClassExA(&ex);
    }
    return RegisterClassA(&wc);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Null while CreateWindowExA runs: create binds the object only once the window exists.
    Window* window = boundObject(hwnd);
    if (window == nullptr) {
        if (message == WM_DESTROY) {
            PostQuitMessage(noObjectExitCode);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return dispatch(*window, hwnd, message, wParam, lParam);
}
