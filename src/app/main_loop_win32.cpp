#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>

#include "app/main_loop.h"
#include "sim/stopwatch.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

// The ball steps once more than this has passed since the last step ended.
const double stepIntervalSeconds = 0.05;

// Every kind of message, as Windows 7 knows them: the headers' QS_ALLINPUT for newer systems
// adds touch and pointer input, which an older system's wait refuses outright.
constexpr DWORD anyMessage = QS_KEY | QS_MOUSE | QS_RAWINPUT | QS_POSTMESSAGE | QS_TIMER |
                             QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;
static_assert(anyMessage == 0x04FF, "QS_ALLINPUT of Windows 7");

// How long a loop naps when the system refuses to wait for messages.
const DWORD napAfterFailedWaitMs = 10;

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

// Sleeps the loop until a message arrives or a given time has passed, waking within about a
// millisecond of that time. Holds its timer, or the raised system timer period, for the life
// of the loop.
class StepWaiter {
public:
    explicit StepWaiter(StepWake wake) {
        if (wake == StepWake::never) return;
        if (wake == StepWake::best) timer = createHighResolutionTimer();
        if (!timer) periodRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
    }

    ~StepWaiter() {
        if (timer) {
            CancelWaitableTimer(timer);
            CloseHandle(timer);
        }
        if (periodRaised) timeEndPeriod(1);
    }

    StepWaiter(const StepWaiter&) = delete;
    StepWaiter& operator=(const StepWaiter&) = delete;

    // Returns when any message is in the queue, including one that came in before the call,
    // or after `milliseconds`.
    void waitForMessageOr(DWORD milliseconds) {
        if (timer) {
            LARGE_INTEGER due;
            due.QuadPart = -static_cast<LONGLONG>(milliseconds) * 10000;  // relative, 100 ns
            if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
                waitForMessage(timer, INFINITE);
                return;
            }
        }
        waitForMessage(nullptr, milliseconds);
    }

    // Returns when any message is in the queue; nothing else wakes it.
    void waitForMessageOnly() {
        if (timer) CancelWaitableTimer(timer);
        waitForMessage(nullptr, INFINITE);
    }

private:
    HANDLE timer = nullptr;
    bool periodRaised = false;
};

}  // namespace

void waitForMessage(void* handle, unsigned long milliseconds) {
    const DWORD count = handle ? 1 : 0;
    HANDLE handles[1] = {handle};
    if (MsgWaitForMultipleObjectsEx(count, handle ? handles : nullptr, milliseconds, anyMessage,
                                    MWMO_INPUTAVAILABLE) == WAIT_FAILED) {
        Sleep(milliseconds < napAfterFailedWaitMs ? milliseconds + 1 : napAfterFailedWaitMs);
    }
}

int runMainLoop(FlightStepper& ball) { return runMainLoop(ball, StepWake::best); }

int runMainLoop(FlightStepper& ball, StepWake wake) {
    Stopwatch loopClock;
    loopClock.restart();
    MSG message;
    std::srand(timeGetTime());
    StepWaiter waiter(wake);

    for (;;) {
        // Messages come first: while any are queued, the ball waits.
        while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&message, nullptr, 0, 0)) return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const double elapsed = loopClock.elapsedSeconds();
        if (elapsed > stepIntervalSeconds) {
            ball.flightStep();
            // The interval runs from the end of one step to the next.
            loopClock.restart();
        } else if (wake == StepWake::never) {
            continue;
        } else if (ball.resting()) {
            waiter.waitForMessageOnly();
            // The steps skipped while waiting would have changed nothing; the next one runs
            // as if the last of them had ended now.
            loopClock.restart();
            ball.restEnded();
        } else {
            waiter.waitForMessageOr(millisecondsUntilDue(elapsed));
        }
    }
}
