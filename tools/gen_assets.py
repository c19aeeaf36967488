#!/usr/bin/python3
"""Writes every picture and sound of the program into res/, and the contact sheet of the
pictures into docs/art.png. The same run gives the same bytes. Run: make assets."""
import io
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, str(Path(__file__).resolve().parent))
import art  # noqa: E402
import resfmt  # noqa: E402
import sounds  # noqa: E402

ROOT = Path(__file__).resolve().parent.parent
RES = ROOT / "res"

BLACK = (0, 0, 0)
# The shaped windows' pictures carry an alpha channel (32 bits a pixel); the About picture and
# the digits, drawn on opaque ground, stay 8-bit.
BITMAPS = [  # file, resource number, picture, colours that must stay exact
    ("ball.bmp", 103, art.ball_strip, [BLACK]),
    ("backboard.bmp", 105, art.backboard, [BLACK]),
    ("net.bmp", 106, art.net, [BLACK]),
    ("about.bmp", 107, art.about, [BLACK]),
    ("scoreboard.bmp", 117, art.scoreboard, [BLACK, art.SCORE_BLUE]),
    ("digits.bmp", 119, art.digits, [BLACK, art.SCORE_BLUE]),
    ("about_en.bmp", "107 en", lambda: art.about(lang="en"), [BLACK]),
]
# English pictures that keep their Russian twin's palette and pixels outside the words.
TWINS = [("scoreboard_en.bmp", "117 en", lambda: art.scoreboard("en"), 117)]

ICON_SIZES = (20, 24, 40, 48, 64, 256)
CURSORS = [(32, 3, "hand_cursor.bin"), (48, 4, "hand_cursor_48.bin"), (64, 5, "hand_cursor_64.bin")]

PCM_SOUNDS = [("floor.wav", sounds.floor_thump), ("wall.wav", sounds.wall_thump),
              ("rim.wav", sounds.rim_clang)]
ADPCM_SOUNDS = [("cheer.wav", sounds.cheer), ("big_cheer.wav", sounds.big_cheer)]


def to_int16(x):
    return np.clip(np.rint(np.asarray(x) * 32767), -32768, 32767).astype(np.int16)


def write(name, data):
    (RES / name).write_bytes(data)


def main():
    pictures = {}
    drawn = {}
    def save(name, index, palette):
        shown = np.array(palette, dtype=np.uint8)[index]
        picture = name[:-len(".bmp")]
        if picture in art.SHAPED:
            shown = art.with_alpha(picture, shown)
            write(name, resfmt.bmp32_bytes(shown))
        else:
            write(name, resfmt.bmp_bytes(index, palette))
        return shown

    for name, number, draw, exact in BITMAPS:
        rgb = draw()
        index, palette = resfmt.quantize(rgb, exact)
        pictures[number] = save(name, index, palette)
        drawn[number] = (rgb, index, palette)
    for name, number, draw, twin in TWINS:
        index, palette = resfmt.quantize_like(draw(), *drawn[twin], [BLACK, art.SCORE_BLUE])
        pictures[number] = save(name, index, palette)

    # The masters the program scales from at other display scales, in 256 colours each, as the
    # 100 % pictures are (chosen by libimagequant, no dithering: under 1 of 255 off on average).
    # That halves them and keeps the program, with both languages' masters, within its size.
    # The shaped ones carry the coverage of their outline as alpha, in a palette too.
    for name in art.PICTURES:
        if name in art.SHAPED:
            write(name + "_master.png", resfmt.quantize_rgba(art.master_rgba(name)))
            continue
        buf = io.BytesIO()
        master = Image.fromarray(art.master(name))
        master = master.quantize(256, method=Image.Quantize.LIBIMAGEQUANT, dither=Image.Dither.NONE)
        master.save(buf, format="PNG", optimize=True)
        write(name + "_master.png", buf.getvalue())

    for name, synth in PCM_SOUNDS:
        write(name, resfmt.pcm_wav(to_int16(synth())))
    with tempfile.TemporaryDirectory() as tmp:
        for name, synth in ADPCM_SOUNDS:
            pcm = Path(tmp) / name
            pcm.write_bytes(resfmt.pcm_wav(to_int16(synth())))
            # sox only encodes: no dither, repeatable; 512-byte blocks at 22050 Hz
            subprocess.run(["sox", "-D", "-R", "-V1", str(pcm), "-e", "ms-adpcm", str(RES / name)],
                           check=True)

    icons = []
    for size in (32, 16):                              # 16 colours, as they always were
        index, transparent = art.icon(size)
        icons.append((size, size, 4, resfmt.icon_image(index, transparent, art.VGA16)))
        rgba = np.zeros((size, size, 4), dtype=np.uint8)
        rgba[..., :3] = np.array(art.VGA16, dtype=np.uint8)[index]
        rgba[..., 3] = np.where(transparent, 0, 255)
        pictures["icon%d" % size] = rgba
    for size in ICON_SIZES:                            # full colour, 256 as PNG
        rgba = art.icon_rgba(size)
        image = resfmt.icon_png(rgba) if size == 256 else resfmt.icon_image_rgba(rgba)
        icons.append((size, size, 32, image))
        pictures["icon%d" % size] = rgba
    write("basketball.ico", resfmt.ico_bytes(icons))

    group = []
    for size, image_id, name in CURSORS:
        white, transparent, hotspot = art.cursor(size)
        data = resfmt.cursor_resource(hotspot, resfmt.cursor_image(white, transparent))
        write(name, data)
        group.append((size, size, len(data), image_id))
        rgba = np.zeros((size, size, 4), dtype=np.uint8)
        rgba[white, :3] = 255
        rgba[..., 3] = np.where(transparent, 0, 255)
        pictures["cursor%d" % size] = rgba
    write("hand_cursor_group.bin", resfmt.cursor_group(group))

    contact_sheet(pictures).save(ROOT / "docs" / "art.png", optimize=False)


def contact_sheet(p):
    """All pictures at 4x on a neutral grey, each with its resource number."""
    k, pad = 4, 24
    label_font = ImageFont.truetype(art.FONT_DIR + "DejaVuSans.ttf", 18)
    items = [(103, "103 ball strip"), (105, "105 backboard"), (106, "106 net"),
             (117, "117 scoreboard"), (119, "119 digits"), (107, "107 About picture"),
             ("icon32", "101 icon 32"), ("icon16", "101 icon 16"), ("cursor32", "102 cursor"),
             ("117 en", "117 scoreboard, English"), ("107 en", "107 About picture, English")]
    items += [("icon%d" % n, "101 icon %d" % n) for n in ICON_SIZES[:-1]]
    items += [("icon256", "101 icon 256 (1x)"), ("cursor48", "102 cursor 48"),
              ("cursor64", "102 cursor 64")]

    def big(a, k=k):
        img = Image.fromarray(a)
        return img.resize((a.shape[1] * k, a.shape[0] * k), Image.NEAREST)

    # ball and digits laid out sideways so that the sheet stays compact
    ball = p[103]
    ball_row = np.concatenate([ball[50 * i:50 * i + 50] for i in range(7)], axis=1)
    dig = p[119]
    dig_row = np.concatenate([dig[15 * i:15 * i + 15] for i in range(10)], axis=1)
    tiles = {103: big(ball_row), 119: big(dig_row), "icon256": big(p["icon256"], 1)}
    for key, _ in items:
        if key not in tiles:
            tiles[key] = big(p[key])
    layout = [[103], [105, 106], [117, "117 en", 119], [107, "107 en"],
              ["icon32", "icon16", "cursor32", "cursor64", "cursor48"],
              ["icon256", "icon64", "icon48", "icon40", "icon24", "icon20"]]
    rows = []
    names = dict(items)

    def slot(key):
        return max(tiles[key].width, int(label_font.getlength(names[key])) + 8)

    for row in layout:
        w = sum(slot(k_) for k_ in row) + pad * (len(row) + 1)
        h = max(tiles[k_].height for k_ in row) + pad * 2 + 24
        rows.append((row, w, h))
    width = max(w for _, w, _ in rows)
    height = sum(h for _, _, h in rows)
    sheet = Image.new("RGB", (width, height), (96, 104, 112))
    draw = ImageDraw.Draw(sheet)
    y = 0
    for row, _, h in rows:
        x = pad
        for key in row:
            tile = tiles[key]
            draw.text((x, y + pad - 4), names[key], font=label_font, fill=(255, 255, 255))
            if tile.mode == "RGBA":
                checker = Image.new("RGB", tile.size, (150, 150, 150))
                cd = ImageDraw.Draw(checker)
                for cy in range(0, tile.height, 16):
                    for cx in range(0, tile.width, 16):
                        if (cx // 16 + cy // 16) % 2:
                            cd.rectangle([cx, cy, cx + 15, cy + 15], fill=(190, 190, 190))
                checker.paste(tile, (0, 0), tile)
                tile = checker
            sheet.paste(tile, (x, y + pad + 24))
            x += slot(key) + pad
        y += h
    return sheet


if __name__ == "__main__":
    main()
