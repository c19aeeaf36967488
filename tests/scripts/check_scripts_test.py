#!/usr/bin/env python3
"""The test run's own machinery: scripts/check without a display, where scripts/lib/wine.sh
finds Wine's loaders, which failed Wine test runs start again, the counts of a tier, and the
arithmetic of the motion figures (scripts/lib/motion.py)."""
import importlib.util
import os
import pathlib
import shutil
import socket
import subprocess
import tempfile
import time
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))


def executable(folder, name, text="#!/bin/sh\nexit 1\n"):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, 0o755)
    return path


class Check(unittest.TestCase):
    def test_stops_at_once_with_one_line_when_the_display_does_not_start(self):
        with tempfile.TemporaryDirectory() as bin_dir:
            executable(bin_dir, "Xvfb")  # a display server that gives up at once
            env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"])
            done = subprocess.run([os.path.join(ROOT, "scripts", "check")], env=env, capture_output=True,
                                  text=True, timeout=60)
        self.assertEqual(done.returncode, 1)
        self.assertEqual(done.stdout, "", "nothing was built or tested")
        self.assertEqual(done.stderr.splitlines(),
                         ["check: the virtual display (Xvfb) did not start: no Win32 test can run; "
                          "nothing was built or tested"])


class WineLoader(unittest.TestCase):
    def test_the_listed_path_first_then_the_names_on_the_path(self):
        cases = [
            # (what, the loaders on the disk, the names on the PATH, bitness asked, expected)
            ("the listed path", ["lib/wine64"], ["wine64"], "64", "lib/wine64"),
            ("the first name on the PATH", [], ["wine64", "wine"], "64", "bin/wine64"),
            ("a later name on the PATH", [], ["wine"], "64", "bin/wine"),
            ("the other bitness's line is not read", ["lib/wine64"], [], "32", None),
            ("none at all", [], [], "64", None),
        ]
        for what, on_disk, on_path, bits, expected in cases:
            with self.subTest(what), tempfile.TemporaryDirectory() as top:
                for folder in ("lib", "bin"):
                    os.mkdir(os.path.join(top, folder))
                for path in on_disk:
                    executable(top, path)
                for name in on_path:
                    executable(os.path.join(top, "bin"), name)
                with open(os.path.join(top, "wine-loaders"), "w") as f:
                    f.write(f"# comment\n64 {top}/lib/wine64 wine64 wine\n32 {top}/lib/wine wine\n")
                script = ('. scripts/lib/wine.sh && wine_lib="$1" && PATH="$1/bin" && '
                          'wine_loader "$2"')
                done = subprocess.run(["bash", "-c", script, "-", top, bits], cwd=ROOT,
                                      capture_output=True, text=True)
                if expected is None:
                    self.assertNotEqual(done.returncode, 0)
                    self.assertEqual(done.stdout, "")
                else:
                    self.assertEqual(done.returncode, 0, done.stderr)
                    self.assertEqual(done.stdout.strip(), os.path.join(top, expected))


# Stands in for Wine: each start takes the next word of $PLAN: "silent" ends with no output,
# "xlost" with the display's error, "faults" with a page fault, "quits" with words of its own,
# all without results; "hangs" runs past the time limit; "fails" writes results and ends with 1,
# "passes" writes them and ends with 0.
FAKE_WINE = """#!/bin/bash
n=$(( $(cat "$COUNT" 2>/dev/null || echo 0) + 1 )); echo $n >"$COUNT"
plan=($PLAN); what=${plan[$((n - 1))]}
xml=${!#}; xml=${xml#--gtest_output=xml:}
echo "ALSA lib pcm.c: no card" >&2
case $what in
  silent) exit 3 ;;
  xlost) echo "X connection to :99 broken (explicit kill or server shutdown)." >&2; exit 1 ;;
  faults) echo "[ RUN      ] A.B"; echo "wine: Unhandled page fault on read access" >&2; exit 3 ;;
  quits) echo "[ RUN      ] A.B"; exit 3 ;;
  hangs) exec sleep 5 ;;
  fails) echo '<testsuites tests="1" failures="1">' >"$xml"; exit 1 ;;
  *) echo '<testsuites tests="1" failures="0">' >"$xml" ;;
esac
"""


class WineTestRun(unittest.TestCase):
    def test_only_the_harness_s_own_failures_start_a_run_once_more(self):
        died = "robot.exe (robot) ended with exit code {} and no results, start {} of 2{}"
        cases = [
            # (plan, exit code, starts, lines of why.txt)
            ("passes", 0, 1, []),
            ("fails", 1, 1, []),
            ("faults passes", 3, 1,
             ["robot.exe (robot) crashed (exit code 3): wine: Unhandled page fault on read access"]),
            ("quits passes", 3, 1, [died.format(3, 1, "; not started again: not a failure of the display "
                                                  "or the Wine server")]),
            ("hangs passes", 124, 1, ["robot.exe (robot) ran over its time limit of 1 s and was stopped"]),
            ("silent passes", 0, 2, [died.format(3, 1, "")]),
            ("xlost xlost", 1, 2, [died.format(1, k, "; the last error: X connection to :99 broken (explicit "
                                                     "kill or server shutdown).") for k in (1, 2)]),
        ]
        for plan, code, starts, why in cases:
            with self.subTest(plan), tempfile.TemporaryDirectory() as top:
                os.makedirs(os.path.join(top, "build", "win64", "results-x"))
                wine = executable(top, "wine64", FAKE_WINE)
                script = ('. "$1/scripts/lib/wine.sh" && results=build/win64/results-x '
                          'wine64=$2 wineserver=true && run_wine_test robot tests/robot.exe program.exe')
                done = subprocess.run(["bash", "-c", script, "-", ROOT, wine], cwd=top, capture_output=True,
                                      text=True, env=dict(os.environ, PLAN=plan, WINE_TIME_LIMIT="1",
                                                          COUNT=os.path.join(top, "count")))
                self.assertEqual(done.returncode, code, done.stderr)
                self.assertEqual(pathlib.Path(top, "count").read_text().strip(), str(starts))
                said = pathlib.Path(top, "build", "win64", "results-x", "why.txt")
                self.assertEqual(said.read_text().splitlines() if said.exists() else [], why)
                self.assertNotIn("ALSA", done.stderr)


class Tally(unittest.TestCase):
    def test_skipped_and_disabled_tests_are_counted_apart_from_passed_ones(self):
        cases = ['<testcase name="a" status="run" result="completed" />',
                 '<testcase name="b" status="run" result="skipped"><skipped message="no"/></testcase>',
                 '<testcase name="c" status="run" result="completed"><failure message="f"/></testcase>',
                 '<testcase name="d" status="notrun" result="suppressed" />']
        with tempfile.TemporaryDirectory() as top:
            pathlib.Path(top, "x.xml").write_text('<testsuites tests="4" failures="1" disabled="1" errors="0">'
                                                  + "\n".join(cases))
            script = ('. scripts/lib/tally.sh && summary=() && total_passed=0 total_failed=0 total_skipped=0 '
                      'status=0 && tally win64 1 "$1" 7 && echo "${summary[0]}|$total_skipped|$status"')
            done = subprocess.run(["bash", "-c", script, "-", top], cwd=ROOT, capture_output=True, text=True)
        self.assertEqual(done.stdout.strip(),
                         "win64       1 passed, 1 failed, 2 skipped   (7 s)   <-- FAILED|2|1")


def load_motion():
    found = importlib.util.spec_from_file_location("motion", os.path.join(ROOT, "scripts", "lib", "motion.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def listening(path):
    with socket.socket(socket.AF_UNIX) as s:
        return s.connect_ex(path) == 0


# Two windows of an X client, as Wine shows the set's: the ball placed before it is shown,
# then moved twice (once to where it already is in between), and another window moved once.
MOVER = """
from Xlib import X, display
d = display.Display()
ball, board = (d.screen().root.create_window(0, 0, 20, 20, 0, X.CopyFromParent, override_redirect=True)
               for _ in range(2))
ball.set_wm_name("basketball")
board.set_wm_name("backboard")
ball.configure(x=5, y=5)
for w, x, y in ((ball, 10, 20), (ball, 10, 20), (board, 5, 5), (ball, 30, 40)):
    w.map()
    w.configure(x=x, y=y)
d.sync()
# The windows live until the recorder has read their names.
print("moved", flush=True)
import sys
sys.stdin.read()
"""


class MotionFigures(unittest.TestCase):
    motion = load_motion()

    def test_the_recorder_keeps_the_ball_s_moves_between_the_marks_until_its_input_ends(self):
        python = "/usr/bin/python3"
        if not shutil.which("Xvfb") or subprocess.run([python, "-c", "import Xlib"]).returncode:
            self.skipTest("no Xvfb or no python3-xlib")
        number = next(n for n in range(150, 200)
                      if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"))
        server = subprocess.Popen(["Xvfb", f":{number}", "-nolisten", "tcp", "-noreset"], stderr=subprocess.DEVNULL)
        env = dict(os.environ, DISPLAY=f":{number}")
        try:
            self.assertTrue(self.wait_for(lambda: listening(f"/tmp/.X11-unix/X{number}")), "Xvfb")
            with tempfile.TemporaryDirectory() as folder:
                path = os.path.join(folder, "recording.txt")
                recorder = subprocess.Popen(
                    [python, os.path.join(ROOT, "scripts", "lib", "motion.py"), "record", path, "--server-pid",
                     str(server.pid)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, env=env)
                recorder.stdin.write("start throw\n")
                recorder.stdin.flush()
                # the mark is written once the recorder listens to the X server
                self.assertTrue(self.wait_for(lambda: os.path.exists(path) and "mark" in pathlib.Path(path).read_text()), "the start mark")
                mover = subprocess.Popen([python, "-c", MOVER], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                         text=True, env=env)
                self.assertEqual(mover.stdout.readline(), "moved\n")
                out, _ = recorder.communicate("end throw\nresult passed on\n", timeout=20)
                mover.communicate("", timeout=20)
                flights = self.motion.flights_of(path)
        finally:
            server.terminate()  # it removes its lock and socket
            server.wait()
        self.assertEqual(out, "result passed on\n")
        self.assertEqual([[m[1] for m in f] for f in flights["throw"]], [[(10, 20), (30, 40)]])

    @staticmethod
    def wait_for(condition):
        for _ in range(100):
            if condition():
                return True
            time.sleep(0.1)  # the polling interval of a wait for a state
        return False

    def test_moves_closer_than_4_ms_to_the_one_before_are_one_picture(self):
        # a chain of close moves is one picture however long it gets; exactly 4 ms apart is two
        times = [0.0, 0.003, 0.0069, 0.0108, 0.020, 0.024, 0.030]
        self.assertEqual(self.motion.visible_moves(times), [0.0, 0.020, 0.024, 0.030])

    def test_frames_showing_a_new_position(self):
        f = 1 / 60
        cases = [
            # (what, moves as (time in frames, x), expected (new, frames))
            ("one move", [(0, 1)], (1, 1)),
            ("a move in every frame, some a third late", [(k + 0.3 * (k % 2), k) for k in range(6)], (6, 6)),
            ("a burst of three every third frame", [(3 * k + d, 3 * k + d) for k in range(3) for d in (0, 0.05, 0.1)],
             (3, 7)),
            ("a burst across a frame's end shows in both", [(0, 1), (3, 2), (6, 3), (8.48, 4), (8.52, 5)], (5, 10)),
            ("there and back inside one frame shows nothing new", [(0, 1), (0.7, 2), (1.1, 1), (2, 3)], (2, 3)),
        ]
        for what, moves, expected in cases:
            with self.subTest(what):
                self.assertEqual(self.motion.new_frames([(t * f, (x, 0)) for t, x in moves]), expected)

    def test_a_recording_summed_over_the_ball_s_flights(self):
        self.assertEqual([self.motion.percentile(list(range(1, 21)), p) for p in (50, 95, 100)], [10, 19, 20])
        self.assertEqual(self.motion.percentile([], 50), 0.0)
        rows = ["0.0 mark start rollin 0 0", "0.0 name 7 basketball", "0.0 name 8 backboard", "0.01 map 8",
                "0.04 map 7", "0.100000 move 7 -1 0 0.004 0.002"]
        # then bursts of two moves 1 ms apart every 50 ms for 1 s (the first joins the move
        # before it), the processor times rising
        for k in range(21):
            for d in (0.002, 0.003):
                t = 0.1 + 0.05 * k + d
                rows.append(f"{t:.6f} move 7 {k} {round(d * 1000)} {0.04 * t:.5f} {0.02 * t:.5f}")
        rows += ["0.5 move 8 1 1 0 0", "1.2 mark end rollin 0 0", "1.3 move 7 99 99 9 9"]
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "recording.txt")
            with open(path, "w") as f:
                f.write("\n".join(rows) + "\n")
            flights = self.motion.flights_of(path)
        self.assertEqual(list(flights), ["rollin"])
        figures = self.motion.summarize(flights["rollin"])
        self.assertAlmostEqual(figures["seconds"], 1.003)
        self.assertAlmostEqual(figures["first move"], 100)  # from the mark
        self.assertAlmostEqual(figures["after shown"], 60)  # from the ball's window shown
        self.assertAlmostEqual(figures["visible per s"], 20 / 1.003)
        self.assertAlmostEqual(figures["moves per visible"], 43 / 21)
        self.assertAlmostEqual(figures["new frames"], 100 * 21 / 61)
        self.assertAlmostEqual(figures["median"], 50, places=3)
        self.assertAlmostEqual(figures["p95"], 50, places=3)  # one of 20 is 52 ms
        self.assertAlmostEqual(figures["cpu program"], 0.04, places=3)
        self.assertAlmostEqual(figures["cpu server"], 0.02, places=3)


if __name__ == "__main__":
    unittest.main()
