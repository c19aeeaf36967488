#pragma once

// What a flight step computed, each outcome at its own time, and what to show at a later time.
// Portable: no <windows.h>. Times are ticks of the performance counter (motion/display_clock.h).
#include <cstdint>
#include <deque>
#include <vector>

namespace motion {

using Ticks = std::int64_t;

// The ball window as one sub-step left it: top-left corner in screen pixels, strip frame, and
// the scale it is drawn at.
struct Keyframe {
    Ticks time = 0;
    int x = 0;
    int y = 0;
    int frame = 0;
    unsigned dpi = 0;

    bool looksLike(const Keyframe& o) const {
        return x == o.x && y == o.y && frame == o.frame && dpi == o.dpi;
    }
};

// The top-left corners from (left, top) to (right, bottom), both ends included.
struct Corners {
    int left, top, right, bottom;
    bool hold(const Keyframe& k) const { return k.x >= left && k.x <= right && k.y >= top && k.y <= bottom; }
};

struct Event {
    enum Kind { cue, scoreboard };
    Ticks time = 0;
    Kind kind = cue;
    int cueId = 0;
};

// Keyframes and events in time order. What is shown at time t lies on the straight line between
// the two keyframes around t, and a keyframe is shown as it is at its own time; past the newest
// the window holds it.
class Timeline {
public:
    // `maxLag`: how far the shown time may trail the newest keyframe; an older time is moved
    // up to it, so a long step after a stall is jumped over rather than replayed.
    explicit Timeline(Ticks maxLag) : maxLag(maxLag) {}

    // The window stands as `k` shows it, and nothing is pending.
    void reset(const Keyframe& k);
    // The ball stood still from the newest keyframe until `time`, when a step began.
    void holdUntil(Ticks time);
    // Outcomes recorded from now on happen at `time` (never before the newest keyframe).
    void recordAt(Ticks time);
    Ticks recordingAt() const { return recordTime; }
    void add(int x, int y, int frame, unsigned dpi);
    void addCue(int cueId);
    void addScoreboardRepaint();

    // Something recorded is not yet shown.
    bool pending() const;
    // What to show at `t` (the first keyframe until its time, when nothing was shown before it);
    // the events due by then go to `due`, oldest first. Shown times only move forward.
    // A blend that would show the ball at corners in `avoid` where neither keyframe around it
    // stands shows the earlier keyframe instead.
    Keyframe at(Ticks t, std::vector<Event>& due, const Corners* avoid = nullptr);
    // A jump: the newest keyframe and every pending event at once.
    Keyframe showAll(std::vector<Event>& due);
    // Forgets what is not yet shown; the window stays as last shown. True when a scoreboard
    // repaint was among it: its basket is already counted.
    bool dropPending();

    const Keyframe& shown() const { return lastShown; }
    bool empty() const { return keys.empty(); }

private:
    Keyframe shownAt(const Keyframe& k);
    void takeEvents(Ticks t, std::vector<Event>& due);

    Ticks maxLag;
    Ticks recordTime = 0;
    Ticks shownTime = 0;
    std::deque<Keyframe> keys;  // keys.front() is shown or the blend's start
    std::deque<Event> events;
    Keyframe lastShown;
    bool frontShown = false;
    bool anyShown = false;
};

// Which time of the flight a present shows: `latency` behind it, so that the step after the
// shown time has come. A flight from rest would then stand still for that long after the
// release: it is shown from its first present instead, slower than real time, so that the
// shown time reaches the newest step no sooner than the next step is due; once the shown time
// trails the present by `latency` it keeps that pace. Nothing past the newest step is shown.
class ShownClock {
public:
    // `stepDue`: how long after a step the next one comes at the latest, but for a busy system.
    ShownClock(Ticks latency, Ticks stepDue, double rampSpeed)
        : latency(latency), stepDue(stepDue), rampSpeed(rampSpeed) {}

    // A flight from rest, computed from `from` on: shown as if from that moment, with no latency.
    void startFrom(Ticks from);
    // The latency only, from now on.
    void stop() { ramping = false; }
    // The time to show at `present`, when the steps have computed the flight up to `computed`.
    // Never before the time shown last.
    Ticks at(Ticks present, Ticks computed);
    bool rampingUp() const { return ramping; }

private:
    Ticks latency, stepDue;
    double rampSpeed;
    bool ramping = false;
    Ticks lastPresent = 0;
    Ticks lastShown = 0;
};

}  // namespace motion
