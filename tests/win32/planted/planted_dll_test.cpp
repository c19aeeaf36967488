// A winmm.dll planted beside a copy of the program is never loaded, even where Wine searches
// for it as Windows does (WINEDLLOVERRIDES winmm=n,b: the program's folder first); a program
// that imports winmm statically loads it, so the check can fail.
// Usage: planted_dll_tests basketball.exe planted\winmm.dll static_winmm.exe [gtest options],
// under Wine with WINEDLLOVERRIDES ending in ;winmm=n,b.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "../../support/under_wine.h"
#include "desktop_robot.h"
#include "play.h"

namespace {

std::string basketball, plantedDll, staticProgram;

std::string fullPath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(windowsPath(path).c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? full : path;
}

// Where process `pid` loaded winmm.dll from, or "" when it has not.
std::string winmmOf(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return "";
    std::string found;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
        if (lstrcmpiA(module.szModule, "winmm.dll") == 0) found = module.szExePath;
    CloseHandle(snapshot);
    return found;
}

class PlantedWinmm : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* name : {"planted_winmm_loaded", "winmm.dll", "basketball.exe", "static_winmm.exe"})
            DeleteFileA((folder + "\\" + name).c_str());
        ASSERT_TRUE(CopyFileA(fullPath(plantedDll).c_str(), (folder + "\\winmm.dll").c_str(), FALSE));
        // Searched as Windows does: a native winmm.dll first, beside the program before the
        // system folder. Wine reads that from the environment it was started with (ctest sets
        // it), not from one a Windows program changes.
        char overrides[1024] = "";
        GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
        ASSERT_TRUE(std::strstr(overrides, "winmm=n,b") || !underWine())
            << "start this test with WINEDLLOVERRIDES=winmm=n,b, not " << overrides;
    }

    // Starts a copy of `original` named `name` in the folder.
    void startCopy(const std::string& original, const char* name) {
        programPath = folder + "\\" + name;
        ASSERT_TRUE(CopyFileA(fullPath(original).c_str(), programPath.c_str(), FALSE));
    }

    bool plantedLoaded() const {
        return GetFileAttributesA((folder + "\\planted_winmm_loaded").c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    const std::string folder = fullPath("planted_run");
    Program program;
};

TEST_F(PlantedWinmm, AProgramImportingWinmmStaticallyLoadsIt) {
    ASSERT_NO_FATAL_FAILURE(startCopy(staticProgram, "static_winmm.exe"));
    ASSERT_TRUE(program.start());
    DWORD code = 1;
    EXPECT_TRUE(program.waitExit(30000, code));
    EXPECT_TRUE(plantedLoaded()) << "the planted winmm.dll was not loaded: the check below cannot fail";
}

TEST_F(PlantedWinmm, TheProgramTakesWinmmFromTheSystemFolderNeverFromBesideIt) {
    ASSERT_NO_FATAL_FAILURE(startCopy(basketball, "basketball.exe"));
    SetWindows set;
    std::string error;
    ASSERT_TRUE(play::startSet(program, set, error)) << error;
    // The set rolls in: the clock, and the timer resolution while the ball moves, are winmm's.
    char system[MAX_PATH] = "";
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    EXPECT_EQ(lstrcmpiA(winmmOf(program.pid).c_str(), (std::string(system) + "\\winmm.dll").c_str()), 0)
        << "winmm.dll from " << winmmOf(program.pid);
    EXPECT_FALSE(plantedLoaded()) << "the planted winmm.dll was loaded";

    HWND menu = play::openMenu(program, set);
    ASSERT_NE(menu, nullptr);
    play::chooseMenuItem(menu, play::menuExit);
    DWORD code = 1;
    EXPECT_TRUE(program.waitExit(play::windowTimeoutMs, code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(plantedLoaded()) << "the planted winmm.dll was loaded on the way out";
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 4) return std::fprintf(stderr, "usage: %s basketball.exe winmm.dll static_winmm.exe\n", argv[0]), 2;
    basketball = argv[1];
    plantedDll = argv[2];
    staticProgram = argv[3];
    return RUN_ALL_TESTS();
}
