#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/main_loop.h"
#include "motion/display_clock.h"
#include "sim/clock_source.h"
#include "sim/stopwatch.h"
#include "win/system_library.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

// The system's millisecond clock, which seeds the random numbers. winmm is no KnownDLL: looked
// up in the system folder, never imported.
DWORD systemMilliseconds() {
    const auto timeGetTime = systemFunction<DWORD(WINAPI*)()>("winmm.dll", "timeGetTime");
    return timeGetTime ? timeGetTime() : GetTickCount();
}

// The ball steps once more than this has passed since the last step ended.
const double stepIntervalSeconds = 0.05;

// Every kind of message, as Windows 7 knows them: the headers' QS_ALLINPUT for newer systems
// adds touch and pointer input, which an older system's wait refuses outright.
constexpr DWORD anyMessage = QS_KEY | QS_MOUSE | QS_RAWINPUT | QS_POSTMESSAGE | QS_TIMER |
                             QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;
static_assert(anyMessage == 0x04FF, "QS_ALLINPUT of Windows 7");
// QS_TOUCH and QS_POINTER, from Windows 8 on: touch and pen arrive as WM_POINTER, which sets
// only the latter.
constexpr DWORD touchAndPen = 0x0800 | 0x1000;

bool systemRefuses(unsigned long mask) {
    return MsgWaitForMultipleObjectsEx(0, nullptr, 0, mask, MWMO_INPUTAVAILABLE) == WAIT_FAILED;
}

// How long a loop naps when the system refuses to wait for messages.
const DWORD napAfterFailedWaitMs = 10;

// The wait at rest, which only a message ends; every other wait is timed, at most this long.
const double untilMessage = HUGE_VAL;
const double longestWaitMs = 100000.0;

// A wait in whole milliseconds ends up to a millisecond after its time: without the
// high-resolution timer the loop aims a millisecond before a present's wake, rounded down, and
// counts the present due from two before it, so that such a wake never waits again.
const double coarseWakeAheadMs = 1.0;

// Whole milliseconds to sleep so that a clock reading `elapsed` now shows more than the step
// interval on waking.
DWORD millisecondsUntilDue(double elapsed) {
    return static_cast<DWORD>((stepIntervalSeconds - elapsed) * 1000.0) + 1;
}

using CreateWaitableTimerExWFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD,
                                                        DWORD);

// A waitable timer that fires within about a millisecond of its due time, or null where the
// system has none (the function before Windows Vista, the flag before Windows 10 1803).
HANDLE createHighResolutionTimer() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return nullptr;
    const FARPROC address = GetProcAddress(kernel, "CreateWaitableTimerExW");
    if (!address) return nullptr;
    CreateWaitableTimerExWFunction create;
    static_assert(sizeof create == sizeof address, "function pointers of one size");
    CopyMemory(&create, &address, sizeof create);
    return create(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
}

// The display's refresh, 60 Hz on a grid of its own where the stepper knows none.
DisplayRefresh refreshOf(FlightStepper& ball) {
    DisplayRefresh r = ball.displayRefresh();
    if (r.period <= 0) r = {motion::ticksPerSecond() / 60, 0};
    return r;
}

// Sleeps the loop until a message arrives or a given time has passed, waking within about a
// millisecond of that time where it has its own timer, and within the system timer's period
// otherwise.
class StepWaiter {
public:
    explicit StepWaiter(StepWake wake) {
        if (wake == StepWake::best) timer = createHighResolutionTimer();
    }

    ~StepWaiter() {
        if (!timer) return;
        CancelWaitableTimer(timer);
        CloseHandle(timer);
    }

    StepWaiter(const StepWaiter&) = delete;
    StepWaiter& operator=(const StepWaiter&) = delete;

    bool precise() const { return timer != nullptr; }

    // Every wait of the loop. Returns when any message is in the queue, including one that came
    // in before the call, or after `milliseconds` (rounded down, never later); true when the
    // time ran out. Only `untilMessage` waits without a time limit: a present past its slot
    // asks a negative time, which must wake at once, not wrap to INFINITE or 49 days.
    bool sleep(double milliseconds) {
        if (milliseconds >= untilMessage) {
            if (timer) CancelWaitableTimer(timer);
            waitForMessage(nullptr, INFINITE);
            return false;
        }
        const double ms = milliseconds > 0.0 ? std::min(milliseconds, longestWaitMs) : 0.0;
        // Through 32 bits, which the 32-bit build converts without x87.
        if (timer && system_wait::armTimer(timer, static_cast<long>(ms * 10000.0)))
            return !waitForMessage(timer, INFINITE);
        return !waitForMessage(nullptr, static_cast<DWORD>(static_cast<long>(ms)));
    }

private:
    HANDLE timer = nullptr;
};

// How long to sleep before the next look at the clock. `lateWakes` counts the waits since the
// step fell due by the waiter's reckoning that found the clock not showing it yet: the clock
// then ticks coarser than a millisecond (the raise was refused, or Windows ignores it for a
// hidden window), and it cannot show more before its next tick, one period away. Shorter naps
// would only wake to read the same time again.
DWORD sleepBeforeStep(double elapsed, int lateWakes) {
    DWORD ms = millisecondsUntilDue(elapsed);
    if (lateWakes > 0 && (!clockResolutionRaised() || ms > 1 || lateWakes > 1)) {
        const DWORD period = static_cast<DWORD>(std::ceil(clock_source::coarseTimerPeriodMs()));
        if (ms < period) ms = period;
    }
    return ms;
}

// Gives the clock's resolution back on every way out of the loop.
struct ClockResolutionLease {
    ClockResolutionLease() = default;
    ~ClockResolutionLease() { lowerClockResolution(); }
    ClockResolutionLease(const ClockResolutionLease&) = delete;
    ClockResolutionLease& operator=(const ClockResolutionLease&) = delete;
};

}  // namespace

unsigned long wakeMask(bool (*refuses)(unsigned long mask)) {
    const DWORD wider = anyMessage | touchAndPen;
    return refuses(wider) ? anyMessage : wider;
}

unsigned long wakeMask() {
    static const unsigned long mask = wakeMask(systemRefuses);
    return mask;
}

bool waitForMessage(void* handle, unsigned long milliseconds) {
    const DWORD count = handle ? 1 : 0;
    const DWORD result = system_wait::forMessageOr(handle, milliseconds, wakeMask());
    if (result == WAIT_FAILED) {
        Sleep(milliseconds < napAfterFailedWaitMs ? milliseconds + 1 : napAfterFailedWaitMs);
        return false;
    }
    return result == WAIT_OBJECT_0 + count;
}

int runMainLoop(FlightStepper& ball, StepWake wake) {
    Stopwatch loopClock;
    loopClock.restart();
    MSG message;
    std::srand(systemMilliseconds());
    wakeMask();
    StepWaiter waiter(wake);
    const ClockResolutionLease lease;
    int lateWakes = 0;
    std::int64_t nextPresent = 0;  // performance counter
    const double aheadMs = waiter.precise() || wake == StepWake::never ? 0.0 : coarseWakeAheadMs;
    const std::int64_t early = motion::ticksOf(2.0 * aheadMs, motion::ticksPerSecond());

    for (;;) {
        // Messages come first: while any are queued, the ball waits.
        while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&message, nullptr, 0, 0)) return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        double elapsed = loopClock.elapsedSeconds();
        if (elapsed > stepIntervalSeconds) {
            ball.flightStep();
            // The interval runs from the end of one step to the next.
            loopClock.restart();
            lateWakes = 0;
            continue;
        }
        // What the steps computed is shown once per refresh, from a wake half a period before
        // the vblank: the move then lands in time for the composition at that vblank.
        bool showing = ball.leftToShow();
        double presentInMs = 0.0;
        if (showing) {
            std::int64_t now = motion::now();
            if (now + early >= nextPresent) {
                const DisplayRefresh r = refreshOf(ball);
                nextPresent = motion::nextWake(r.period, r.vblank, now + early);
                // The wake just passed, on the grid: a late wake shows the same as a timely one.
                ball.showAt(nextPresent - r.period);
                // Straight on to the next wait: a message that came in meanwhile ends it at
                // once, and the queue need not be asked twice a present.
                showing = ball.leftToShow();
                elapsed = loopClock.elapsedSeconds();
                if (wake == StepWake::never || elapsed > stepIntervalSeconds) continue;
                now = motion::now();
            }
            presentInMs = static_cast<double>(nextPresent - now) * 1000.0 /
                              static_cast<double>(motion::ticksPerSecond()) - aheadMs;
        }
        if (wake == StepWake::never) continue;
        if (!showing && ball.resting()) {
            // Nothing is timed at rest. Whatever sets the ball moving raises it again: the
            // grab itself, or this loop once the ball no longer rests.
            lowerClockResolution();
            waiter.sleep(untilMessage);
            // The steps skipped while waiting would have changed nothing; the next one runs
            // as if the last of them had ended now.
            loopClock.restart();
            ball.restEnded();
            lateWakes = 0;
        } else {
            raiseClockResolution();
            const DWORD stepInMs = sleepBeforeStep(elapsed, lateWakes);
            if (showing && presentInMs < stepInMs) {
                waiter.sleep(presentInMs);
            } else if (waiter.sleep(stepInMs)) {
                ++lateWakes;
            }
        }
    }
}
