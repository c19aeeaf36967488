#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/main_loop.h"
#include "sim/stopwatch.h"
#include "support/fake_clock.h"

namespace {

// What the loop did, in order: the messages it dispatched to the test window and the steps.
std::vector<std::string> journal;
// Something to do when the window receives a message, keyed by message id.
std::map<UINT, std::function<void()>> reactions;

using Journal = std::vector<std::string>;

std::string describe(UINT message, WPARAM wParam) {
    if (message >= WM_APP && message < WM_APP + 100) return "message " + std::to_string(message - WM_APP);
    if (message == WM_TIMER) return "timer";
    if (message == WM_KEYDOWN) return "key down";
    if (message == WM_CHAR) return std::string("char ") + static_cast<char>(wParam);
    if (message == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA) return "work area changed";
    return "";
}

LRESULT CALLBACK recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::string what = describe(message, wParam);
    if (what.empty()) return DefWindowProcA(hwnd, message, wParam, lParam);
    journal.push_back(what);
    const auto reaction = reactions.find(message);
    if (reaction != reactions.end()) reaction->second();
    return 0;
}

struct StandInBall : FlightStepper {
    int steps = 0;
    std::function<void()> onStep;
    bool rests = false;
    std::uint32_t lastStepAt = fake_clock::milliseconds;
    std::vector<std::uint32_t> measured;  // what each step measured since the one before, ms
    std::vector<bool> raisedAtStep;       // the clock's resolution held at each step

    void flightStep() override {
        ++steps;
        raisedAtStep.push_back(fake_clock::resolutionHeld);
        journal.push_back("step");
        measured.push_back(fake_clock::milliseconds - lastStepAt);
        lastStepAt = fake_clock::milliseconds;
        if (onStep) onStep();
    }
    bool resting() override { return rests; }
    void restEnded() override { lastStepAt = fake_clock::milliseconds; }

    int toShow = 0;                     // presents left
    std::vector<std::int64_t> presents;  // the times shown
    bool leftToShow() override { return toShow > 0; }
    void showAt(std::int64_t presentTime) override {
        journal.push_back("show");
        presents.push_back(presentTime);
        if (--toShow == 0) fake_clock::reads = 0;
    }
};

void drainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// Runs under both ways of sleeping between steps.
class MainLoop : public ::testing::TestWithParam<StepWake> {
protected:
    void SetUp() override {
        static const ATOM windowClass = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = recordingProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "main loop test";
            return RegisterClassA(&wc);
        }();
        ASSERT_NE(windowClass, 0);
        window = CreateWindowExA(0, "main loop test", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        drainQueue();
        journal.clear();
        reactions.clear();
        fake_clock::milliseconds = 100000;
        // The loop's stopwatch reads the millisecond clock alone.
        fake_clock::hasPerformanceCounter = false;
        resetResolution(false);
    }

    static void resetResolution(bool refuse) {
        lowerClockResolution();
        fake_clock::stopTicking();
        fake_clock::refuseResolution = refuse;
        fake_clock::raisesGranted = fake_clock::raisesRefused = fake_clock::lowers = 0;
    }

    void TearDown() override {
        resetResolution(false);
        KillTimer(window, timerId);
        DestroyWindow(window);
        drainQueue();
        reactions.clear();
    }

    void post(int n) { PostMessageA(window, WM_APP + n, 0, 0); }
    // Posts message n from another thread after `ms`, while the loop runs.
    std::thread postLater(DWORD ms, int n) {
        return std::thread([this, ms, n] {
            Sleep(ms);
            post(n);
        });
    }
    void on(UINT message, std::function<void()> reaction) { reactions[message] = std::move(reaction); }
    void every(UINT milliseconds) { SetTimer(window, timerId, milliseconds, nullptr); }
    void stopTimer() { KillTimer(window, timerId); }
    static void advance(std::uint32_t ms) { fake_clock::milliseconds += ms; }

    int run() { return runMainLoop(ball, GetParam()); }

    static constexpr UINT_PTR timerId = 1;
    HWND window = nullptr;
    StandInBall ball;
};

TEST_P(MainLoop, DispatchesEveryQueuedMessageBeforeAStep) {
    post(1);
    post(2);
    post(3);
    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    on(WM_APP + 1, [] { advance(100); });
    ball.onStep = [] { PostQuitMessage(0); };

    EXPECT_EQ(run(), 0);
    // The key press is translated, and the character it makes is dispatched before the step.
    EXPECT_EQ(journal, (Journal{"message 1", "message 2", "message 3", "key down", "char a", "step"}));
}

TEST_P(MainLoop, StepsOnlyOnceMoreThanFiftyMillisecondsHavePassed) {
    // The clock shows exactly 50 ms for as long as the real timer takes to tick; then 51.
    post(1);
    on(WM_APP + 1, [this] {
        advance(50);
        every(30);
    });
    on(WM_TIMER, [this] {
        stopTimer();
        advance(1);
    });
    ball.onStep = [] { PostQuitMessage(0); };

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(journal, (Journal{"message 1", "timer", "step"}));
}

TEST_P(MainLoop, TheIntervalRunsFromTheEndOfOneStepToTheNext) {
    // Each timer tick moves the clock 10 ms and each step takes 30 ms: six ticks before every
    // step, the first as the second, since the 30 ms of a step do not count.
    every(5);
    on(WM_TIMER, [] { advance(10); });
    ball.onStep = [this] {
        advance(30);
        if (ball.steps == 2) {
            stopTimer();
            PostQuitMessage(0);
        }
    };

    EXPECT_EQ(run(), 0);
    Journal expected;
    for (int step = 0; step < 2; ++step) {
        for (int tick = 0; tick < 6; ++tick) expected.push_back("timer");
        expected.push_back("step");
    }
    EXPECT_EQ(journal, expected);
}

TEST_P(MainLoop, AStreamOfMessagesHoldsTheStepBack) {
    // Each message finds the step long due and posts the next one before the queue empties.
    int received = 0;
    post(1);
    on(WM_APP + 1, [&] {
        advance(100);
        if (++received < 50) post(1);
    });
    ball.onStep = [] { PostQuitMessage(0); };

    EXPECT_EQ(run(), 0);
    Journal expected(50, "message 1");
    expected.push_back("step");
    EXPECT_EQ(journal, expected);
}

TEST_P(MainLoop, QuitEndsTheLoopWithItsCodeAndLeavesWhatIsBehindIt) {
    for (WPARAM code : {WPARAM{0}, WPARAM{7}}) {
        SCOPED_TRACE(testing::Message() << "WM_QUIT code " << code);
        journal.clear();
        post(1);
        PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, code, 0);
        post(2);
        on(WM_APP + 1, [] { advance(100); });

        EXPECT_EQ(run(), static_cast<int>(code));
        EXPECT_EQ(journal, Journal{"message 1"});
        EXPECT_EQ(ball.steps, 0);
        MSG behind;
        EXPECT_TRUE(PeekMessageA(&behind, window, WM_APP + 2, WM_APP + 2, PM_REMOVE))
            << "the message behind WM_QUIT is still queued";
        drainQueue();
    }
}

TEST_P(MainLoop, SleepsInsteadOfPollingWhileNothingIsDue) {
    // A third of a second with an empty queue and a clock that never reaches the step: a
    // polling loop reads its clock thousands of times, a sleeping one about once per 51 ms.
    every(300);
    on(WM_TIMER, [this] {
        stopTimer();
        PostQuitMessage(0);
    });
    fake_clock::reads = 0;

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(ball.steps, 0);
    EXPECT_LT(fake_clock::reads, 100);
}

TEST_P(MainLoop, SeedsTheRandomGeneratorWithTheMillisecondClock) {
    PostQuitMessage(0);
    const DWORD before = timeGetTime();
    run();
    const DWORD after = timeGetTime();
    const int drawn[3] = {std::rand(), std::rand(), std::rand()};

    bool found = false;
    for (DWORD seed = before; !found && seed - before <= after - before; ++seed) {
        std::srand(seed);
        const int again[3] = {std::rand(), std::rand(), std::rand()};
        found = again[0] == drawn[0] && again[1] == drawn[1] && again[2] == drawn[2];
    }
    EXPECT_TRUE(found) << "no seed between " << before << " and " << after << " gives these numbers";
}

TEST_P(MainLoop, AtRestItWaitsForAMessageWithNoTimeout) {
    // One step falls due and finds the ball resting; from then on only a message, posted by
    // another thread a fifth of a second later, wakes the loop. Waiting in timed slices it
    // would wake about every 51 ms and read its clock each time.
    ball.rests = true;
    post(1);
    on(WM_APP + 1, [] { advance(100); });
    on(WM_APP + 2, [] { PostQuitMessage(0); });
    ball.onStep = [] { fake_clock::reads = 0; };
    std::thread poster = postLater(200, 2);

    EXPECT_EQ(run(), 0);
    poster.join();
    EXPECT_EQ(journal, (Journal{"message 1", "step", "message 2"}));
    EXPECT_LE(fake_clock::reads, 3);
}

TEST_P(MainLoop, AMovedTaskbarEndsTheRestAndTheNextStepMeasuresFromTheWake) {
    // The broadcast another program sends when the taskbar moves reaches an owned popup like
    // the set's windows, and wakes the resting loop. An hour has passed at rest by then; the
    // ball, asked afresh, no longer rests (its floor moved), and the step that follows 60 ms
    // later measures those 60 ms, not the hour.
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW, "main loop test", "", WS_POPUP, 0, 0, 1, 1, owner,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(popup, nullptr);
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    UpdateWindow(popup);
    drainQueue();
    ball.rests = true;
    on(WM_SETTINGCHANGE, [this] {
        ball.rests = false;
        every(5);
    });
    on(WM_TIMER, [] { advance(10); });
    ball.onStep = [this] {
        stopTimer();
        PostQuitMessage(0);
    };
    std::thread taskbar([] {
        Sleep(200);
        advance(3600 * 1000);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, SMTO_ABORTIFHUNG, 5000,
                            &result);
    });

    EXPECT_EQ(run(), 0);
    taskbar.join();
    Journal expected{"work area changed"};
    for (int tick = 0; tick < 6; ++tick) expected.push_back("timer");
    expected.push_back("step");
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(ball.measured, std::vector<std::uint32_t>{60});
    DestroyWindow(popup);
    DestroyWindow(owner);
}

TEST_P(MainLoop, TheClockResolutionIsRaisedWhileTheBallMovesAndLoweredAtRestAndOnTheWayOut) {
    // Two steps of a moving ball, a rest, a message that sets it moving as a grab does, a
    // third step and the quit: the resolution is asked for once per movement, refused or not,
    // and every granted request is given back.
    struct Case {
        const char* what;
        bool refuse;
        int granted, refused, lowers;
    };
    const Case cases[] = {{"granted", false, 2, 0, 2}, {"refused", true, 0, 2, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetResolution(c.refuse);
        journal.clear();
        ball = StandInBall{};
        bool raisedAtRest = true;
        every(5);
        on(WM_TIMER, [] { advance(10); });
        on(WM_APP + 1, [&] {
            raisedAtRest = fake_clock::resolutionHeld;
            ball.rests = false;
            every(5);
        });
        ball.onStep = [this] {
            if (ball.steps == 2) {
                stopTimer();
                ball.rests = true;
            } else if (ball.steps == 3) {
                stopTimer();
                PostQuitMessage(0);
            }
        };
        std::thread grab = postLater(300, 1);

        EXPECT_EQ(run(), 0);
        grab.join();
        EXPECT_EQ(ball.raisedAtStep, std::vector<bool>(3, !c.refuse));
        EXPECT_FALSE(raisedAtRest);
        EXPECT_FALSE(fake_clock::resolutionHeld);
        EXPECT_EQ(fake_clock::raisesGranted, c.granted);
        EXPECT_EQ(fake_clock::raisesRefused, c.refused);
        EXPECT_EQ(fake_clock::lowers, c.lowers);
        drainQueue();
    }
}

TEST_P(MainLoop, OnAClockThatTicksLikeTheSystemsAStepComesAtItsFirstTickPastTheIntervalWithAtMostTwoWakes) {
    // The clock follows the machine's own time: 1 ms ticks once raised; 15.625 ms ticks when
    // the raise is refused, so that the interval shows only at the fourth tick, 62.5 ms on. A
    // wake at 51 ms then finds 46 or 47 ms and must sleep to the next tick, not nap through it.
    struct Case {
        const char* what;
        bool refuse;
        std::uint32_t fastest, median;  // the interval between steps, ms
    };
    // A wake that naps through a tick, or a raise not taken, costs a whole 15.6 ms tick; the
    // medians leave room for a busy machine's late wakes, well short of that.
    const Case cases[] = {{"raised", false, 51, 58}, {"refused", true, 62, 70}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetResolution(c.refuse);
        fake_clock::followRealTime();
        ball = StandInBall{};
        ball.onStep = [this] {
            if (ball.steps == 13) PostQuitMessage(0);
        };
        fake_clock::reads = 0;

        EXPECT_EQ(run(), 0);
        fake_clock::stopTicking();
        // The first step measures from before the loop began.
        std::vector<std::uint32_t> intervals(ball.measured.begin() + 1, ball.measured.end());
        ASSERT_EQ(intervals.size(), 12u);
        std::sort(intervals.begin(), intervals.end());
        EXPECT_GE(intervals.front(), c.fastest);
        EXPECT_LE(intervals[intervals.size() / 2], c.median);
        // Each step: the read that finds it due and the restart after it; then a read per wake.
        EXPECT_LE(fake_clock::reads, 13 * 4 + 2) << "more than two wakes a step";
    }
}

TEST_P(MainLoop, PresentsOncePerRefreshWhileAnythingIsLeftToShowThenArmsNothingAtRest) {
    // A step leaves five presents to show of a ball that rests from then on. The loop presents
    // on the refresh's grid (60 Hz where the stepper knows no display) with the resolution
    // raised, then waits for a message alone until one comes a third of a second later.
    fake_clock::hasPerformanceCounter = true;
    fake_clock::followRealTime();
    ball.onStep = [this] {
        ball.rests = true;
        if (ball.steps == 1) ball.toShow = 5;
    };
    bool raisedAtRest = true;
    on(WM_APP + 1, [&] {
        raisedAtRest = fake_clock::resolutionHeld;
        PostQuitMessage(0);
    });
    std::thread poster = postLater(350, 1);

    EXPECT_EQ(run(), 0);
    poster.join();
    fake_clock::stopTicking();
    // Steps go on meanwhile (a resting ball's change nothing); only a rest stops them.
    journal.erase(std::remove(journal.begin() + 1, journal.end(), "step"), journal.end());
    EXPECT_EQ(journal, (Journal{"step", "show", "show", "show", "show", "show", "message 1"}));
    const std::int64_t period = fake_clock::performanceFrequency / 60;
    for (std::size_t i = 1; i < ball.presents.size(); ++i)
        EXPECT_EQ(ball.presents[i] - ball.presents[i - 1], period) << "present " << i;
    EXPECT_LE(fake_clock::reads, 3) << "woken at rest";
    EXPECT_FALSE(raisedAtRest);
}

TEST(MessageWait, TouchAndPenWakeTheLoopWhereTheSystemsWaitAcceptsThem) {
    EXPECT_EQ(wakeMask([](unsigned long) { return false; }), 0x1CFFu);
    EXPECT_EQ(wakeMask([](unsigned long mask) { return (mask & 0x1800) != 0; }), 0x04FFu) << "Windows 7";
    EXPECT_NE(MsgWaitForMultipleObjectsEx(0, nullptr, 0, wakeMask(), MWMO_INPUTAVAILABLE), WAIT_FAILED);
}

TEST(MessageWait, AWaitTheSystemRefusesNapsInsteadOfReturningAtOnce) {
    // A handle that is no handle makes every wait fail; twenty of them in a row must take at
    // least a millisecond each, where a failing wait alone returns in microseconds.
    const HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0xBAD0));
    const DWORD started = timeGetTime();
    for (int i = 0; i < 20; ++i) waitForMessage(bogus, 0);
    EXPECT_GE(timeGetTime() - started, 20u);
}

INSTANTIATE_TEST_SUITE_P(Wakes, MainLoop,
                         ::testing::Values(StepWake::best, StepWake::timedWaits),
                         [](const ::testing::TestParamInfo<StepWake>& info) {
                             return std::string(info.param == StepWake::best ? "WaitableTimer"
                                                                             : "TimedWaits");
                         });

}  // namespace

// The measuring baseline's loop never sleeps: over the same idle third of a second it reads
// its clock far more often than a sleeping loop may, and still steps once a step is due.
using LoopThatNeverSleeps = MainLoop;

TEST_P(LoopThatNeverSleeps, PollsTheClockWhileNothingIsDueAndStepsWhenDue) {
    every(300);
    on(WM_TIMER, [this] {
        stopTimer();
        advance(51);
        on(WM_APP + 1, [] { PostQuitMessage(0); });
        ball.onStep = [this] { post(1); };
    });
    fake_clock::reads = 0;

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(ball.steps, 1);
    EXPECT_GT(fake_clock::reads, 100);
}

INSTANTIATE_TEST_SUITE_P(Baseline, LoopThatNeverSleeps, ::testing::Values(StepWake::never));
