#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/about_screen.h"
#include "platform/desktop.h"
#include "platform/display_refresh.h"
#include "res/resource_ids.h"
#include "win/system_library.h"
#include "sim/stopwatch.h"
#include "support/under_wine.h"

namespace {

TEST(Win32Clock, MeasuresSixtyMillisecondsAsMoreThanAStep) {
    Stopwatch watch;
    // Sixty milliseconds of the system's tick count, an independent clock.
    for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 61;) {
    }
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

TEST(AboutScreen, TakenToAMonitorOfAnotherScaleItKeepsThePicturesSize) {
    AboutScreen about(GetModuleHandleA(nullptr), nullptr);
    about.bitmapWidth = 400;
    about.bitmapHeight = 300;
    HWND dialog = CreateDialogParamA(about.instance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, aboutDialogProc,
                                     reinterpret_cast<LPARAM>(&about));
    ASSERT_NE(dialog, nullptr);
    RECT suggested{1000, 100, 1600, 550};  // 150 %, as the system suggests it
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
    DestroyWindow(dialog);
}

namespace {

std::vector<std::string> loads;  // "name flags", as loadSystemLibrary asks the loader
DWORD refusal = 0;               // the loader's error for the first call, or 0 to load

HMODULE WINAPI recordingLoader(LPCSTR name, HANDLE, DWORD flags) {
    loads.push_back(std::string(name) + " " + std::to_string(flags));
    SetLastError(refusal);
    return loads.size() > 1 || refusal == 0 ? GetModuleHandleA(nullptr) : nullptr;
}

}  // namespace

TEST(SystemLibrary, ShcoreIsAskedOfTheSystemFolderOnlyNeverByABareName) {
    char folder[MAX_PATH] = "";
    ASSERT_GT(GetSystemDirectoryA(folder, MAX_PATH), 0u);
    const std::string searchSystem32 = "shcore.dll 2048", fullPath = std::string(folder) + "\\shcore.dll 0";
    struct Case {
        DWORD refusal;
        std::vector<std::string> loads;
    };
    for (const Case& c : {Case{0, {searchSystem32}}, Case{ERROR_INVALID_PARAMETER, {searchSystem32, fullPath}},
                          Case{ERROR_MOD_NOT_FOUND, {searchSystem32}}}) {
        loads.clear();
        refusal = c.refusal;
        EXPECT_EQ(loadSystemLibrary("shcore.dll", recordingLoader) != nullptr, c.refusal != ERROR_MOD_NOT_FOUND);
        EXPECT_EQ(loads, c.loads) << "the loader refusing with " << c.refusal;
    }
}

TEST(DisplayRefreshReport, TheMonitorsRateIsReadExactlyAndWinePresentsAtSixtyHertzOnItsCompositorsGrid) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const RefreshReport report = readRefreshReport(window);
    const DisplayRefresh chosen = readDisplayRefresh(window);
    DestroyWindow(window);
    ASSERT_GT(report.ticksPerSecond, 0);
    const std::int64_t perSecond = report.ticksPerSecond;
    EXPECT_GE(chosen.period, perSecond / 1000);
    EXPECT_LE(chosen.period, perSecond / 10);

    // Where GDI reports a rate, the exact one is that rate before rounding.
    MONITORINFOEXA monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT{35, 35}, MONITOR_DEFAULTTONEAREST), &monitor));
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (report.monitorNumerator != 0 && EnumDisplaySettingsA(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode) &&
        mode.dmDisplayFrequency > 1) {
        EXPECT_NEAR(double(report.monitorNumerator) / report.monitorDenominator, mode.dmDisplayFrequency, 1.0);
    }

    if (!underWine()) return;
    // Wine times a compositor at 60 Hz and says it does not compose: presents on its grid.
    EXPECT_EQ(chosen.period, report.compositorPeriod);
    EXPECT_EQ((chosen.vblank - report.compositorVBlank) % chosen.period, 0) << "not on the compositor's grid";
}
