#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/main_loop.h"
#include "sim/stopwatch.h"
#include "support/fake_clock.h"

// The system's waits, faked. While the clock ticks like the system's, a timed wait moves it by
// the time asked plus the lateness scripted for that one wait, and ends at once, woken by a
// message already queued or by the time; every other wait is the system's own.
namespace fake_wait {
std::vector<double> asked;  // every wait, in ms; HUGE_VAL: no time limit
double lateMs = 0.0;        // for the next timed wait
long armedFor = 0;          // 100 ns
// Set as the loop starts a wait with no time limit, which only a message ends: its rest.
const HANDLE resting = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}  // namespace fake_wait

namespace system_wait {
bool armTimer(void* timer, long hundredsOfNanoseconds) {
    fake_wait::armedFor = hundredsOfNanoseconds;
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(hundredsOfNanoseconds);
    return SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) != FALSE;
}

unsigned long forMessageOr(void* handle, unsigned long milliseconds, unsigned long mask) {
    const DWORD count = handle ? 1 : 0;
    const bool timed = handle || milliseconds != INFINITE;
    fake_wait::asked.push_back(!timed ? HUGE_VAL : handle ? fake_wait::armedFor / 10000.0 : milliseconds);
    if (!timed) SetEvent(fake_wait::resting);
    if (!fake_clock::ticking() || !timed)
        return MsgWaitForMultipleObjectsEx(count, &handle, milliseconds, mask, MWMO_INPUTAVAILABLE);
    if (MsgWaitForMultipleObjectsEx(0, nullptr, 0, mask, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0)
        return WAIT_OBJECT_0 + count;
    fake_clock::advanceTrueTime(fake_wait::asked.back() + fake_wait::lateMs);
    fake_wait::lateMs = 0.0;
    return handle ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}
}  // namespace system_wait

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

    int toShow = 0;                      // presents left
    std::function<void()> onShow;
    std::vector<std::int64_t> presents;  // the times shown
    std::vector<std::int64_t> shownAt;   // performance counter
    bool leftToShow() override { return toShow > 0; }
    void showAt(std::int64_t presentTime) override {
        journal.push_back("show");
        presents.push_back(presentTime);
        shownAt.push_back(fake_clock::performanceCounter);
        --toShow;
        if (onShow) onShow();
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
        fake_wait::asked.clear();
        fake_wait::lateMs = 0.0;
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
    // Runs `what` on another thread once the loop waits at rest. The bound only keeps a loop
    // that never rests from hanging the test.
    static std::thread atRest(std::function<void()> what) {
        ResetEvent(fake_wait::resting);
        return std::thread([what] {
            WaitForSingleObject(fake_wait::resting, 30000);
            what();
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
    // another thread once it rests, wakes the loop. Waiting in timed slices, it would ask for a
    // timed wait again.
    fake_clock::tickLikeTheSystem(100000.0);
    ball.onStep = [this] { ball.rests = true; };
    on(WM_APP + 2, [] { PostQuitMessage(0); });
    std::thread poster = atRest([this] { post(2); });

    EXPECT_EQ(run(), 0);
    poster.join();
    EXPECT_EQ(journal, (Journal{"step", "message 2"}));
    EXPECT_EQ(fake_wait::asked, (std::vector<double>{51.0, HUGE_VAL}));
}

TEST_P(MainLoop, AMovedTaskbarEndsTheRestAndTheNextStepMeasuresFromTheWake) {
    // The broadcast another program sends when the taskbar moves reaches an owned popup like
    // the set's windows, and wakes the resting loop. An hour has passed at rest by then; the
    // ball, asked afresh, no longer rests (its floor moved), and the step that follows 51 ms
    // later measures those 51 ms, not the hour.
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW, "main loop test", "", WS_POPUP, 0, 0, 1, 1, owner,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(popup, nullptr);
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    UpdateWindow(popup);
    drainQueue();
    fake_clock::tickLikeTheSystem(100000.0);
    ball.rests = true;
    on(WM_SETTINGCHANGE, [this] { ball.rests = false; });
    ball.onStep = [] { PostQuitMessage(0); };
    const HANDLE sent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread taskbar = atRest([sent] {
        fake_clock::advanceTrueTime(3600 * 1000);
        SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        SetEvent(sent);
    });

    EXPECT_EQ(run(), 0);
    // What the loop saw: a broadcast that reaches this thread's windows after it ended is
    // answered below and is not the loop's.
    const Journal seen = journal;
    while (MsgWaitForMultipleObjects(1, &sent, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) drainQueue();
    taskbar.join();
    CloseHandle(sent);
    EXPECT_EQ(seen, (Journal{"work area changed", "step"}));
    EXPECT_EQ(ball.measured, std::vector<std::uint32_t>{51});
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
        fake_clock::tickLikeTheSystem(100000.0);
        ball = StandInBall{};
        bool raisedAtRest = true;
        on(WM_APP + 1, [&] {
            raisedAtRest = fake_clock::resolutionHeld;
            ball.rests = false;
        });
        ball.onStep = [this] {
            ball.rests = ball.steps == 2;
            if (ball.steps == 3) PostQuitMessage(0);
        };
        std::thread grab = atRest([this] { post(1); });

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
    // The waits move a clock that ticks every 1 ms once raised, and every 15.625 ms when the
    // raise is refused, so that the interval shows only at the fourth tick, 62.5 ms on. A wake
    // at 51 ms then finds 46 or 47 ms and must sleep to the next tick, not nap through it. The
    // interval runs from the end of one step to the next: 30 ms steps come 81 ms apart, and a
    // wake 3 ms late delays its step alone.
    struct Case {
        const char* what;
        bool refuse;
        double stepTakesMs, lateMs;  // lateMs: the wake before the sixth step
        std::uint32_t shortest, longest;  // from one step to the next, ms
    };
    const Case cases[] = {{"raised", false, 0.0, 0.0, 51, 51},
                          {"raised, 30 ms steps", false, 30.0, 0.0, 81, 81},
                          {"raised, a late wake", false, 0.0, 3.0, 51, 51},
                          {"refused", true, 0.0, 0.0, 62, 63}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetResolution(c.refuse);
        fake_clock::tickLikeTheSystem(100000.0);
        ball = StandInBall{};
        ball.onStep = [&] {
            fake_clock::advanceTrueTime(c.stepTakesMs);
            if (ball.steps == 5) fake_wait::lateMs = c.lateMs;
            if (ball.steps == 13) PostQuitMessage(0);
        };
        fake_clock::reads = 0;

        EXPECT_EQ(run(), 0);
        // The first step measures from before the loop began.
        std::vector<std::uint32_t> intervals(ball.measured.begin() + 1, ball.measured.end());
        ASSERT_EQ(intervals.size(), 12u);
        for (std::size_t i = 0; i < intervals.size(); ++i) {
            const double late = i == 4 ? c.lateMs : 0.0;
            EXPECT_GE(intervals[i], c.shortest + late) << "step " << i + 2;
            EXPECT_LE(intervals[i], c.longest + late) << "step " << i + 2;
        }
        // Each step: the read that finds it due and the restart after it; then a read per wake.
        EXPECT_LE(fake_clock::reads, 13 * 4 + 2) << "more than two wakes a step";
    }
}

TEST_P(MainLoop, PresentsOncePerRefreshWhileAnythingIsLeftToShowThenArmsNothingAtRest) {
    // A step leaves five presents to show of a ball that rests from then on. The loop presents
    // on the refresh's grid (60 Hz where the stepper knows no display) with the resolution
    // raised, then waits for a message alone. Each wake comes at its present's time, or without
    // the high-resolution timer a millisecond before, rounded down; a late one shows the same
    // time, and a present that runs past the next one's time is followed by it at once (a
    // wait asked for a negative time once became endless there, and the ball froze in mid-air).
    struct Case {
        const char* what;
        double lateMs;       // the wake for the third present
        double showTakesMs;  // the second present
        double latestMs;     // each wake after the first, past its aim
    };
    const Case cases[] = {
        {"on time", 0.0, 0.0, 0.0}, {"a late wake", 9.0, 0.0, 9.0}, {"a present past its slot", 0.0, 17.9, 1.24}};
    const bool coarse = GetParam() == StepWake::timedWaits;
    const std::int64_t period = fake_clock::performanceFrequency / 60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetResolution(false);
        fake_clock::hasPerformanceCounter = true;
        fake_clock::tickLikeTheSystem(100000.0);
        journal.clear();
        ball = StandInBall{};
        ball.onStep = [this] {
            ball.rests = true;
            if (ball.steps == 1) ball.toShow = 5;
        };
        ball.onShow = [&] {
            if (ball.presents.size() != 2) return;
            fake_wait::lateMs = c.lateMs;
            fake_clock::advanceTrueTime(c.showTakesMs);
        };
        bool raisedAtRest = true;
        on(WM_APP + 1, [&] {
            raisedAtRest = fake_clock::resolutionHeld;
            PostQuitMessage(0);
        });
        fake_wait::asked.clear();
        std::thread poster = atRest([this] { post(1); });

        EXPECT_EQ(run(), 0);
        poster.join();
        // Steps go on meanwhile (a resting ball's change nothing); only a rest stops them.
        journal.erase(std::remove(journal.begin() + 1, journal.end(), "step"), journal.end());
        EXPECT_EQ(journal, (Journal{"step", "show", "show", "show", "show", "show", "message 1"}));
        for (std::size_t i = 1; i < ball.presents.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "present " << i);
            EXPECT_EQ(ball.presents[i] - ball.presents[i - 1], period);
            const double lateMs = static_cast<double>(ball.shownAt[i] - ball.presents[i]) / 1000.0;
            EXPECT_GE(lateMs, coarse ? -2.0 : 0.0);
            EXPECT_LE(lateMs, (coarse ? -1.0 : 0.0) + c.latestMs);
        }
        EXPECT_EQ(fake_wait::asked.back(), HUGE_VAL);
        EXPECT_EQ(std::count(fake_wait::asked.begin(), fake_wait::asked.end(), HUGE_VAL), 1) << "woken at rest";
        EXPECT_FALSE(raisedAtRest);
    }
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

// The measuring baseline's loop never sleeps: over the same idle third of a second it asks for
// no wait at all and keeps reading its clock (dozens of times even on a machine kept busy), and
// still steps once a step is due.
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
    EXPECT_EQ(fake_wait::asked, std::vector<double>{});
    EXPECT_GT(fake_clock::reads, 10);
}

INSTANTIATE_TEST_SUITE_P(Baseline, LoopThatNeverSleeps, ::testing::Values(StepWake::never));
