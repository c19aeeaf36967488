// Plays a short scripted game with the real program and films the screen: the About screen,
// the ball falling in, a throw that scores, the set dragged across, another basket. Writes
// frames of the screen as BMP files for scripts/demo to turn into a GIF, and one full-size
// still for the screenshot: the program's windows as the screen shows them, on a painted
// desktop (the virtual screen's own is black), with the cursor drawn in.
//
//   demo_player basketball.exe frame_folder
//
// The folder gets frame_NNNN.bmp, frames.txt ("file milliseconds" per frame), still.bmp and
// still.txt (the still's crop rectangle: left top width height).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "play.h"

using namespace play;

namespace {

std::string folder;

bool writeBmp(const std::string& path, HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    if (!GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS)) return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    return std::fclose(f) == 0;
}

// A desktop to play on: a soft gradient, where the virtual screen is plain black.
void paintDesktop(HDC dc, int width, int height) {
    for (int y = 0; y < height; y += 4) {
        const int t = y * 255 / height;
        HBRUSH brush = CreateSolidBrush(RGB(40 + t / 8, 84 + t / 6, 120 + t / 5));
        const RECT band{0, y, width, y + 4};
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

struct ShapeContext {
    DWORD pid;
    HRGN shapes;
};

// Adds the screen area of a visible top-level window of the program: its region if it has one.
BOOL CALLBACK addWindowShape(HWND window, LPARAM context) {
    auto* c = reinterpret_cast<ShapeContext*>(context);
    if (processOf(window) != c->pid || !IsWindowVisible(window)) return TRUE;
    const RECT r = windowRect(window);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, shape) != ERROR) {
        OffsetRgn(shape, r.left, r.top);
    } else {
        SetRectRgn(shape, r.left, r.top, r.right, r.bottom);
    }
    CombineRgn(c->shapes, c->shapes, shape, RGN_OR);
    DeleteObject(shape);
    return TRUE;
}

// Copies the program's windows from the screen onto the desktop picture, draws the cursor
// where it is, and writes the frame to `path`.
bool captureScreen(DWORD pid, const std::string& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    paintDesktop(memory, width, height);
    ShapeContext shapes{pid, CreateRectRgn(0, 0, 0, 0)};
    EnumWindows(addWindowShape, reinterpret_cast<LPARAM>(&shapes));
    SelectClipRgn(memory, shapes.shapes);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectClipRgn(memory, nullptr);
    DeleteObject(shapes.shapes);
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    if (GetCursorInfo(&cursor) && (cursor.flags & CURSOR_SHOWING)) {
        HCURSOR shape = cursor.hCursor;
        ICONINFO icon{};
        if (!shape || !GetIconInfo(shape, &icon)) {
            shape = LoadCursor(nullptr, IDC_ARROW);
            GetIconInfo(shape, &icon);
        }
        DrawIconEx(memory, cursor.ptScreenPos.x - static_cast<int>(icon.xHotspot),
                   cursor.ptScreenPos.y - static_cast<int>(icon.yHotspot), shape, 0, 0, 0, nullptr, DI_NORMAL);
        if (icon.hbmMask) DeleteObject(icon.hbmMask);
        if (icon.hbmColor) DeleteObject(icon.hbmColor);
    }
    SelectObject(memory, previous);
    const bool written = writeBmp(path, memory, bitmap, width, height);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

// Films the screen at eight frames a second from a thread of its own.
class Camera {
public:
    explicit Camera(DWORD filmed) : pid(filmed), thread([this] { film(); }) {}
    ~Camera() {
        stop = true;
        thread.join();
        FILE* list = std::fopen((folder + "\\frames.txt").c_str(), "w");
        if (!list) return;
        for (const auto& frame : frames) std::fprintf(list, "%s %lu\n", frame.first.c_str(), frame.second);
        std::fclose(list);
    }

private:
    void film() {
        const DWORD start = GetTickCount();
        while (!stop) {
            const DWORD due = start + static_cast<DWORD>(frames.size()) * 125;
            const DWORD now = GetTickCount();
            if (static_cast<LONG>(due - now) > 0) Sleep(due - now);
            char name[32];
            std::snprintf(name, sizeof name, "frame_%04u.bmp", static_cast<unsigned>(frames.size()));
            const DWORD taken = GetTickCount() - start;
            if (captureScreen(pid, folder + "\\" + name)) frames.emplace_back(name, taken);
        }
    }

    DWORD pid;
    std::atomic<bool> stop{false};
    std::vector<std::pair<std::string, DWORD>> frames;
    std::thread thread;
};

// Moves the cursor along a path at a hand's pace.
void glide(POINT from, POINT to, int steps) {
    for (const POINT& p : path(from, to, steps)) mouseTo(p.x, p.y);
}

POINT cursorNow() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

// Carries the ball up beside the hoop, over it, and tosses it straight up: it falls back
// through the hoop.
bool throwAtHoop(const SetWindows& set, BasketWatcher& watcher) {
    const RECT board = windowRect(set.backboard);
    const POINT ball = centreOf(windowRect(set.ball));
    glide(cursorNow(), ball, 8);
    watcher.shotHeld();
    leftDown();
    const POINT beside{board.right + 60, board.top + 40};
    const POINT above{board.left + 92, board.top + 10};
    glide(ball, beside, 14);
    glide(beside, above, 8);
    Sleep(250);
    mouseTo(above.x, above.y - 12);
    mouseTo(above.x, above.y - 26);
    leftUp();
    watcher.shotReleased();
    return true;
}

// A throw, and if it misses, a drop from above: the film shows a basket either way.
void scoreOnce(const SetWindows& set, BasketWatcher& watcher) {
    const int before = watcher.baskets();
    throwAtHoop(set, watcher);
    if (waitUntil([&] { return watcher.baskets() > before; }, 4000)) return;
    std::printf("the throw missed; dropping the ball in instead\n");
    waitForRest(set.ball);
    dropIntoHoop(set, &watcher);
    waitUntil([&] { return watcher.baskets() > before; }, 4000);
}

void takeStill(DWORD pid, const SetWindows& set) {
    captureScreen(pid, folder + "\\still.bmp");
    // The set with some room around it, the ball's way into the net included.
    const RECT board = windowRect(set.backboard);
    const RECT scoreboard = windowRect(set.scoreboard);
    const int left = std::max(0L, board.left - 60);
    const int top = std::max(0L, scoreboard.top - 30);
    FILE* f = std::fopen((folder + "\\still.txt").c_str(), "w");
    if (f) {
        std::fprintf(f, "%d %d %d %d\n", left, top, 320, 360);
        std::fclose(f);
    }
}

int playAndFilm() {
    Program program;
    parkMouse();
    mouseTo(520, 640);
    if (!program.start()) return 1;
    auto camera = std::make_unique<Camera>(program.pid);
    if (!waitUntil([&] { return findAboutScreen(program.pid) != nullptr; }, firstWindowTimeoutMs)) return 1;
    Sleep(1800);
    HWND about = findAboutScreen(program.pid);
    glide(cursorNow(), centreOf(windowRect(about)), 10);
    Sleep(300);
    leftDown();
    leftUp();
    SetWindows set;
    if (!waitUntil([&] { return findSet(program.pid, set); }, windowTimeoutMs)) return 1;
    glide(cursorNow(), {700, 420}, 8);
    BasketWatcher watcher(set);
    // The ball falls in from the top-left corner and comes to rest.
    waitForRest(set.ball);
    Sleep(300);

    scoreOnce(set, watcher);
    waitForRest(set.ball);
    Sleep(400);

    // The set, dragged across by its backboard; the ball stays where it lies.
    const RECT board = windowRect(set.backboard);
    const POINT grip{board.left + 93, board.top + 30};
    glide(cursorNow(), grip, 10);
    Sleep(200);
    leftDown();
    glide(grip, {grip.x + 320, grip.y + 60}, 24);
    leftUp();
    Sleep(400);

    scoreOnce(set, watcher);
    // The still: the ball in the net, the score just gone up, the cursor out of the way.
    mouseTo(cursorNow().x + 200, cursorNow().y + 150);
    Sleep(150);
    takeStill(program.pid, set);
    waitForRest(set.ball);
    glide(cursorNow(), {900, 560}, 8);
    Sleep(1200);
    std::printf("baskets %d, score %d\n", watcher.baskets(), readScore(set));
    // The film ends on the set; the program's exit is not part of it.
    camera.reset();

    HWND menu = openMenu(program, set);
    if (menu) chooseMenuItem(menu, menuExit);
    DWORD code = 1;
    program.waitExit(windowTimeoutMs, code);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: demo_player basketball.exe frame_folder\n");
        return 2;
    }
    programPath = argv[1];
    folder = argv[2];
    CreateDirectoryA(folder.c_str(), nullptr);
    return playAndFilm();
}
