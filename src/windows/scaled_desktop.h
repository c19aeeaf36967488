#pragma once

// The ball's rules run in 100 % units; the desktop is in pixels of monitors of different
// scales. ScaledDesktop stands between them. Portable: no <windows.h>.
#include "sim/ball.h"

// A monitor, its work area and its DPI, from one lookup.
struct DeviceMonitor {
    MonitorArea area;
    unsigned dpi = 96;
};

// The ball's desktop in the system's pixels: its monitorAt, moveTo and backboardRect are in
// pixels, and it also reports the DPI of a monitor.
class DeviceDesktop : public BallDesktop {
public:
    virtual DeviceMonitor deviceMonitorAt(int x, int y) = 0;
    // Shows the ball at (x, y) with strip frame `frame`, drawn at `dpi` (0: as it is): a moveTo
    // that happens later than the sub-step that made it.
    virtual void showBall(int x, int y, int frame, unsigned /*dpi*/) { moveTo(x, y, frame); }

protected:
    ~DeviceDesktop() = default;
};

// The ball's view of a DeviceDesktop in 100 % units, with the scale of the monitor under the
// ball's centre. A position is measured from that monitor's top-left corner, which is the same
// point in both units. At 96 DPI every figure passes through unchanged.
class ScaledDesktop final : public BallDesktop {
public:
    // `ballWidth` x `ballHeight`: the ball's size in units.
    ScaledDesktop(DeviceDesktop& device, int ballWidth, int ballHeight);

    MonitorArea monitorAt(int x, int y) override;
    void moveTo(int x, int y, int frame) override;
    ScreenRect backboardRect() override;
    void playCue(int cueId) override { device.playCue(cueId); }
    void repaintScoreboard() override { device.repaintScoreboard(); }
    void captureMouse() override { device.captureMouse(); }
    void releaseMouse() override { device.releaseMouse(); }
    void subStepEnds(double stepMs, double endMs) override { device.subStepEnds(stepMs, endMs); }

    // The cursor during a gesture, in units, relative to the top-left corner of a ball at
    // `ballPosition`. `regrab` is set when the cursor has passed onto a monitor of another
    // mapping: the units of the two sides do not meet there, so the gesture starts afresh
    // instead of measuring a throw out of the jump.
    struct Cursor {
        int x, y;
        bool regrab;
    };
    // The cursor at client pixel (clientX, clientY) of the ball's window, which is screen
    // pixel (screenX, screenY).
    Cursor cursor(int clientX, int clientY, int screenX, int screenY, Vector2 ballPosition);

    // The gesture of `ball`, whose desktop this is, with the cursor as for cursor().
    void press(Ball& ball, int clientX, int clientY, int screenX, int screenY);
    void drag(Ball& ball, int clientX, int clientY, int screenX, int screenY);
    void release(Ball& ball, int clientX, int clientY, int screenX, int screenY);

    // The monitor is looked up afresh next time: its place or scale may have changed.
    void forgetMonitor() { known = false; }
    // The DPI of the ball's monitor, 0 until one was looked up.
    unsigned dpi() const { return known ? current.dpi : 0; }
    // The top-left corner of a ball window at pixel (x, y), in units of the monitor under its
    // centre.
    Vector2 unitsOf(int x, int y);
    // A monitor in units: left and top as they are, the rest measured from them.
    static MonitorArea inUnits(const DeviceMonitor& m);

private:
    void lookUp(int x, int y);

    DeviceDesktop& device;
    const int ballWidth;
    const int ballHeight;
    bool known = false;
    DeviceMonitor current;
    MonitorArea currentUnits;
};
