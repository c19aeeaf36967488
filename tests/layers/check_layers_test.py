#!/usr/bin/env python3
"""scripts/check-layers on small made-up trees: what it lets through and what it stops."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check-layers")

# A tree whose every include goes down: the program, the driving library on top of it, and
# the programs and test tiers that use both, with includes written as the build finds them.
SOUND_TREE = {
    "src/app/main.cpp": '#include "windows/a.h"\n#include "platform/b.h"\n#include "sim/c.h"\n',
    "src/windows/a.h": '#include "win/w.h"\n#include "res/shapes.h"\n',
    "src/platform/b.h": '#include "sim/c.h"\n',
    "src/sim/c.h": '#include "sim/d.h"\n#include <cmath>\n',
    "src/sim/d.h": "",
    "src/win/w.h": "#include <windows.h>\n",
    "res/shapes.h": "",
    "drive/play.h": '#include "robot.h"\n#include "windows/a.h"\n#include "resource_ids.h"\n',
    "drive/robot.h": "",
    "res/resource_ids.h": "",
    "bench/measure.cpp": '#include "play.h"\n#include "clocks.h"\n#include "app/main.h"\n',
    "bench/clocks.h": "",
    "demo/player.cpp": '#include "play.h"\n',
    "tests/support/fake_clock.h": '#include "sim/c.h"\n',
    "tests/unit/flight_test.cpp": '#include <gtest/gtest.h>\n#include "support/fake_clock.h"\n',
    "tests/win32_loop/loop_test.cpp": '#include "support/fake_clock.h"\n#include "app/main.h"\n',
    "tests/e2e/robot.cpp": '#include "play.h"\n',
    "tests/unit/unbounded_flight.h": "",
    "tests/win32/support.h": "",
    "tests/layers/check_layers_test.py": "# no includes\n",
}


def run_on(files):
    """Writes {path from the tree's root: text} into a fresh tree and runs the script on it."""
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            full = os.path.join(root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write(text)
        done = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
        return done.returncode, done.stdout, done.stderr


class CheckLayers(unittest.TestCase):
    def test_includes_that_go_down_pass_and_the_graph_is_printed(self):
        code, out, err = run_on(SOUND_TREE)
        self.assertEqual(code, 0, err)
        for line in [
            "bench            -> drive, app",
            "demo             -> drive",
            "tests/e2e        -> drive",
            "tests/unit       -> tests/support",
            "tests/win32_loop -> tests/support, app",
            "tests/support    -> sim",
            "drive            -> windows, res",
            "app              -> windows, platform, sim",
            "sim              -> (nothing)",
        ]:
            self.assertIn(line, out)

    def test_faults_are_named_with_the_file_and_line(self):
        # (what, a file added to the sound tree, its text, the fault reported)
        cases = [
            ("an upward include", "src/windows/b.cpp", '\n#include "app/x.h"\n',
             "windows includes app (not below it), e.g. src/windows/b.cpp:2"),
            ("a sideways include on the bottom floor", "src/sim/e.h", '#include "win/w.h"\n',
             "sim includes win (not below it)"),
            ("a folder outside the table", "src/extra/a.cpp", '#include "sim/c.h"\n',
             "src/extra/ has no place in the layer table"),
            ("a tier outside the table", "tests/fuzz/a.cpp", "", "tests/fuzz/ has no place in the layer table"),
            ("a cycle", "src/windows/b.h", '#include "app/main.cpp"\n', "cycle: app -> windows -> app"),
            ("the program reaching the driving library", "src/app/b.cpp", '#include "play.h"\n',
             "app includes drive (not below it), e.g. src/app/b.cpp:1"),
            ("the program reaching a tier by its folder", "src/sim/e.h", '#include "tests/unit/x.h"\n',
             "sim includes tests/unit (not below it)"),
            ("a measuring program reaching a tier", "bench/m.cpp", '#include "unit/unbounded_flight.h"\n',
             "bench includes tests/unit (not below it), e.g. bench/m.cpp:1"),
            ("the driving library reaching a measuring program", "drive/p.cpp", '#include "../bench/clocks.h"\n',
             "drive includes bench (not below it)"),
            ("one tier reaching another", "tests/soak/soak.cpp", '#include "win32/support.h"\n',
             "tests/soak includes tests/win32 (not below it)"),
            ("a tier reaching a file of the unit tier", "tests/win32_loop/t.cpp", '#include "unit/unbounded_flight.h"\n',
             "tests/win32_loop includes tests/unit (not below it)"),
            ("the driving library reaching the tiers' support", "drive/p.cpp", '#include "support/fake_clock.h"\n',
             "drive includes tests/support (not below it)"),
        ]
        for what, path, text, message in cases:
            with self.subTest(what):
                code, _, err = run_on({**SOUND_TREE, path: text})
                self.assertEqual(code, 1)
                self.assertIn(message, err)

if __name__ == "__main__":
    unittest.main()
