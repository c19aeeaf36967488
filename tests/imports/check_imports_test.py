#!/usr/bin/env python3
"""scripts/check-imports on small programs built here: one that imports only KnownDLLs of
Windows 7 passes; one that imports a newer function or DLL, or a DLL a folder can plant,
directly fails and names it."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check-imports")

PROGRAMS = {
    # name: (source, libraries, what the check must name; None: it passes)
    "windows 7 only": ('#include <windows.h>\nint main(void) { return MessageBoxA(0, "", "", 0); }\n',
                       ["-luser32"], None),
    "looked up at run time": ('#include <windows.h>\nint main(void) {\n'
                              '  return GetProcAddress(GetModuleHandleA("user32"), "GetDpiForWindow") != 0; }\n',
                              [], None),
    "GetDpiForWindow imported": ('#define _WIN32_WINNT 0x0A00\n#include <windows.h>\n'
                                 'int main(void) { return (int)GetDpiForWindow(GetDesktopWindow()); }\n',
                                 ["-luser32"], "USER32.dll!GetDpiForWindow"),
    "shcore imported": ('#define _WIN32_WINNT 0x0A00\n#include <windows.h>\n#include <shellscalingapi.h>\n'
                        'int main(void) { UINT x, y; return (int)GetDpiForMonitor(0, MDT_EFFECTIVE_DPI, &x, &y); }\n',
                        ["-lshcore"], "SHCORE.dll (newer than Windows 7)"),
    "winmm imported": ('#include <windows.h>\n#include <mmsystem.h>\nint main(void) { return (int)timeGetTime(); }\n',
                       ["-lwinmm"], "WINMM.dll (not a KnownDLL"),
    "version imported": ('#include <windows.h>\nint main(void) { return (int)GetFileVersionInfoSizeA("x", 0); }\n',
                         ["-lversion"], "VERSION.dll (not a KnownDLL"),
    "winmm looked up at run time": ('#include <windows.h>\nint main(void) {\n'
                                    '  return GetProcAddress(LoadLibraryExA("winmm.dll", 0, 0x800), "timeGetTime") != 0; }\n',
                                    [], None),
    "only KnownDLLs": ('#include <windows.h>\n#include <shellapi.h>\nint main(void) {\n'
                       '  return ShellExecuteA(0, 0, "x", 0, 0, 0) != 0 && RegCloseKey(0) == 0; }\n',
                       ["-lshell32", "-ladvapi32"], None),
}


class CheckImports(unittest.TestCase):
    def test_each_program(self):
        with tempfile.TemporaryDirectory() as root:
            for name, (source, libraries, named) in PROGRAMS.items():
                with self.subTest(name):
                    c = os.path.join(root, "p.c")
                    exe = os.path.join(root, "p.exe")
                    with open(c, "w") as f:
                        f.write(source)
                    subprocess.run(["x86_64-w64-mingw32-gcc", c, "-o", exe] + libraries, check=True)
                    done = subprocess.run([sys.executable, SCRIPT, exe], capture_output=True, text=True)
                    if named is None:
                        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
                    else:
                        self.assertNotEqual(done.returncode, 0, done.stdout)
                        self.assertIn(named, done.stdout)

    def test_a_missing_program_fails(self):
        done = subprocess.run([sys.executable, SCRIPT, "/nonexistent/basketball.exe"],
                              capture_output=True, text=True)
        self.assertNotEqual(done.returncode, 0)


if __name__ == "__main__":
    unittest.main()
