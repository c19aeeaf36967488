#!/usr/bin/env python3
"""The test run's own machinery: scripts/check without a display, and where scripts/lib/wine.sh
finds Wine's loaders."""
import os
import subprocess
import tempfile
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


if __name__ == "__main__":
    unittest.main()
