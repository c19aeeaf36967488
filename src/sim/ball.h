#pragma once

#include "sim/stopwatch.h"
#include "sim/vector2.h"

// A rectangle in screen pixels: left and top inside, right and bottom just outside.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The monitor holding a point (the nearest one when the point is on none) and its work area,
// the part of it not covered by the taskbar.
struct MonitorArea {
    ScreenRect monitor;
    ScreenRect workArea;
};

// Everything the ball needs from its window and the desktop. The ball window implements it
// with Win32 calls; native tests implement it with a recording fake.
class BallDesktop {
public:
    // The monitor at screen point (x, y) and its work area, read afresh at every call.
    virtual MonitorArea monitorAt(int x, int y) = 0;
    // Moves the ball window to screen (x, y) and shows strip frame `frame`.
    virtual void moveTo(int x, int y, int frame) = 0;
    virtual void playCue(int cueId) = 0;
    // Screen rectangle of the backboard window, which carries the hoop.
    virtual ScreenRect backboardRect() = 0;
    virtual void repaintScoreboard() = 0;
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;
    // The outcomes that follow, until the next call, are those of a sub-step ending `endMs` into
    // a flight step that measured `stepMs`: a desktop that shows them later times them by it.
    virtual void subStepEnds(double /*stepMs*/, double /*endMs*/) {}

protected:
    ~BallDesktop() = default;
};

// Cue ids: resource numbers of the "WAVE" resources.
enum Cue : int {
    cueFloorBounce = 109,
    cueWallBounce = 110,
    cueCheer = 112,
    cueBigCheer = 113,
    cueRim = 114,
};

// The ball's physical state and its flight through time.
class Ball {
public:
    explicit Ball(BallDesktop& desktop, int width = 50, int height = 50, int frameCount = 7);

    // Advances the flight by the time since the last step, in sub-steps of at most 20 ms.
    void flightStep();
    // Stores a new position, turns the picture while the ball moves, and moves the window.
    void moveAndSpin(Vector2 newPosition);
    Vector2 getPosition() const { return position; }
    // The four bounds of the flight, each read afresh from the monitor the ball is on: the
    // largest top-left y at which the ball stands on the floor, the work area's right edge,
    // and the monitor's top and left edges.
    int floorY();
    int workAreaRight();
    int ceilingY();
    int leftWallX();
    // True while a sub-step of the flight would change nothing: still, on the floor, inside
    // its monitor and not held. Reads the monitor afresh, but only for a ball that is still.
    bool resting();

    // The hoop rules on the candidate position of a sub-step of a live shot: rim bounces and
    // the basket, which may move the candidate onto the hoop's centre line.
    void hoopCheck(Vector2& candidate);

    // The mouse gesture, x and y in the ball window's client coordinates: the press picks the
    // ball up under the cursor, moves drag it and the release throws it.
    void grab(int x, int y);
    void drag(int x, int y);
    void release(int x, int y);

    const int width;
    const int height;
    const int frameCount;
    int currentFrame = 0;

    Stopwatch tickClock;             // time since the last flight step that ran
    Stopwatch grabClock;             // restarted at each grab; times the drag samples
    const Vector2 gravity{0.0, 1200.0};
    Vector2 position{0.0, 0.0};      // top-left corner of the ball window, screen px
    Vector2 velocity{600.0, 0.0};    // px/s
    Vector2 dragSamples[2];
    double dragSampleTimes[2] = {0.0, 0.0};  // ms since the grab
    int dragSampleIndex = 0;         // which drag sample is the newest
    double elapsedMs = 0.0;          // time measured by the latest flight step that ran
    bool grabbed = false;            // while held, the flight step leaves the ball alone

private:
    // The flight's bounds, from one reading of the monitor under the ball's centre.
    struct Bounds {
        int floorY;
        int right;
        int ceilingY;
        int left;
    };
    Bounds bounds();
    bool restingWithin(const Bounds& b) const;
    bool still() const { return !grabbed && velocity.x == 0.0 && velocity.y == 0.0; }
    // Half the window size, the offset from the top-left corner to the centre.
    Vector2 halfSize() const { return {static_cast<double>(width / 2), static_cast<double>(height / 2)}; }

    BallDesktop& desktop;
};
