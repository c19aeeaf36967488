// Start-up when a window of the set cannot be made: whatever exists is closed and the exit
// code is 0. A class name already taken in this process makes that window's creation fail.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/window_test_support.h"
#include "app/basketball_set.h"
#include "windows/set_layout.h"

namespace {

using namespace set_layout;

const char* const setClasses[] = {hostClass, backboardClass, scoreboardClass, ballClass, netClass};

class FailedStartUp : public ::testing::Test {
protected:
    void SetUp() override { instance = GetModuleHandleA(nullptr); }

    void TearDown() override {
        pumpMessages();
        takeQuit();
        for (const char* name : setClasses) UnregisterClassA(name, instance);
    }

    // Takes `name` before the set can, with a class of no use to it.
    void occupy(const char* name) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.lpszClassName = name;
        ASSERT_NE(RegisterClassA(&wc), 0);
    }

    static bool anyWindowOfTheSet() {
        for (const char* name : setClasses)
            if (FindWindowA(name, name)) return true;
        return false;
    }

    HINSTANCE instance = nullptr;
};

TEST_F(FailedStartUp, WithoutTheNetTheOtherFourAreClosedAndTheCodeIsZero) {
    occupy(netClass);
    EXPECT_EQ(playBasketballSet(instance, StepWake::best), 0);
    EXPECT_FALSE(anyWindowOfTheSet());
    // The windows closed on the way posted their quit; nobody retrieves it in the program.
    int code = -1;
    EXPECT_TRUE(takeQuit(&code));
    EXPECT_EQ(code, 0);
}

TEST_F(FailedStartUp, WithoutTheBackboardOnlyTheHostIsClosed) {
    occupy(backboardClass);
    EXPECT_EQ(playBasketballSet(instance, StepWake::best), 0);
    EXPECT_FALSE(anyWindowOfTheSet());
    EXPECT_TRUE(takeQuit());
}

TEST_F(FailedStartUp, WithoutTheHostNothingIsMadeAndNothingSent) {
    occupy(hostClass);
    EXPECT_EQ(playBasketballSet(instance, StepWake::best), 0);
    EXPECT_FALSE(anyWindowOfTheSet());
    EXPECT_FALSE(takeQuit());
}

}  // namespace
