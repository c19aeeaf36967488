#pragma once

// Whatever the main loop paces: the ball, or a stand-in for it.
class FlightStepper {
public:
    virtual void flightStep() = 0;

protected:
    ~FlightStepper() = default;
};
