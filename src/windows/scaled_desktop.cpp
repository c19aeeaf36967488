#include "windows/scaled_desktop.h"

#include <algorithm>

#include "windows/set_scale.h"

using set_scale::scaled;
using set_scale::toPixels;
using set_scale::toUnits;
using set_scale::unscaled;

namespace {

bool inside(const ScreenRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Two monitors whose units meet without a jump: both at 100 %, or one and the same.
bool sameMapping(const DeviceMonitor& a, const DeviceMonitor& b) {
    if (a.dpi == 96 && b.dpi == 96) return true;
    return a.dpi == b.dpi && a.area.monitor.left == b.area.monitor.left &&
           a.area.monitor.top == b.area.monitor.top;
}

}  // namespace

ScaledDesktop::ScaledDesktop(DeviceDesktop& device_, int ballWidth_, int ballHeight_)
    : device(device_), ballWidth(ballWidth_), ballHeight(ballHeight_) {}

MonitorArea ScaledDesktop::inUnits(const DeviceMonitor& m) {
    const ScreenRect& p = m.area.monitor;
    const ScreenRect& w = m.area.workArea;
    const auto x = [&](int v) { return toUnits(v, p.left, m.dpi); };
    const auto y = [&](int v) { return toUnits(v, p.top, m.dpi); };
    return {{p.left, p.top, x(p.right), y(p.bottom)}, {x(w.left), y(w.top), x(w.right), y(w.bottom)}};
}

void ScaledDesktop::lookUp(int x, int y) {
    current = device.deviceMonitorAt(x, y);
    currentUnits = inUnits(current);
    known = true;
}

// A point of the monitor the ball was last on is carried to pixels with that monitor's scale,
// so that the lookup finds the monitor under the ball itself. Any other point is looked up as
// it is: a point of a monitor in units lies inside the same monitor in pixels, since no scale
// is below 100 %.
MonitorArea ScaledDesktop::monitorAt(int x, int y) {
    if (known && inside(currentUnits.monitor, x, y)) {
        const ScreenRect& p = current.area.monitor;
        lookUp(toPixels(x, p.left, current.dpi), toPixels(y, p.top, current.dpi));
    } else {
        lookUp(x, y);
    }
    return currentUnits;
}

// Two roundings meet at the floor and the right wall: the ball's edge from its position and
// the edge of its scaled size. A ball at either bound is put exactly on the work area's edge,
// and one inside them never passes it.
void ScaledDesktop::moveTo(int x, int y, int frame) {
    if (!known) lookUp(x + ballWidth / 2, y + ballHeight / 2);
    const unsigned dpi = current.dpi;
    const ScreenRect& p = current.area.monitor;
    const ScreenRect& work = current.area.workArea;
    int px = toPixels(x, p.left, dpi);
    int py = toPixels(y, p.top, dpi);

    const int floorY = currentUnits.workArea.bottom - ballHeight;
    const int lowest = work.bottom - scaled(ballHeight, dpi);
    if (y <= floorY) py = std::min(py, lowest);
    if (y == floorY) py = lowest;
    const int rightX = currentUnits.workArea.right - ballWidth;
    const int rightmost = work.right - scaled(ballWidth, dpi);
    if (x <= rightX) px = std::min(px, rightmost);
    if (x == rightX) px = rightmost;

    device.moveTo(px, py, frame);
}

ScreenRect ScaledDesktop::backboardRect() {
    const ScreenRect r = device.backboardRect();
    if (!known) lookUp(r.left, r.top);
    const unsigned dpi = current.dpi;
    const int left = toUnits(r.left, current.area.monitor.left, dpi);
    const int top = toUnits(r.top, current.area.monitor.top, dpi);
    return {left, top, left + unscaled(r.right - r.left, dpi), top + unscaled(r.bottom - r.top, dpi)};
}

Vector2 ScaledDesktop::unitsOf(int x, int y) {
    lookUp(x + ballWidth / 2, y + ballHeight / 2);
    const ScreenRect& p = current.area.monitor;
    return {static_cast<double>(toUnits(x, p.left, current.dpi)),
            static_cast<double>(toUnits(y, p.top, current.dpi))};
}

ScaledDesktop::Cursor ScaledDesktop::cursor(int clientX, int clientY, int screenX, int screenY,
                                            Vector2 ballPosition) {
    if (!known || !inside(current.area.monitor, screenX, screenY)) {
        const bool wasKnown = known;
        const DeviceMonitor before = current;
        lookUp(screenX, screenY);
        if (wasKnown && !sameMapping(before, current)) {
            const ScreenRect& p = current.area.monitor;
            return {toUnits(screenX, p.left, current.dpi) - trunc32(ballPosition.x),
                    toUnits(screenY, p.top, current.dpi) - trunc32(ballPosition.y), true};
        }
    }
    return {unscaled(clientX, current.dpi), unscaled(clientY, current.dpi), false};
}

void ScaledDesktop::press(Ball& ball, int clientX, int clientY, int screenX, int screenY) {
    const Cursor c = cursor(clientX, clientY, screenX, screenY, ball.position);
    ball.grab(c.x, c.y);
}

void ScaledDesktop::drag(Ball& ball, int clientX, int clientY, int screenX, int screenY) {
    const Cursor c = cursor(clientX, clientY, screenX, screenY, ball.position);
    if (c.regrab && ball.grabbed) {
        ball.grab(c.x, c.y);
    } else {
        ball.drag(c.x, c.y);
    }
}

// A release just across a boundary is a grab there and an immediate release: a drop.
void ScaledDesktop::release(Ball& ball, int clientX, int clientY, int screenX, int screenY) {
    const Cursor c = cursor(clientX, clientY, screenX, screenY, ball.position);
    if (c.regrab && ball.grabbed) ball.grab(c.x, c.y);
    ball.release(c.x, c.y);
}
