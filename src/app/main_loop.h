#pragma once

#include "sim/flight_stepper.h"

// How the loop sleeps while the queue is empty and the next step is not yet due.
enum class StepWake {
    best,        // a high-resolution waitable timer where the system has one, else as below
    timedWaits,  // the message wait's own timeout, as fine as the system timer's period
    never,       // polls without ever sleeping: the measuring baseline
};

// Returns when a message is queued (one that came in before the call included), when `handle`
// (null: none) is signalled, or after `milliseconds` (INFINITE: never); true when a message
// ended it. A wait the system refuses sleeps a few milliseconds instead, so that a loop around
// it never spins.
bool waitForMessage(void* handle, unsigned long milliseconds);

// The kinds of message that end such a wait: all of them, touch and pen input included where
// the system's wait accepts that (Windows 8 on; Windows 7 refuses the wider mask outright).
// The first asks the system once, the second `refuses` (true when a wait with the mask fails).
unsigned long wakeMask();
unsigned long wakeMask(bool (*refuses)(unsigned long mask));

// The system's side of every wait above, a link seam: the program links main_loop_edge
// (app/system_wait_win32.cpp); the loop's tests link a fake that moves their clock instead.
namespace system_wait {
// Arms a waitable timer to fire `hundredsOfNanoseconds` from now; false when it is refused.
bool armTimer(void* timer, long hundredsOfNanoseconds);
// MsgWaitForMultipleObjectsEx with MWMO_INPUTAVAILABLE, on `handle` unless it is null.
unsigned long forMessageOr(void* handle, unsigned long milliseconds, unsigned long mask);
}  // namespace system_wait

// The one message loop: dispatches every message, and whenever the queue is empty and more
// than 0.05 s have passed since the last step, steps the ball. Between the two it sleeps
// until a message arrives, the step falls due or the next present; while the ball rests with
// nothing left to show, until a message arrives. The millisecond clock's resolution is raised
// while the ball moves and lowered at rest and on the way out. Returns the WM_QUIT code.
int runMainLoop(FlightStepper& ball, StepWake wake);
