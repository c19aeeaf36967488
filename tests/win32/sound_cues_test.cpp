#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/sound_cues.h"
#include "platform/sound_output_win32.h"
#include "sim/ball.h"

namespace {

const int testCue = 950;     // a WAVE resource of this test program
const int missingCue = 999;  // no resource has this number

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
BOOL WINAPI recordingPlaySound(LPCSTR sound, HMODULE module, DWORD flags) {
    requests.push_back({sound, module, flags});
    return sound_output::systemPlaySound()(sound, module, flags);
}

// Puts a recorder in the sound output's place for the life of the object; the recorder passes
// every call on to the system's PlaySoundA.
class PlaySoundRecorder {
public:
    PlaySoundRecorder() {
        if (sound_output::systemPlaySound()) sound_output::playSoundOverride = recordingPlaySound;
        requests.clear();
    }
    ~PlaySoundRecorder() { sound_output::playSoundOverride = nullptr; }
    PlaySoundRecorder(const PlaySoundRecorder&) = delete;
    PlaySoundRecorder& operator=(const PlaySoundRecorder&) = delete;

    bool installed() const { return sound_output::playSoundOverride != nullptr; }
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
        ASSERT_TRUE(recorder.installed()) << "the system has no PlaySoundA";
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
    Sleep(200);                    // time for anything asynchronous to show itself

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
