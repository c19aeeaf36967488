#!/usr/bin/env python3
"""scripts/check-layers on small made-up trees: what it lets through and what it stops."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check-layers")


def run_on(files):
    """Writes {path under src/: text} into a fresh tree and runs the script on it."""
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            full = os.path.join(root, "src", path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write(text)
        done = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
        return done.returncode, done.stdout, done.stderr


class CheckLayers(unittest.TestCase):
    def test_includes_that_go_down_pass_and_the_graph_is_printed(self):
        code, out, _ = run_on({
            "app/main.cpp": '#include "windows/a.h"\n#include "platform/b.h"\n#include "sim/c.h"\n',
            "windows/a.h": '#include "win/w.h"\n#include "res/shapes.h"\n',
            "platform/b.h": '#include "sim/c.h"\n',
            "sim/c.h": '#include "sim/d.h"\n#include <cmath>\n',
            "win/w.h": "#include <windows.h>\n",
        })
        self.assertEqual(code, 0)
        self.assertIn("app       -> windows, platform, sim", out)
        self.assertIn("sim       -> (nothing)", out)

    def test_faults_are_named_with_the_file_and_line(self):
        cases = [
            ("an upward include", {"windows/a.cpp": '\n#include "app/x.h"\n'},
             "windows includes app (not below it), e.g. src/windows/a.cpp:2"),
            ("a sideways include on the bottom floor", {"sim/a.cpp": '#include "win/w.h"\n'},
             "sim includes win (not below it)"),
            ("a folder outside the table", {"extra/a.cpp": '#include "sim/c.h"\n'},
             "src/extra/ has no place in the layer table"),
            ("a cycle", {"app/a.cpp": '#include "windows/a.h"\n', "windows/a.h": '#include "app/b.h"\n'},
             "cycle: app -> windows -> app"),
        ]
        for what, files, message in cases:
            with self.subTest(what):
                code, _, err = run_on(files)
                self.assertEqual(code, 1)
                self.assertIn(message, err)


if __name__ == "__main__":
    unittest.main()
