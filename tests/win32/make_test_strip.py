#!/usr/bin/python3
"""Writes test_strip.bmp: a 24 x 112 strip of seven 24 x 16 frames for the sprite tests.

Frame k has a top row RGB(10 + 30k, 0, 255), a bottom row RGB(10 + 30k, 0, 0) and a body
RGB(10 + 30k, 200, 0), so every frame and both of its edges read back as distinct colours
(tests/win32/test_strip.h holds the same rule).
"""
import struct
from pathlib import Path

WIDTH, FRAME_HEIGHT, FRAMES = 24, 16, 7


def colour(frame, row):
    red = 10 + 30 * frame
    if row == 0:
        return red, 0, 255
    if row == FRAME_HEIGHT - 1:
        return red, 0, 0
    return red, 200, 0


def main():
    height = FRAME_HEIGHT * FRAMES
    stride = (WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(height)):  # bottom-up rows
        r, g, b = colour(y // FRAME_HEIGHT, y % FRAME_HEIGHT)
        row = bytes((b, g, r)) * WIDTH
        pixels += row + bytes(stride - len(row))
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    Path(__file__).with_name('test_strip.bmp').write_bytes(header + info + pixels)


if __name__ == '__main__':
    main()
