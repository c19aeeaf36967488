#pragma once

#include <cstdint>

// The display's refresh on the performance counter: its period and the time of one vblank, in
// ticks. A period of 0: unknown.
struct DisplayRefresh {
    std::int64_t period = 0;
    std::int64_t vblank = 0;
};

// Whatever the main loop paces: the ball, or a stand-in for it.
class FlightStepper {
public:
    virtual void flightStep() = 0;
    // True while a step would change nothing, however long it measured: the loop then waits
    // for a message with no timeout. Asked afresh after every message.
    virtual bool resting() { return false; }
    // The loop woke from such a wait: the next step measures from now, as if the steps that
    // would have changed nothing had run.
    virtual void restEnded() {}
    // True while something the steps computed is not yet shown: the loop then presents once
    // per refresh of the display.
    virtual bool leftToShow() { return false; }
    // Shows what is due at `presentTime` (performance counter ticks), the time of a present's
    // wake half a refresh before its vblank.
    virtual void showAt(std::int64_t /*presentTime*/) {}
    // The refresh of the display the stepper is shown on.
    virtual DisplayRefresh displayRefresh() { return {}; }

protected:
    ~FlightStepper() = default;
};
