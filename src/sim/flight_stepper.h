#pragma once

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

protected:
    ~FlightStepper() = default;
};
