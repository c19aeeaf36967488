"""Waits until a compositing manager owns the X screen's _NET_WM_CM_S<n> selection, its own sign
that it composites: exit code 0; 1 when process argv[1] (the compositor) ended first or ten
seconds passed."""
import os
import sys
import time

from Xlib import display

d = display.Display()
selection = d.intern_atom("_NET_WM_CM_S%d" % d.get_default_screen())
for _ in range(100):
    if d.get_selection_owner(selection) != 0:
        sys.exit(0)
    try:
        os.kill(int(sys.argv[1]), 0)
    except OSError:
        sys.exit(1)
    time.sleep(0.1)  # polls the X server for the compositor's state
sys.exit(1)
