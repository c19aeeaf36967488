#pragma once

// Portable: no <windows.h>.
#include <vector>

#include "motion/timeline.h"
#include "windows/scaled_desktop.h"

// Stands between the ball's ScaledDesktop and its window. Outside a flight step every call
// passes through at once, as ever; during one, each sub-step's move, cue and scoreboard repaint
// is recorded at the sub-step's own time, for the main loop to show one step late at the
// display's rate.
class BallMotion final : public DeviceDesktop {
public:
    explicit BallMotion(DeviceDesktop& window);

    // The window stands at (x, y) with frame `frame`, drawn at `dpi`, and nothing is pending.
    void standsAt(int x, int y, int frame, unsigned dpi);
    // A flight step of `ball`, whose desktop passes its calls on to this one.
    void step(Ball& ball);
    bool leftToShow() const { return timeline.pending(); }
    // Shows what the keyframes put at `presentTime` less the latency (less than that for a
    // while after a flight from rest), and its cues.
    void showAt(motion::Ticks presentTime);
    // A jump to what the steps computed last, with every pending cue and repaint.
    void showAllNow();
    // Before a press: the rules take the ball where it is seen (in the units of `units`), what
    // is not yet shown is dropped, and a basket already counted is shown at once.
    void takeShownPosition(Ball& ball, ScaledDesktop& units);

    DeviceMonitor deviceMonitorAt(int x, int y) override;
    MonitorArea monitorAt(int x, int y) override { return window.monitorAt(x, y); }
    void moveTo(int x, int y, int frame) override;
    void playCue(int cueId) override;
    ScreenRect backboardRect() override { return window.backboardRect(); }
    void repaintScoreboard() override;
    void captureMouse() override { window.captureMouse(); }
    void releaseMouse() override { window.releaseMouse(); }
    void subStepEnds(double stepMs, double endMs) override;

private:
    void show(const motion::Keyframe& k, const std::vector<motion::Event>& due);

    DeviceDesktop& window;
    motion::Timeline timeline;
    motion::ShownClock clock;
    bool stepping = false;
    bool stepBegun = false;      // its first sub-step seen
    motion::Ticks stepEnd = 0;   // when the step read its clock: the flight is known up to it
    motion::Ticks stepStart = 0;  // its first sub-step's
    bool scored = false;         // in this step
    motion::Ticks scoredAt = 0;
    ScreenRect board;            // the backboard at the latest step
    unsigned dpi = 0;           // of the monitor the ball's view last looked up
    motion::Keyframe onScreen;
    bool onScreenKnown = false;
};
