#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/about_screen.h"
#include "platform/desktop.h"
#include "win/system_library.h"
#include "sim/stopwatch.h"

namespace {

TEST(Win32Clock, MeasuresASleepOfSixtyMillisecondsAsMoreThanAStep) {
    Stopwatch watch;
    Sleep(60);
    const double elapsed = watch.elapsedSeconds();
    EXPECT_GT(elapsed, 0.05);
    EXPECT_LT(elapsed, 5.0);
    // Every stopwatch after the first of the process reads whole milliseconds.
    EXPECT_FALSE(watch.usesPerformanceCounter());
    EXPECT_DOUBLE_EQ(elapsed * 1000.0, static_cast<double>(static_cast<long>(elapsed * 1000.0 + 0.5)));
}

TEST(Win32Desktop, WorkAreaIsWhatTheSystemReports) {
    RECT expected{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &expected, 0));
    const ScreenRect area = readWorkArea();
    EXPECT_EQ(area.left, expected.left);
    EXPECT_EQ(area.top, expected.top);
    EXPECT_EQ(area.right, expected.right);
    EXPECT_EQ(area.bottom, expected.bottom);
    EXPECT_GT(area.right - area.left, 0);
    EXPECT_GT(area.bottom - area.top, 0);
}

TEST(Win32Desktop, EveryPointBelongsToTheMonitorHoldingItOrTheNearest) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    // On a display of one monitor, points on it and far off it on every side.
    const POINT points[] = {{w / 2, h / 2}, {0, 0}, {w - 1, h - 1}, {-5000, h / 2}, {w / 2, -5000},
                            {w + 5000, h + 5000}};
    for (const POINT& p : points) {
        SCOPED_TRACE(testing::Message() << "at (" << p.x << ", " << p.y << ")");
        const MonitorArea m = readMonitorAt(p.x, p.y);
        EXPECT_EQ(m.monitor.left, 0);
        EXPECT_EQ(m.monitor.top, 0);
        EXPECT_EQ(m.monitor.right, w);
        EXPECT_EQ(m.monitor.bottom, h);
        EXPECT_EQ(m.workArea.left, work.left);
        EXPECT_EQ(m.workArea.top, work.top);
        EXPECT_EQ(m.workArea.right, work.right);
        EXPECT_EQ(m.workArea.bottom, work.bottom);
    }
}

}  // namespace

namespace {

// What the test's timer saw of the About screen while it was up.
struct AboutSeen {
    SIZE before{}, after{};
    bool found = false;
} aboutSeen;

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

SIZE sizeOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// Tells the open About screen that it is now on a monitor of 150 %, then closes it.
void CALLBACK moveAboutToAnotherScale(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    aboutSeen.found = true;
    aboutSeen.before = sizeOf(dialog);
    RECT r{};
    GetWindowRect(dialog, &r);
    RECT suggested{r.left + 900, r.top, r.left + 900 + MulDiv(aboutSeen.before.cx, 3, 2),
                   r.top + MulDiv(aboutSeen.before.cy, 3, 2)};
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    aboutSeen.after = sizeOf(dialog);
    EndDialog(dialog, IDOK);
}

}  // namespace

TEST(AboutScreen, TakenToAMonitorOfAnotherScaleItKeepsThePicturesSize) {
    AboutScreen about(GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(SetTimer(nullptr, 0, 50, moveAboutToAnotherScale), 0u);
    EXPECT_EQ(about.show(), IDOK);
    ASSERT_TRUE(aboutSeen.found);
    EXPECT_EQ(aboutSeen.before.cx, about.bitmapWidth);
    EXPECT_EQ(aboutSeen.before.cy, about.bitmapHeight);
    EXPECT_EQ(aboutSeen.after.cx, about.bitmapWidth);
    EXPECT_EQ(aboutSeen.after.cy, about.bitmapHeight);
}

namespace {

// The loader's calls as loadSystemLibrary makes them, and its answer to the first.
struct LoaderCall {
    std::string name;
    DWORD flags;
};
std::vector<LoaderCall> loaderCalls;
DWORD firstCallError = 0;

HMODULE WINAPI fakeLoader(LPCSTR name, HANDLE, DWORD flags) {
    loaderCalls.push_back({name, flags});
    if (loaderCalls.size() == 1 && firstCallError != 0) {
        SetLastError(firstCallError);
        return nullptr;
    }
    return GetModuleHandleA(nullptr);
}

}  // namespace

TEST(SystemLibrary, ShcoreIsAskedOfTheSystemFolderOnlyNeverByABareName) {
    char folder[MAX_PATH] = "";
    ASSERT_GT(GetSystemDirectoryA(folder, MAX_PATH), 0u);
    const std::string fullPath = std::string(folder) + "\\shcore.dll";
    constexpr DWORD searchSystem32 = 0x00000800;
    struct Case {
        const char* loader;
        DWORD firstError;
        std::vector<std::pair<std::string, DWORD>> calls;
        bool loaded;
    };
    const Case cases[] = {
        {"takes the flag", 0, {{"shcore.dll", searchSystem32}}, true},
        {"refuses the flag (Windows 7 without its update)", ERROR_INVALID_PARAMETER,
         {{"shcore.dll", searchSystem32}, {fullPath, 0}}, true},
        {"finds no shcore (Windows 7)", ERROR_MOD_NOT_FOUND, {{"shcore.dll", searchSystem32}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loader);
        loaderCalls.clear();
        firstCallError = c.firstError;
        EXPECT_EQ(loadSystemLibrary("shcore.dll", fakeLoader) != nullptr, c.loaded);
        ASSERT_EQ(loaderCalls.size(), c.calls.size());
        for (std::size_t i = 0; i < c.calls.size(); ++i) {
            EXPECT_EQ(loaderCalls[i].name, c.calls[i].first);
            EXPECT_EQ(loaderCalls[i].flags, c.calls[i].second);
        }
    }
}
