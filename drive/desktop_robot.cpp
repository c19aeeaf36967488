#include "desktop_robot.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "gdi_objects.h"
#include "platform/pictures.h"
#include "windows/set_layout.h"

std::string programPath;

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return condition();
        Sleep(10);  // paces the robot's polling; the condition is the program's state
    }
}

bool caughtUp(HWND window) {
    for (int trip = 0; trip < 2; ++trip) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) return false;
    }
    return true;
}

HWND captureOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread && GetGUIThreadInfo(thread, &info) ? info.hwndCapture : nullptr;
}

// --- the program --------------------------------------------------------------------------

// ctest hands over a Unix path when the robot runs under Wine; Wine maps / to drive Z:.
std::string windowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

Program::~Program() {
    if (!process) return;
    if (running()) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

bool Program::start() {
    std::string commandLine = "\"" + windowsPath(programPath) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    pid = info.dwProcessId;
    return true;
}

bool Program::running() const { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

bool Program::waitExit(DWORD timeoutMs, DWORD& exitCode) const {
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process, &exitCode) != FALSE;
}

int countLinesWith(const std::string& path, const std::string& text) {
    std::ifstream file(path, std::ios::binary);
    int count = 0;
    for (std::string line; std::getline(file, line);)
        if (line.find(text) != std::string::npos) ++count;
    return count;
}

// --- windows ------------------------------------------------------------------------------

DWORD processOf(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner;
}

HWND findWindowOf(DWORD pid, const char* className, const char* title) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, className, title)) != nullptr)
        if (processOf(found) == pid) return found;
    return nullptr;
}

namespace {

HWND findVisible(DWORD pid, const char* className) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, className, nullptr)) != nullptr)
        if (processOf(found) == pid && IsWindowVisible(found)) return found;
    return nullptr;
}

struct CountContext {
    DWORD pid;
    int count;
};

BOOL CALLBACK countChild(HWND window, LPARAM context) {
    auto* c = reinterpret_cast<CountContext*>(context);
    if (processOf(window) == c->pid) ++c->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM context) {
    countChild(window, context);
    EnumChildWindows(window, countChild, context);
    return TRUE;
}

}  // namespace

HWND findAboutScreen(DWORD pid) { return findVisible(pid, "#32770"); }

HWND findPopupMenu(DWORD pid) { return findVisible(pid, "#32768"); }

int countWindowsOf(DWORD pid) {
    CountContext context{pid, 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&context));
    return context.count;
}

bool findSet(DWORD pid, SetWindows& set) {
    using namespace set_layout;
    set.host = findWindowOf(pid, hostClass, hostClass);
    set.backboard = findWindowOf(pid, backboardClass, backboardClass);
    set.scoreboard = findWindowOf(pid, scoreboardClass, scoreboardClass);
    set.ball = findWindowOf(pid, ballClass, ballClass);
    set.net = findWindowOf(pid, netClass, netClass);
    for (HWND w : {set.host, set.backboard, set.scoreboard, set.ball, set.net})
        if (!w || !IsWindowVisible(w)) return false;
    return true;
}

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

POINT centreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

int stackIndex(HWND window) {
    int index = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), ++index)
        if (w == window) return index;
    return -1;
}

// --- input --------------------------------------------------------------------------------

namespace {

void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

bool cursorAt(int x, int y) {
    POINT p{};
    return GetCursorPos(&p) && p.x == x && p.y == y;
}

// Waits until the thread the last input went to has handled it, then paces the next input:
// each move is a drag sample of its own, with time between samples as a hand gives them.
void inputHandled() {
    POINT p{};
    GetCursorPos(&p);
    // Input goes to the thread holding the capture (the active one's) or under the cursor.
    HWND under = WindowFromPoint(p), front = GetForegroundWindow();
    if (under) caughtUp(under);
    if (front && GetWindowThreadProcessId(front, nullptr) != GetWindowThreadProcessId(under, nullptr)) caughtUp(front);
    Sleep(15);  // paces the robot's own input
}

}  // namespace

namespace {

// Where the robot last put the cursor. Wine may move the cursor after a move, to a point
// mapped from a motion its X server saw before a window moved: presses and releases go at
// this point, not wherever the cursor was left.
POINT aim{};

// Sends `buttons` with a move to the aim point. Absolute coordinates run from 0 to 65536
// across the desktop of all monitors (the screen when there is one): aim at the pixel's centre.
void sendAtAim(DWORD buttons) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    sendMouse(buttons | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK,
              (2 * (aim.x - left) + 1) * 65536 / (2 * w), (2 * (aim.y - top) + 1) * 65536 / (2 * h));
}

}  // namespace

void mouseTo(int x, int y) {
    aim = {x, y};
    // The program never moves the cursor: found elsewhere once the move is handled, Wine moved
    // it (see aim), and it is put back, so that the program's last move is the robot's.
    for (int tries = 0; tries < 3; ++tries) {
        sendAtAim(0);
        waitUntil([&] { return cursorAt(x, y); }, 1000);
        inputHandled();
        if (cursorAt(x, y)) return;
        POINT p{};
        GetCursorPos(&p);
        std::printf("mouseTo: the cursor was moved to (%ld, %ld) from (%d, %d); moved back\n", p.x, p.y, x, y);
    }
}

void leftDown() {
    sendAtAim(MOUSEEVENTF_LEFTDOWN);
    inputHandled();
}

void leftUp() {
    sendAtAim(MOUSEEVENTF_LEFTUP);
    inputHandled();
}

void rightDown() {
    sendAtAim(MOUSEEVENTF_RIGHTDOWN);
    inputHandled();
}

void rightUp() {
    sendAtAim(MOUSEEVENTF_RIGHTUP);
    inputHandled();
}

void click(int x, int y) {
    mouseTo(x, y);
    leftDown();
    leftUp();
}

void rightClick(int x, int y) {
    mouseTo(x, y);
    rightDown();
    rightUp();
}

void pressKey(WORD virtualKey) {
    INPUT keys[2]{};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = virtualKey;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof keys[0]);
    if (HWND focus = GetForegroundWindow()) caughtUp(focus);
    Sleep(15);  // paces the robot's own input
}

// --- pixels -------------------------------------------------------------------------------

namespace {

// Copies `width` x `height` pixels at (x, y) of `source` into top-down 32-bit pixels.
std::vector<DWORD> copyPixels(HDC source, int x, int y, int width, int height) {
    std::vector<DWORD> pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return pixels;
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int i = 0; i < width * height; ++i) pixels.push_back(p[i] & 0x00FFFFFF);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(dib);
    return pixels;
}

// Rows [top, top + height) of `bitmap`; `width` is set to its width.
std::vector<DWORD> bitmapBand(HBITMAP bitmap, int top, int height, int& width) {
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    width = bm.bmWidth;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    std::vector<DWORD> pixels = copyPixels(memory, 0, top, width, height);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

std::vector<DWORD> readScreen(const RECT& r) {
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = copyPixels(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

namespace {

// Zeroes the pixels of rows [top, top + pixels / width) whose alpha in the 32-bit DIB `bits`
// (`rows` rows, bottom-up when `bottomUp`) is below 255.
void dropPartlyCovered(std::vector<DWORD>& pixels, const BYTE* bits, int width, int rows, bool bottomUp,
                       int top) {
    if (width <= 0) return;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const int y = top + static_cast<int>(i / static_cast<size_t>(width));
        const int row = bottomUp ? rows - 1 - y : y;
        if (row < 0 || row >= rows) continue;
        const size_t at = (static_cast<size_t>(row) * width + i % static_cast<size_t>(width)) * 4 + 3;
        if (bits[at] != 255) pixels[i] = 0;
    }
}

}  // namespace

std::vector<DWORD> readProgramBitmap(int resourceId, int top, int height, int& width) {
    std::vector<DWORD> pixels;
    width = 0;
    HMODULE module = LoadLibraryExA(windowsPath(programPath).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return pixels;
    auto bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap) {
        pixels = bitmapBand(bitmap, top, height, width);
        DIBSECTION dib{};
        if (GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBitsPixel == 32 && dib.dsBm.bmBits)
            dropPartlyCovered(pixels, static_cast<const BYTE*>(dib.dsBm.bmBits), width, dib.dsBm.bmHeight,
                              dib.dsBmih.biHeight > 0, top);
        DeleteObject(bitmap);
    }
    FreeLibrary(module);
    return pixels;
}

std::vector<DWORD> bitmapPixels(HBITMAP bitmap, int& width, int& height) {
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    height = bm.bmHeight;
    return bitmapBand(bitmap, 0, height, width);
}

std::vector<DWORD> readProgramPicture(unsigned bitmapId, unsigned dpi, int& width, int& height) {
    std::vector<DWORD> pixels;
    width = height = 0;
    HMODULE module = LoadLibraryExA(windowsPath(programPath).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return pixels;
    if (HBITMAP bitmap = loadPicture(module, bitmapId, dpi)) {
        pixels = bitmapPixels(bitmap, width, height);
        DeleteObject(bitmap);
    }
    FreeLibrary(module);
    return pixels;
}

namespace {

// The bytes of resource `id` of type `type` in `language` of the program's file, or none.
std::vector<char> programResourceIn(LPCSTR type, int id, LANGID language) {
    std::vector<char> bytes;
    HMODULE module = LoadLibraryExA(windowsPath(programPath).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return bytes;
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
    if (found) {
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        if (data) bytes.assign(data, data + SizeofResource(module, found));
    }
    FreeLibrary(module);
    return bytes;
}

}  // namespace

std::vector<DWORD> readProgramBitmapIn(int resourceId, LANGID language, int& width, int& height) {
    std::vector<DWORD> pixels;
    width = height = 0;
    const std::vector<char> dib = programResourceIn(MAKEINTRESOURCEA(2), resourceId, language);
    if (dib.size() < sizeof(BITMAPINFOHEADER)) return pixels;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if ((header.biBitCount > 8 && header.biBitCount != 32) || header.biCompression != BI_RGB) return pixels;
    const DWORD colours = header.biClrUsed        ? header.biClrUsed
                          : header.biBitCount > 8 ? 0u
                                                  : 1u << header.biBitCount;
    const char* bits = dib.data() + header.biSize + colours * sizeof(RGBQUAD);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, header.biWidth, std::abs(header.biHeight));
    HGDIOBJ previous = SelectObject(memory, bitmap);
    SetDIBitsToDevice(memory, 0, 0, header.biWidth, std::abs(header.biHeight), 0, 0, 0,
                      std::abs(header.biHeight), bits, info, DIB_RGB_COLORS);
    width = header.biWidth;
    height = std::abs(header.biHeight);
    pixels = copyPixels(memory, 0, 0, width, height);
    if (header.biBitCount == 32)
        dropPartlyCovered(pixels, reinterpret_cast<const BYTE*>(bits), width, height, header.biHeight > 0, 0);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

HMENU loadProgramMenuIn(int resourceId, LANGID language) {
    const std::vector<char> menu = programResourceIn(MAKEINTRESOURCEA(4), resourceId, language);
    return menu.empty() ? nullptr : LoadMenuIndirectA(menu.data());
}

// --- object counts ------------------------------------------------------------------------

ObjectCounts objectCountsOf(const Program& program) {
    ObjectCounts counts;
    counts.gdi = gdiObjectsOf(program.process, &counts.how);
    SetLastError(0);
    const DWORD user = GetGuiResources(program.process, GR_USEROBJECTS);
    counts.user = user != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED ? static_cast<long>(user)
                                                                           : countWindowsOf(program.pid);
    return counts;
}
