#pragma once

#include "sim/ball.h"
#include "sim/flight_stepper.h"
#include "win/sprite_window.h"

// A sprite window cut to the ellipse inscribed in its rectangle.
class RoundSpriteWindow : public SpriteWindow {
public:
    RoundSpriteWindow(const char* className, int width, int height, unsigned cursorId,
                      unsigned bitmapId, int frameCount, Window* owner);
    ~RoundSpriteWindow() override;

    bool onCreate() override;
};

// The ball on the desktop: the window, its flight, and the grab-drag-throw gesture. It is the
// ball's view of the desktop, and the main loop steps its flight.
class BallWindow : public RoundSpriteWindow, public BallDesktop, public FlightStepper {
public:
    explicit BallWindow(Window* owner);
    ~BallWindow() override;

    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    void onLButtonDown(WPARAM keys, int x, int y) override;
    void onLButtonUp(WPARAM keys, int x, int y) override;
    void onMouseMove(WPARAM keys, int x, int y) override;
    void onCaptureChanged(HWND newCapture) override;

    void flightStep() override;
    bool resting() override;
    void restEnded() override;

    // Both the sprite's move and the ball's request to move its window.
    void moveTo(int x, int y, int frame) override;
    MonitorArea monitorAt(int x, int y) override;
    void playCue(int cueId) override;
    ScreenRect backboardRect() override;
    void repaintScoreboard() override;
    void captureMouse() override;
    void releaseMouse() override;

    Ball ball;
};
