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

#include "desktop_robot.h"
#include "play.h"

namespace {

std::string basketball, plantedDll, staticProgram;

std::string fullPath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(windowsPath(path).c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? full : path;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

bool underWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

std::string lower(std::string s) {
    CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

class PlantedWinmm : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fullPath("planted_run");
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

    std::string marker() const { return folder + "\\planted_winmm_loaded"; }

    std::string folder;
};

TEST_F(PlantedWinmm, AProgramImportingWinmmStaticallyLoadsIt) {
    const std::string copy = folder + "\\static_winmm.exe";
    ASSERT_TRUE(CopyFileA(fullPath(staticProgram).c_str(), copy.c_str(), FALSE));
    std::string commandLine = "\"" + copy + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &info));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    EXPECT_TRUE(exists(marker())) << "the planted winmm.dll was not loaded: the check below cannot fail";
}

TEST_F(PlantedWinmm, TheProgramTakesWinmmFromTheSystemFolderNeverFromBesideIt) {
    programPath = folder + "\\basketball.exe";
    ASSERT_TRUE(CopyFileA(fullPath(basketball).c_str(), programPath.c_str(), FALSE));
    Program program;
    SetWindows set;
    std::string error;
    ASSERT_TRUE(play::startSet(program, set, error)) << error;
    // The set rolls in: the clock, and the timer resolution while the ball moves, are winmm's.
    char system[MAX_PATH] = "";
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const std::string loaded = winmmOf(program.pid);
    EXPECT_EQ(lower(loaded), lower(std::string(system) + "\\winmm.dll"));
    EXPECT_FALSE(exists(marker())) << "the planted winmm.dll was loaded";

    HWND menu = play::openMenu(program, set);
    ASSERT_NE(menu, nullptr);
    play::chooseMenuItem(menu, play::menuExit);
    DWORD code = 1;
    EXPECT_TRUE(program.waitExit(play::windowTimeoutMs, code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(exists(marker())) << "the planted winmm.dll was loaded on the way out";
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s basketball.exe winmm.dll static_winmm.exe [gtest options]\n", argv[0]);
        return 2;
    }
    basketball = argv[1];
    plantedDll = argv[2];
    staticProgram = argv[3];
    return RUN_ALL_TESTS();
}
