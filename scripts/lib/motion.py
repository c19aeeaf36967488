#!/usr/bin/python3
"""The ball's motion as a compositor would sample it: the X server's timeline of the ball
window's moves (ConfigureNotify), for scripts/measure-motion.

  motion.py record FILE --server-pid PID [--seconds 900]
      Reads the phase marks of bench/motion_measure.exe on its standard input and records them
      beside every move of a top-level X window, each timed on this process's monotonic clock
      when it is read, with the processor seconds used so far by the program and the Wine
      server (from /proc). Stops at the end of its input, or after --seconds.
  motion.py table BEFORE AFTER [--labels "before" "after"]
      Prints the figures of two recordings side by side.
"""
import argparse
import math
import os
import select
import sys
import time

BALL_TITLE = "basketball"
MERGE_SECONDS = 0.004  # moves closer together than this are one picture on the screen
FRAME_HZ = 60


# --- the arithmetic -----------------------------------------------------------------------

def visible_moves(times, merge=MERGE_SECONDS):
    """The times of the moves one would see: a move less than `merge` after the one before
    belongs to its picture, which is timed by its first move."""
    shown, last = [], None
    for t in times:
        if last is None or t - last >= merge:
            shown.append(t)
        last = t
    return shown


def new_frames(moves, hz=FRAME_HZ):
    """(frames that show a new position, frames) for moves [(time, position)] in time order,
    from the first move's frame through the last's: each frame is shown with the place the
    ball has at its end. The frames end half a frame after the moves' mean phase, where a
    program that moves once a frame, half a frame before the display's refresh, has them:
    ends anywhere near its moves would count its wake-up jitter, not its pictures. Moves
    at no steady phase (a step every 51 ms) leave the phase to chance, as a display does."""
    turns = [t * hz for t, _ in moves]
    phase = math.atan2(sum(math.sin(2 * math.pi * u) for u in turns),
                       sum(math.cos(2 * math.pi * u) for u in turns)) / (2 * math.pi)
    frames = [math.floor(u - phase + 0.5) for u in turns]
    count = frames[-1] - frames[0] + 1
    at_end = [None] * count
    for frame, (_, position) in zip(frames, moves):
        at_end[frame - frames[0]] = position
    new, place = 0, None
    for position in at_end:
        if position is not None and position != place:
            new += 1
            place = position
    return new, count


def percentile(values, p):
    """Nearest rank, as the measuring programs compute it; 0 for no values."""
    if not values:
        return 0.0
    ordered = sorted(values)
    rank = min(max(math.ceil(p / 100 * len(ordered) - 1e-9), 1), len(ordered))
    return ordered[rank - 1]


class Flight(list):
    """The moves of one phase, and the time of its mark: the click, or the button going up."""

    def __init__(self, marked):
        super().__init__()
        self.marked = marked
        self.appeared = None  # the ball's window shown within the phase: the roll-in's


def summarize(flights):
    """Figures over flights, each a Flight of (time, position, program cpu, server cpu) from
    the first move to the last."""
    seconds = moves = shown = new = frames = 0
    intervals, cpu_program, cpu_server = [], 0.0, 0.0
    flights = [f for f in flights if len(f) > 1]
    first_moves = [(f[0][0] - f.marked) * 1000 for f in flights]
    after_shown = [(f[0][0] - f.appeared) * 1000 for f in flights if f.appeared is not None]
    for flight in flights:
        seconds += flight[-1][0] - flight[0][0]
        moves += len(flight)
        times = visible_moves([m[0] for m in flight])
        shown += len(times)
        intervals += [(b - a) * 1000 for a, b in zip(times, times[1:])]
        n, total = new_frames([(m[0], m[1]) for m in flight])
        new += n
        frames += total
        cpu_program += flight[-1][2] - flight[0][2]
        cpu_server += flight[-1][3] - flight[0][3]
    if not seconds:
        return None
    return {
        "flights": len(flights), "seconds": seconds,
        "visible per s": (shown - len(flights)) / seconds,
        "moves per visible": moves / shown,
        "new frames": 100 * new / frames,
        "median": percentile(intervals, 50), "p95": percentile(intervals, 95),
        "first move": percentile(first_moves, 50), "first move max": max(first_moves),
        "after shown": percentile(after_shown, 50) if after_shown else None,
        "cpu program": cpu_program / seconds, "cpu server": cpu_server / seconds,
    }


# --- reading a recording ------------------------------------------------------------------

def flights_of(path):
    """The ball's moves in each marked phase: {phase: [flight, ...]}."""
    with open(path) as f:
        rows = [row.split() for row in f]
    names = {rest[0]: " ".join(rest[1:]) for _, kind, *rest in rows if kind == "name"}
    phases, current = {}, None
    for t, kind, *rest in rows:
        if kind == "mark" and rest[0] == "start":
            current = Flight(float(t))
            phases.setdefault(rest[1], []).append(current)
        elif kind == "mark" and rest[0] == "end":
            current = None
        elif kind == "map" and current is not None and names.get(rest[0]) == BALL_TITLE and current.appeared is None:
            current.appeared = float(t)
        elif kind == "move" and current is not None and names.get(rest[0]) == BALL_TITLE:
            current.append((float(t), (int(rest[1]), int(rest[2])), float(rest[3]), float(rest[4])))
    return phases


def table(paths, labels):
    recordings = [flights_of(p) for p in paths]
    rows = [
        ("from the mark to the first move: median, max",
         lambda s: f"{s['first move']:.1f}, {s['first move max']:.1f} ms"),
        ("from the window shown to the first move: median",
         lambda s: "-" if s["after shown"] is None else f"{s['after shown']:.1f} ms"),
        ("visible moves per second", lambda s: f"{s['visible per s']:.1f}"),
        ("window moves per visible move", lambda s: f"{s['moves per visible']:.1f}"),
        ("60 Hz frames showing a new position", lambda s: f"{s['new frames']:.0f} %"),
        ("between visible moves: median, p95", lambda s: f"{s['median']:.1f}, {s['p95']:.1f} ms"),
        ("CPU-s per s: program, Wine server", lambda s: f"{s['cpu program']:.3f}, {s['cpu server']:.3f}"),
    ]
    width = 50
    print(f"{'':{width}}" + "".join(f"{label:>22}" for label in labels))
    for phase, title in (("rollin", "start-up roll-in"), ("throw", "scripted throw")):
        sums = [summarize(r.get(phase, [])) for r in recordings]
        spans = ", ".join("-" if s is None else f"{s['flights']} in {s['seconds']:.1f} s" for s in sums)
        print(f"{title} (flights: {spans})")
        for name, show in rows:
            print(f"  {name:{width - 2}}" + "".join(f"{'-' if s is None else show(s):>22}" for s in sums))


# --- recording ----------------------------------------------------------------------------

def cpu_seconds(pid):
    """User and system seconds a process has used so far, from /proc; 0 when it is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    except (OSError, IndexError, ValueError):
        return 0.0


def program_pid(name):
    """The Linux process of the program `name` running in this Wine prefix."""
    wanted = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/comm") as f:
                if f.read().strip() != name[:15]:
                    continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                if wanted in f.read().split(b"\0"):
                    return int(entry)
        except (OSError, ValueError):
            continue
    return None


def record(path, server_pid, seconds):
    from Xlib import X, display
    screen = display.Display()
    screen.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
    screen.sync()
    places, mapped, named, program = {}, set(), set(), None
    stop = time.monotonic() + seconds
    pending = b""
    with open(path, "w") as out:
        def write(t, text):
            out.write(f"{t:.6f} {text}\n")

        def cpus():
            return f"{cpu_seconds(program) if program else 0.0:.2f} {cpu_seconds(server_pid):.2f}"

        def name(window):
            if window.id in named:
                return
            try:
                title = window.get_wm_name()
            except Exception:  # gone already
                title = None
            if title:
                named.add(window.id)
                write(time.monotonic(), f"name {window.id} {title}")

        while time.monotonic() < stop:
            ready, _, _ = select.select([screen.fileno(), sys.stdin], [], [], 0.5)
            while screen.pending_events():
                event = screen.next_event()
                t = time.monotonic()
                if event.type == X.CreateNotify:
                    places[event.window.id] = (event.x, event.y)
                elif event.type == X.ConfigureNotify:
                    place = (event.x, event.y)
                    # a window placed before it is shown was never seen elsewhere
                    if places.get(event.window.id) != place and event.window.id in mapped:
                        name(event.window)
                        write(t, f"move {event.window.id} {event.x} {event.y} {cpus()}")
                    places[event.window.id] = place
                elif event.type == X.MapNotify:
                    mapped.add(event.window.id)
                    name(event.window)
                    write(t, f"map {event.window.id}")
                elif event.type == X.UnmapNotify:
                    mapped.discard(event.window.id)
            if sys.stdin in ready:
                chunk = os.read(sys.stdin.fileno(), 4096)
                if not chunk:
                    break
                pending += chunk
                *lines, pending = pending.split(b"\n")
                for raw in lines:
                    text = raw.decode(errors="replace").strip()
                    t = time.monotonic()
                    if text.startswith("program "):
                        program = program_pid(text.split(" ", 1)[1])
                    elif text.startswith(("start ", "end ")):
                        write(t, f"mark {text} {cpus()}")
                        out.flush()
                    elif text:
                        print(text, flush=True)
        out.flush()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    rec = commands.add_parser("record")
    rec.add_argument("file")
    rec.add_argument("--server-pid", type=int, required=True)
    rec.add_argument("--seconds", type=float, default=900)
    tab = commands.add_parser("table")
    tab.add_argument("files", nargs=2)
    tab.add_argument("--labels", nargs=2, default=["before", "after"])
    args = parser.parse_args()
    if args.command == "record":
        record(args.file, args.server_pid, args.seconds)
    else:
        table(args.files, args.labels)


if __name__ == "__main__":
    main()
