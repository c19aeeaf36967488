#pragma once

#include "sim/ball.h"
#include "sim/flight_stepper.h"
#include "windows/ball_motion.h"
#include "windows/scaled_desktop.h"
#include "windows/set_sprite_window.h"

// A sprite window cut to the ellipse inscribed in its rectangle.
class RoundSpriteWindow : public SetSpriteWindow {
public:
    RoundSpriteWindow(const char* className, int width, int height, unsigned cursorId,
                      unsigned bitmapId, int frameCount, Window* owner);
    ~RoundSpriteWindow() override;

    HRGN createShape() override;
};

// The ball on the desktop: the window, its flight, and the grab-drag-throw gesture. It is the
// desktop in pixels under the ball's view in 100 % units (scaledDesktop), and the main loop
// steps its flight.
class BallWindow : public RoundSpriteWindow, public DeviceDesktop, public FlightStepper {
public:
    explicit BallWindow(Window* owner);
    ~BallWindow() override;

    bool onCreate() override;
    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override;
    void onLButtonDown(WPARAM keys, int x, int y) override;
    void onLButtonUp(WPARAM keys, int x, int y) override;
    void onMouseMove(WPARAM keys, int x, int y) override;
    void onCaptureChanged(HWND newCapture) override;
    // The ball keeps its centre. Sent from inside the ball's own move onto a monitor of
    // another scale, it finds the move has already taken that scale.
    void onDpiChanged(unsigned newDpi, const RECT& suggested) override;
    // Monitors came or went: what the steps computed is shown at once, not blended across the
    // change, and the ball's monitor is looked up afresh.
    void onDisplayChange() override {
        motion.showAllNow();
        scaledDesktop.forgetMonitor();
    }

    // The backboard's gesture or menu begins: the ball jumps to where its steps have put it.
    LRESULT onUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void flightStep() override;
    bool resting() override;
    void restEnded() override;
    bool leftToShow() override;
    void showAt(std::int64_t presentTime) override;
    DisplayRefresh displayRefresh() override;

    // Both the sprite's move and the desktop's, in pixels; at the scale of the monitor the
    // ball's view last looked up.
    void moveTo(int x, int y, int frame) override;
    MonitorArea monitorAt(int x, int y) override;
    DeviceMonitor deviceMonitorAt(int x, int y) override;
    // A present: moves only when the pixel position changes.
    void showBall(int x, int y, int frame, unsigned dpi) override;
    void playCue(int cueId) override;
    ScreenRect backboardRect() override;
    void repaintScoreboard() override;
    void captureMouse() override;
    void releaseMouse() override;

    // moveTo at the scale `wantedDpi` (0: the window's own).
    void place(int x, int y, int frame, unsigned wantedDpi);

    BallMotion motion;  // over this window
    ScaledDesktop scaledDesktop;  // over motion
    Ball ball;  // on scaledDesktop
    bool moving = false;  // inside moveTo's SetWindowPos
    DisplayRefresh refresh;
    bool refreshRead = false;  // since the last step
};

// Sent to the ball window of this process when the set's own gesture or menu begins.
constexpr UINT wmShowBallAtOnce = WM_USER + 24;
void showBallAtOnce();
