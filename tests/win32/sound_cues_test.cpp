#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/sound_cues.h"
#include "sim/ball.h"

namespace {

const int testCue = 950;     // a WAVE resource of this test program
const int missingCue = 999;  // no resource has this number

using PlaySoundAFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);

struct PlayRequest {
    LPCSTR sound;
    HMODULE module;
    DWORD flags;
};

std::vector<PlayRequest> requests;

// The number a MAKEINTRESOURCE name carries; -1 for a name that is a string.
long resourceNumber(const PlayRequest& request) {
    const auto value = reinterpret_cast<ULONG_PTR>(request.sound);
    return IS_INTRESOURCE(request.sound) ? static_cast<long>(value) : -1;
}
PlaySoundAFunction systemPlaySound = nullptr;

BOOL WINAPI recordingPlaySound(LPCSTR sound, HMODULE module, DWORD flags) {
    requests.push_back({sound, module, flags});
    return systemPlaySound(sound, module, flags);
}

// Puts a recorder in this program's import slot for PlaySoundA for the life of the object;
// the recorder passes every call on to the system's PlaySoundA.
class PlaySoundRecorder {
public:
    PlaySoundRecorder() {
        const FARPROC address = GetProcAddress(GetModuleHandleA("winmm.dll"), "PlaySoundA");
        CopyMemory(&systemPlaySound, &address, sizeof systemPlaySound);
        slot = importSlotOf(reinterpret_cast<ULONG_PTR>(address));
        if (slot) write(reinterpret_cast<ULONG_PTR>(&recordingPlaySound));
        requests.clear();
    }
    ~PlaySoundRecorder() {
        if (slot) write(reinterpret_cast<ULONG_PTR>(systemPlaySound));
    }
    PlaySoundRecorder(const PlaySoundRecorder&) = delete;
    PlaySoundRecorder& operator=(const PlaySoundRecorder&) = delete;

    bool installed() const { return slot != nullptr; }

private:
    static ULONG_PTR* importSlotOf(ULONG_PTR function) {
        if (!function) return nullptr;
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; dll->Name != 0; ++dll) {
            auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
            for (; thunk->u1.Function != 0; ++thunk) {
                if (thunk->u1.Function == function) return reinterpret_cast<ULONG_PTR*>(&thunk->u1.Function);
            }
        }
        return nullptr;
    }

    void write(ULONG_PTR value) {
        DWORD previous = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
        *slot = value;
        VirtualProtect(slot, sizeof *slot, previous, &previous);
    }

    ULONG_PTR* slot = nullptr;
};

BOOL CALLBACK countVisibleWindowOfThisProcess(HWND hwnd, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int visibleWindowsOfThisProcess() {
    int count = 0;
    EnumWindows(countVisibleWindowOfThisProcess, reinterpret_cast<LPARAM>(&count));
    return count;
}

class Win32SoundCues : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(recorder.installed()) << "PlaySoundA is not imported by this program";
        soundEnabled = true;
        cueGateOpen = true;
    }
    void TearDown() override {
        soundEnabled = true;
        cueGateOpen = true;
    }

    PlaySoundRecorder recorder;
    HMODULE module = GetModuleHandleA(nullptr);
};

TEST_F(Win32SoundCues, ACueIsAskedOfPlaySoundAAsAnAsynchronousResource) {
    ASSERT_NE(FindResourceA(module, MAKEINTRESOURCEA(testCue), "WAVE"), nullptr);
    playCue(testCue, module);
    // Only the low 16 bits name the resource.
    playCue(0x10000 + testCue, module);

    ASSERT_EQ(requests.size(), 2u);
    for (const PlayRequest& request : requests) {
        EXPECT_EQ(resourceNumber(request), testCue);
        EXPECT_EQ(request.module, module);
        EXPECT_EQ(request.flags, 0x40005u);
        EXPECT_EQ(request.flags, static_cast<DWORD>(SND_RESOURCE | SND_ASYNC));
    }
}

TEST_F(Win32SoundCues, AMissingResourcePlaysNothingAndReportsNothing) {
    ASSERT_EQ(FindResourceA(module, MAKEINTRESOURCEA(missingCue), "WAVE"), nullptr);
    const int windowsBefore = visibleWindowsOfThisProcess();
    playCue(missingCue, module);
    playCue(cueBigCheer, module);  // no cheer in this program either; the gate closes anyway
    // Stopping all sound waits for the system's asynchronous player to finish what it was asked.
    systemPlaySound(nullptr, nullptr, 0);

    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(resourceNumber(requests[0]), missingCue);
    EXPECT_EQ(visibleWindowsOfThisProcess(), windowsBefore);
    EXPECT_FALSE(cueGateOpen);

    playCue(testCue, module);
    EXPECT_EQ(requests.size(), 2u) << "the gate holds on the real clock";
}

TEST_F(Win32SoundCues, WithSoundOffPlaySoundAIsNeverCalled) {
    toggleSound();
    playCue(testCue, module);
    playCue(cueCheer, module);
    EXPECT_TRUE(requests.empty());
    EXPECT_TRUE(cueGateOpen);
}

}  // namespace
