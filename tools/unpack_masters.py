#!/usr/bin/python3
"""Writes each shaped picture's master, decoded, into a folder for the native tests, which
have no PNG decoder of their own: NAME_master.raw is the width and the height (32-bit little
endian) and then the pixels, rows top to bottom, each B, G, R, A as the program holds them.
Run: unpack_masters.py OUT_DIR"""
import struct
import sys
from pathlib import Path

import numpy as np
from PIL import Image

ROOT = Path(__file__).resolve().parent.parent
NAMES = ("ball", "backboard", "net", "scoreboard", "scoreboard_en")


def main(out):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    for name in NAMES:
        rgba = np.asarray(Image.open(ROOT / "res" / (name + "_master.png")).convert("RGBA"))
        h, w, _ = rgba.shape
        data = struct.pack("<II", w, h) + rgba[..., [2, 1, 0, 3]].astype(np.uint8).tobytes()
        (out / (name + "_master.raw")).write_bytes(data)


if __name__ == "__main__":
    main(sys.argv[1])
