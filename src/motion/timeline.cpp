#include "motion/timeline.h"

#include <algorithm>
#include <cmath>

namespace motion {

namespace {

// Rounded to the nearest pixel: a point between two whole pixels rounds to one of the
// pixels between them, so the blend stays in the box of its two keyframes.
int between(int from, int to, Ticks num, Ticks span) {
    const double part = static_cast<double>(to - from) * static_cast<double>(num) / static_cast<double>(span);
    return from + static_cast<int>(std::lround(part));
}

}  // namespace

void Timeline::reset(const Keyframe& k) {
    keys.assign(1, k);
    events.clear();
    lastShown = k;
    frontShown = anyShown = true;
    shownTime = recordTime = k.time;
}

void Timeline::holdUntil(Ticks time) {
    if (keys.empty() || keys.back().time >= time) return;
    Keyframe held = keys.back();
    held.time = time;
    keys.push_back(held);
}

// Two clocks meet here: the step's length is measured in milliseconds and its end on the
// performance counter, so a step may seem to start a millisecond before the last one ended.
void Timeline::recordAt(Ticks time) {
    recordTime = time;
    if (!keys.empty()) recordTime = std::max(recordTime, keys.back().time);
    if (!events.empty()) recordTime = std::max(recordTime, events.back().time);
}

void Timeline::add(int x, int y, int frame, unsigned dpi) {
    if (keys.empty()) frontShown = false;
    keys.push_back({recordTime, x, y, frame, dpi});
}

void Timeline::addCue(int cueId) { events.push_back({recordTime, Event::cue, cueId}); }

void Timeline::addScoreboardRepaint() { events.push_back({recordTime, Event::scoreboard, 0}); }

bool Timeline::pending() const {
    return !events.empty() || keys.size() > 1 || (keys.size() == 1 && !frontShown);
}

void Timeline::takeEvents(Ticks t, std::vector<Event>& due) {
    while (!events.empty() && events.front().time <= t) {
        due.push_back(events.front());
        events.pop_front();
    }
}

Keyframe Timeline::shownAt(const Keyframe& k) {
    lastShown = k;
    anyShown = true;
    return k;
}

Keyframe Timeline::at(Ticks t, std::vector<Event>& due, const Corners* avoid) {
    if (!keys.empty()) t = std::max(t, keys.back().time - maxLag);
    t = std::max(t, shownTime);
    shownTime = t;
    takeEvents(t, due);
    while (keys.size() > 1 && keys[1].time <= t) {
        keys.pop_front();
        frontShown = false;
    }
    if (keys.empty()) return lastShown;
    if (t < keys.front().time) return anyShown ? lastShown : shownAt(keys.front());

    const Keyframe& from = keys.front();
    frontShown = true;
    // A keyframe at its own time, the newest held, and no blend across a change of scale.
    if (t == from.time || keys.size() == 1 || keys[1].dpi != from.dpi) return shownAt(from);
    const Keyframe& to = keys[1];
    Keyframe k = from;
    k.time = t;
    k.x = between(from.x, to.x, t - from.time, to.time - from.time);
    k.y = between(from.y, to.y, t - from.time, to.time - from.time);
    if (avoid && avoid->hold(k) && !avoid->hold(from) && !avoid->hold(to)) return shownAt(from);
    return shownAt(k);
}

Keyframe Timeline::showAll(std::vector<Event>& due) {
    due.insert(due.end(), events.begin(), events.end());
    events.clear();
    if (keys.empty()) return lastShown;
    const Keyframe newest = keys.back();
    keys.assign(1, newest);
    frontShown = true;
    shownTime = std::max(shownTime, newest.time);
    return shownAt(newest);
}

bool Timeline::dropPending() {
    const bool repaint = std::any_of(events.begin(), events.end(),
                                     [](const Event& e) { return e.kind == Event::scoreboard; });
    events.clear();
    if (!keys.empty()) {
        Keyframe stays = lastShown;
        stays.time = shownTime;
        keys.assign(1, stays);
        frontShown = true;
    }
    return repaint;
}

void ShownClock::startFrom(Ticks from) {
    ramping = true;
    lastPresent = lastShown = from;
}

// The pace aims at the newest step when the next one is due: a step that comes on time finds
// the shown time still short of it, so the ball never holds waiting for it. It comes to as
// little as a thirtieth of real time for a release just before a step, which computed only a
// millisecond or two: the ball creeps a pixel or two until the next step, then flies.
Ticks ShownClock::at(Ticks present, Ticks computed) {
    if (!ramping) return present - latency;
    if (present <= lastPresent) return lastShown;
    double pace = rampSpeed;
    const Ticks due = computed + stepDue;
    if (due > lastPresent)
        pace = std::min(pace, static_cast<double>(std::max<Ticks>(computed - lastShown, 0)) /
                                  static_cast<double>(due - lastPresent));
    Ticks shown = lastShown + std::llround(pace * static_cast<double>(present - lastPresent));
    const Ticks newest = std::max(computed, lastShown);
    shown = std::min(shown, newest);  // a late step: it holds
    if (present - shown >= latency) {
        ramping = false;
        shown = std::min(present - latency, newest);
    }
    lastPresent = present;
    lastShown = shown;
    return shown;
}

}  // namespace motion
