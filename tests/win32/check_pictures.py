#!/usr/bin/python3
"""Compares the pictures the program made at each display scale (written by win32_tests to
results/pictures/) with the art tools' own drawing at that scale, inside the window's shape.
Prints the mean absolute difference per channel beside those of a bilinear and a
nearest-neighbour stretch of the 100 % picture; fails when a picture is 4 or more off in a
channel, is not clearly nearer than both stretches, or at 96 DPI is not the resource itself.
Run: check_pictures.py BUILD_DIR/results/pictures"""
import sys
from pathlib import Path

import numpy as np
from PIL import Image

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools"))
import art  # noqa: E402

LIMIT = 4.0           # of 255, in every channel
NEARER = 2.0          # a stretch is at least this many times as far off


def stretch(one, w, h, frames, W, H, how):
    return np.concatenate([np.asarray(Image.fromarray(one[i * h:(i + 1) * h]).resize((W, H), how))
                           for i in range(frames)]).astype(float)


def main(folder):
    folder = Path(folder)
    failures = []
    print("%-11s %4s  %-20s %-20s %-20s" % ("picture", "dpi", "program (R G B)", "bilinear",
                                             "nearest"))
    for name, (w, h, frames) in art.PICTURES.items():
        one = np.asarray(Image.open(ROOT / "res" / (name + ".bmp")).convert("RGB"))
        made = np.asarray(Image.open(folder / ("%s-96.bmp" % name)).convert("RGB"))
        if made.shape != one.shape or (made != one).any():
            failures.append("%s at 96 is not the 100 %% resource" % name)
        for dpi in (120, 144, 192):
            made = np.asarray(Image.open(folder / ("%s-%d.bmp" % (name, dpi))).convert("RGB"))
            ref = art.at_dpi(name, dpi).astype(float)
            if made.shape != ref.shape:
                failures.append("%s at %d is %s, drawn %s" % (name, dpi, made.shape, ref.shape))
                continue
            W, H = art.mul_div(w, dpi), art.mul_div(h, dpi)
            inside = np.tile(art.region(name, dpi), (frames, 1))

            def off(a):
                return np.abs(a - ref)[inside].mean(axis=0)
            ours = off(made.astype(float))
            bil = off(stretch(one, w, h, frames, W, H, Image.BILINEAR))
            near = off(stretch(one, w, h, frames, W, H, Image.NEAREST))
            row = "%-11s %4d  %-20s %-20s %-20s" % (
                name, dpi, " ".join("%5.2f" % v for v in ours), " ".join("%5.2f" % v for v in bil),
                " ".join("%5.2f" % v for v in near))
            print(row)
            if ours.max() >= LIMIT:
                failures.append("%s at %d: %.2f off in a channel" % (name, dpi, ours.max()))
            if ours.mean() * NEARER > min(bil.mean(), near.mean()):
                failures.append("%s at %d: not clearly nearer than a stretch" % (name, dpi))
    for f in failures:
        print("FAILED:", f)
    print("pictures: %d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
