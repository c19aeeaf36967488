"""The pictures of the program, drawn by code. Every function returns an RGB array (uint8)."""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

import geometry

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SCORE_BLUE = (42, 63, 170)


def font(name, size):
    return ImageFont.truetype(FONT_DIR + name, size)


def clamp8(a):
    return np.clip(np.rint(a), 0, 255).astype(np.uint8)


def downsample(a, k):
    h, w = a.shape[0] // k, a.shape[1] // k
    return a.reshape(h, k, w, k, *a.shape[2:]).mean(axis=(1, 3))


def mix(a, b, t):
    t = np.asarray(t, dtype=float)[..., None]
    return np.asarray(a, float) * (1 - t) + np.asarray(b, float) * t


# --- ball ----------------------------------------------------------------------------------

def _seam_distance(p):
    """Angular distance (radians) of unit vectors p (..., 3) from the seams of a ball: two
    great circles through the poles and two rings around the x axis."""
    x, y = p[..., 0], p[..., 1]
    d1 = np.abs(np.arcsin(np.clip(x, -1, 1)))          # great circle x = 0
    d2 = np.abs(np.arcsin(np.clip(y, -1, 1)))          # great circle y = 0
    ring = math.radians(42)                            # rings of 42 degrees around +-x
    ang = np.arccos(np.clip(np.abs(x), -1, 1))
    d3 = np.abs(ang - ring)
    return np.minimum(np.minimum(d1, d2), d3)


def _rot(axis, angle):
    axis = np.asarray(axis, float) / np.linalg.norm(axis)
    x, y, z = axis
    c, s = math.cos(angle), math.sin(angle)
    return np.array([[c + x * x * (1 - c), x * y * (1 - c) - z * s, x * z * (1 - c) + y * s],
                     [y * x * (1 - c) + z * s, c + y * y * (1 - c), y * z * (1 - c) - x * s],
                     [z * x * (1 - c) - y * s, z * y * (1 - c) + x * s, c + z * z * (1 - c)]])


def _pebbles(p):
    """Fine grain of the leather, fixed to the ball so that it turns with it, and as
    symmetric as the seams (half a turn about the pole), so the last frame leads into the
    first without a jump."""
    def grain(x, y, z):
        return (np.sin(x * 61 + 1.3) * np.sin(y * 57 + 0.7) * np.sin(z * 59 + 2.1)
                + 0.5 * np.sin(x * 97 - z * 83) * np.sin(y * 101 + 0.4))
    x, y, z = p[..., 0], p[..., 1], p[..., 2]
    return 0.5 * (grain(x, y, z) + grain(-x, -y, z))


def ball_frame(k, frames=7, size=50, ss=6, scale=1.0, extend=False):
    """Frame k of the turning ball, size x size pixels. `scale` is how many pixels one pixel of
    the 100 % ball has become, so seams and edge keep their width; `extend` carries the
    colour of the edge past it instead of black, for pictures that are scaled afterwards."""
    n = size * ss
    c = (np.arange(n) + 0.5) / ss                      # pixel-centre coordinates
    X, Y = np.meshgrid(c, c)
    r = size / 2 - 0.35 * scale
    u, v = (X - size / 2) / r, (Y - size / 2) / r
    rr = u * u + v * v
    inside = rr <= 1
    if extend:                                         # outside: the rim's own colour,
        out = np.sqrt(np.maximum(rr, 1))               # for three pixels of the 100 % ball
        near = out <= 1 + 3 * scale / r
        u, v, rr = u / out, v / out, np.minimum(rr, 1)
    w = np.sqrt(np.clip(1 - rr, 0, 1))
    view = np.stack([u, -v, w], axis=-1)               # x right, y up, z toward the viewer
    # The ball turns about its own pole, which leans toward the viewer; the seams' pattern
    # repeats every half turn, so seven frames make one smooth half turn.
    spin = _rot((0, 0, 1), -math.pi * k / frames)
    lean = _rot((1, 0.35, 0), math.radians(-58))
    m = lean @ spin
    obj = view @ m                                     # view -> object: row vectors times m
    seam = _seam_distance(obj)
    light = np.array([-0.45, 0.6, 0.66])
    light /= np.linalg.norm(light)
    lam = np.clip(view @ light, 0, 1)
    half = light + np.array([0, 0, 1.0])
    half /= np.linalg.norm(half)
    specular = np.clip(view @ half, 0, 1) ** 28
    grain = _pebbles(obj) * 0.05
    base = np.array([222, 102, 28], float)
    dark = np.array([92, 30, 8], float)
    shade = np.clip(0.18 + 0.9 * lam + grain, 0, 1.2)
    col = mix(dark, base, np.clip(shade, 0, 1)) * (1 + 0.25 * np.clip(shade - 1, 0, 1))[..., None]
    col = col + 120 * specular[..., None] * np.array([1.0, 0.85, 0.65])
    # seams: dark grooves about 1.2 px wide, softened into the leather
    width = 1.25 * scale / r / 2
    t = np.clip((seam - width) / (0.9 * scale / r), 0, 1)
    groove = np.array([38, 16, 8], float) * (0.6 + 0.4 * lam)[..., None]
    col = mix(groove, col, t)
    # a touch of darkening at the limb, as a sphere shows
    col *= (0.72 + 0.28 * np.clip(w * 1.6, 0, 1))[..., None]
    col[~(near if extend else inside)] = 0
    return clamp8(downsample(col, ss))


def ball_strip():
    return np.concatenate([ball_frame(k) for k in range(7)], axis=0)


# --- backboard -----------------------------------------------------------------------------

def _distance_to(mask_outside):
    """Euclidean distance (pixels) of every pixel centre to the nearest pixel of the mask."""
    from math import inf
    h, w = mask_outside.shape
    ys, xs = np.nonzero(mask_outside)
    pts = np.stack([xs, ys], axis=1).astype(float)
    d = np.full((h, w), inf)
    gy, gx = np.mgrid[0:h, 0:w]
    for chunk in np.array_split(pts, max(1, len(pts) // 2000)):
        dd = (gx[..., None] - chunk[:, 0]) ** 2 + (gy[..., None] - chunk[:, 1]) ** 2
        d = np.minimum(d, np.sqrt(dd.min(axis=-1)))
    return d


def backboard():
    w, h = 187, 134
    inside = geometry.backboard_mask()
    outside = np.pad(~inside, 1, constant_values=True)
    dist = _distance_to(outside)[1:-1, 1:-1]          # 1 at the outermost inside pixels
    # white board, a cool sheen from the top left to the bottom right
    gy, gx = np.mgrid[0:h, 0:w].astype(float)
    sheen = 0.5 + 0.5 * np.cos((gx * 0.55 + gy - 40) / 70)
    col = mix((226, 230, 236), (255, 255, 255), 0.35 + 0.65 * sheen)
    # a faint inner shadow along the black rim
    col *= (1 - 0.10 * np.exp(-(dist - 3.5) / 1.6) * (dist > 3.5))[..., None]
    # yellow rectangle outline, x 57..129, y 51..106, three pixels wide
    yellow = np.array([250, 200, 20], float)
    in_rect = (gx >= 57) & (gx <= 129) & (gy >= 51) & (gy <= 106)
    inner = (gx >= 60) & (gx <= 126) & (gy >= 54) & (gy <= 103)
    frame = in_rect & ~inner
    col[frame] = yellow
    edge_dark = frame & ((gx == 57) | (gy == 106) | (gx == 129) | (gy == 51))
    col[edge_dark] = (222, 165, 10)
    # the orange bracket that holds the hoop, x 78..108, y 111..132
    br = (gx >= 78) & (gx <= 108) & (gy >= 111) & (gy <= 132)
    t = (gy - 111) / 21
    bcol = mix((250, 150, 60), (170, 70, 12), t)
    col[br] = bcol[br]
    col[br & ((gx == 78) | (gx == 108) | (gy == 132))] = (110, 42, 8)
    col[br & (gy == 111)] = (255, 190, 120)
    for bx in (84, 102):                               # four bolts
        for by in (116, 126):
            d2 = (gx - bx) ** 2 + (gy - by) ** 2
            col[br & (d2 <= 2.3)] = (120, 120, 128)
            col[br & (d2 <= 0.6)] = (210, 210, 220)
    # the black rim, about three pixels wide, its inner edge softened
    rim = np.clip(3.6 - dist, 0, 1)
    col = mix(col, (0, 0, 0), rim)
    col[dist <= 3] = 0
    col[~inside] = 0
    return clamp8(col)


# --- net -----------------------------------------------------------------------------------

def net():
    w, h = 83, 76
    band, body, holes = geometry.net_masks()
    band_only = band & ~body
    strings = body & ~band & ~holes
    gy, gx = np.mgrid[0:h, 0:w].astype(float)
    col = np.zeros((h, w, 3))
    # the hoop seen from the front: a round orange tube, lit from above
    tube = np.clip((gy + 0.5) / 8, 0, 1)
    light = np.cos((tube - 0.32) * math.pi * 0.95)
    ocol = mix((120, 40, 6), (240, 110, 22), np.clip(light, 0, 1))
    ocol = ocol + (90 * np.clip(light - 0.85, 0, 1) / 0.15)[..., None] * np.array([1, 0.8, 0.5])
    ends = np.clip(np.abs(gx - 41.5) / 41.5, 0, 1) ** 6   # the ends of the hoop turn away
    ocol *= (1 - 0.35 * ends)[..., None]
    col[band_only] = ocol[band_only]
    # white cord: brighter in the middle of a string, a little grey next to an opening,
    # and the lower mesh, further in the shadow of the rim, slightly duller
    near_hole = np.zeros_like(holes)
    for dy, dx in ((0, 1), (0, -1), (1, 0), (-1, 0)):
        near_hole |= np.roll(np.roll(holes | ~body, dy, axis=0), dx, axis=1)
    depth = np.clip((gy - 8) / 62, 0, 1)
    white = mix((250, 250, 252), (214, 218, 226), depth * 0.8)
    edge = mix((205, 208, 216), (170, 174, 186), depth)
    cord = np.where(near_hole[..., None], edge, white)
    # a faint twist along the cord
    twist = 1 - 0.05 * (((gx + gy) % 3) == 0)
    cord *= twist[..., None]
    col[strings] = cord[strings]
    col[70:] = 0
    return clamp8(col)


# --- scoreboard and digits ---------------------------------------------------------------------

DIGIT_GLYPHS = [  # 10 x 13, bold two-pixel strokes, drawn for a 14 x 15 cell
    ["..######..", ".########.", "###....###", "##......##", "##......##", "##......##",
     "##......##", "##......##", "##......##", "##......##", "###....###", ".########.",
     "..######.."],
    ["....##....", "...###....", "..####....", ".##.##....", "....##....", "....##....",
     "....##....", "....##....", "....##....", "....##....", "....##....", ".########.",
     ".########."],
    ["..######..", ".###..###.", "##......##", "........##", ".......###", "......###.",
     ".....###..", "....###...", "...###....", "..###.....", ".###......", "##########",
     "##########"],
    ["..######..", ".###..###.", "##......##", "........##", "........##", "....#####.",
     "....#####.", "........##", "........##", "........##", "##......##", ".###..###.",
     "..######.."],
    ["......###.", ".....####.", "....##.##.", "...##..##.", "..##...##.", ".##....##.",
     "##.....##.", "##########", "##########", ".......##.", ".......##.", ".......##.",
     ".......##."],
    ["##########", "##########", "##........", "##........", "##.#####..", "#########.",
     "###....###", "........##", "........##", "........##", "##......##", ".###..###.",
     "..######.."],
    ["...#####..", "..###..##.", ".##.......", "##........", "##........", "##.#####..",
     "#########.", "###....###", "##......##", "##......##", "###....###", ".########.",
     "..######.."],
    ["##########", "##########", "........##", ".......##.", "......###.", "......##..",
     ".....###..", ".....##...", "....###...", "....##....", "...###....", "...##.....",
     "...##....."],
    ["..######..", ".###..###.", "##......##", "##......##", ".##....##.", "..######..",
     ".########.", "###....###", "##......##", "##......##", "###....###", ".########.",
     "..######.."],
    ["..######..", ".########.", "###....###", "##......##", "##......##", "###....###",
     ".#########", "..#####.##", "........##", "........##", ".......##.", ".##..###..",
     "..#####..."],
]


def digits():
    """Ten 14 x 15 cells, white on the scoreboard blue, digit d at rows 15d..15d+14. Pixel
    glyphs for crispness; the inner corners of their steps get a little grey."""
    out = np.zeros((150, 14, 3), dtype=np.uint8)
    for d, glyph in enumerate(DIGIT_GLYPHS):
        on = np.zeros((15, 14))
        for y, row in enumerate(glyph):
            for x, ch in enumerate(row):
                on[1 + y, 2 + x] = ch == "#"
        soft = on.copy()
        for y in range(1, 14):
            for x in range(1, 13):
                if on[y, x]:
                    continue
                pairs = ((on[y - 1, x], on[y, x - 1]), (on[y - 1, x], on[y, x + 1]),
                         (on[y + 1, x], on[y, x - 1]), (on[y + 1, x], on[y, x + 1]))
                if any(a and b for a, b in pairs):
                    soft[y, x] = 0.35
        out[15 * d:15 * d + 15] = clamp8(mix(SCORE_BLUE, (255, 255, 255), soft))
    return out


def scoreboard(lang="ru"):
    w, h, ss = 187, 42, 4
    label = WORDS[lang]["score"]
    inside = geometry.scoreboard_mask()
    img = Image.new("RGB", (w * ss, h * ss), (0, 0, 0))
    d = ImageDraw.Draw(img)
    # orange panel with a darker frame and a lighter top
    for i in range(h * ss):
        t = i / (h * ss)
        c = tuple(int(v) for v in mix((252, 150, 52), (206, 84, 14), t))
        d.line([(0, i), (w * ss, i)], fill=c)
    d.rectangle([0, 0, w * ss - 1, h * ss - 1], outline=(120, 44, 6), width=2 * ss)
    d.rectangle([2 * ss, 2 * ss, w * ss - 2 * ss - 1, h * ss - 2 * ss - 1], outline=(255, 196, 120),
                width=ss // 2)
    # the emblem: a small ball with a dark edge
    cx, cy, r = 22 * ss, 21 * ss, 15 * ss
    d.ellipse([cx - r - ss, cy - r - ss, cx + r + ss, cy + r + ss], fill=(70, 24, 4))
    arr = np.asarray(img.resize((w, h), Image.BOX)).astype(float)
    bf = ball_frame(1, size=31, ss=8).astype(float)
    m = bf.sum(axis=2) > 0
    sub = arr[6:37, 7:38]
    sub[m] = bf[m]
    # the word: "score" in white capitals with a dark shadow
    txt = Image.new("L", (w, h), 0)
    shadow = Image.new("L", (w, h), 0)
    f = font("DejaVuSans-Bold.ttf", 19)
    td = ImageDraw.Draw(txt)
    l, t, r, b = td.textbbox((0, 0), label, font=f)
    x = 44 + (92 - (r - l)) // 2 - l
    y = (h - (b - t)) // 2 - t
    td.text((x, y), label, font=f, fill=255)
    ImageDraw.Draw(shadow).text((x + 1, y + 2), label, font=f, fill=255)
    shadow = shadow.filter(ImageFilter.GaussianBlur(0.7))
    arr = mix(arr, (90, 30, 4), np.asarray(shadow, float) / 255 * 0.8)
    arr = mix(arr, (255, 255, 255), np.asarray(txt, float) / 255)
    # the blue score panel, columns 141..183, rows 3..38, set in a dark bezel
    arr[2:40, 140:185] = (60, 22, 4)
    arr[3:39, 141:184] = SCORE_BLUE
    out = clamp8(arr)
    out[~inside] = 0
    return out


# --- About picture -------------------------------------------------------------------------

TITLE = "Quorvel Basketball"
# The words of the pictures in each language the program speaks; the second instruction
# continues the first, without a bullet of its own.
WORDS = {
    "ru": {
        "score": "СЧЁТ",
        "subtitle": "баскетбол на рабочем столе",
        "instructions": [
            "Схватите мяч левой кнопкой мыши,",
            "размахнитесь и отпустите — бросок!",
            "Перетащите щит, чтобы сдвинуть корзину.",
            "Правый щелчок по щиту открывает меню.",
            "Esc — выход из игры.",
        ],
        "close": "Щелчок, Enter или Esc закрывают это окно",
    },
    "en": {
        "score": "SCORE",
        "subtitle": "basketball on your desktop",
        "instructions": [
            "Grab the ball with the left mouse button,",
            "swing it and let go: that's a throw!",
            "Drag the backboard to move the hoop.",
            "Right-click the backboard for the menu.",
            "Esc quits the game.",
        ],
        "close": "A click, Enter or Esc closes this window",
    },
}


def _paste(arr, rgb, x, y):
    """Pastes a picture on black (black = transparent, dark edges blend) into arr."""
    h, w, _ = rgb.shape
    a = np.clip(rgb.astype(float).max(axis=2) / 60, 0, 1)[..., None]
    region = arr[y:y + h, x:x + w]
    region[:] = region * (1 - a) + rgb * a


def _text(arr, xy, text, f, color, shadow=None, offset=(1, 1), anchor="la", blur=1.0):
    h, w, _ = arr.shape
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).text(xy, text, font=f, fill=255, anchor=anchor)
    if shadow is not None:
        sm = Image.new("L", (w, h), 0)
        ImageDraw.Draw(sm).text((xy[0] + offset[0], xy[1] + offset[1]), text, font=f, fill=255,
                                anchor=anchor)
        sm = sm.filter(ImageFilter.GaussianBlur(blur))
        arr[:] = mix(arr, shadow, np.asarray(sm, float) / 255 * 0.85)
    arr[:] = mix(arr, color, np.asarray(mask, float) / 255)


TEXT_SAMPLES = 8   # text drawn anew is set at this many pixels to a 100 % pixel, whatever size


def _text_at(arr, k, xy, text, face, size, color, shadow=None, offset=(1, 1), anchor="la",
             blur=1.0):
    """_text with lengths in 100 % pixels on a picture of k samples to one. Drawn anew (k other
    than 1), the text is set at one size for every k and then resampled, so the glyphs' hinted
    widths, rounded at the size they are set at, are the same at every scale."""
    if k == 1:
        _text(arr, xy, text, font(face, size), color, shadow, offset, anchor, blur)
        return
    t = TEXT_SAMPLES
    h, w, _ = arr.shape
    big = (int(round(w * t / k)), int(round(h * t / k)))
    f = font(face, int(round(size * t)))

    def layer(dx, dy, radius=0.0):
        m = Image.new("L", big, 0)
        ImageDraw.Draw(m).text(((xy[0] + dx) * t, (xy[1] + dy) * t), text, font=f, fill=255,
                               anchor=anchor)
        if radius:
            m = m.filter(ImageFilter.GaussianBlur(radius * t))
        return np.asarray(m.resize((w, h), Image.BOX), float) / 255
    if shadow is not None:
        arr[:] = mix(arr, shadow, layer(*offset, blur) * 0.85)
    arr[:] = mix(arr, color, layer(0, 0))


def about(k=1, lang="ru"):
    """The About picture, k samples to a pixel of the 100 % picture each way (k = 1: that
    picture itself). Lengths are in 100 % pixels; u, v are sample centres in them."""
    w, h = 400, 300
    words = WORDS[lang]

    def px(a):                                         # a 100 % length in samples
        return int(round(a * k))

    v, u = (np.mgrid[0:h * k, 0:w * k].astype(float) + 0.5) / k
    gx, gy = u - 0.5, v - 0.5
    # an arena at night: deep blue, a spotlight behind the title
    bg = mix((30, 38, 92), (10, 12, 34), np.clip(gy / h, 0, 1) ** 0.8)
    spot = np.exp(-(((gx - 250) / 190) ** 2 + ((gy - 40) / 90) ** 2))
    bg = mix(bg, (70, 84, 160), spot * 0.55)
    # a wooden court floor along the bottom
    floor = v >= 262
    wood = mix((200, 130, 62), (150, 86, 34), (gy - 262) / 38)
    row = np.floor((v - 264) / 9)
    grain = 0.04 * np.sin(gx * 0.21 + row * 1.7) * np.sin(gx * 0.05 + row)
    seam = (np.mod(v - 264, 9) >= 8) | (np.mod(u + row * 53, 97) < 1)
    wood *= (1 + grain - 0.10 * seam - 0.03 * np.mod(row, 2))[..., None]
    bg[floor] = wood[floor]
    bg[(v >= 262) & (v < 264)] = (250, 236, 210)
    arr = bg.copy()
    # the ball and the title
    ball = ball_frame(1, size=px(76), ss=max(1, round(4 / k)), scale=k)
    glow = np.exp(-(((gx - 56) / 52) ** 2 + ((gy - 54) / 52) ** 2))
    arr = mix(arr, (255, 150, 60), glow * 0.25)
    _paste(arr, ball, px(18), px(16))
    _text_at(arr, k, (108, 26), TITLE, "DejaVuSans-Bold.ttf", 25, (255, 160, 48),
             shadow=(0, 0, 0), offset=(2, 2))
    _text_at(arr, k, (110, 62), words["subtitle"], "DejaVuSans.ttf", 14, (210, 218, 255))
    line = (v >= 104) & (v < 106) & (u >= 24) & (u < 376)
    arr[line] = mix(arr[line], (255, 150, 40), 0.9)
    # the instructions, each with a small orange bullet
    y = 122
    dot = ball_frame(3, size=px(12), ss=max(1, round(6 / k)), scale=k)
    for i, text in enumerate(words["instructions"]):
        cont = i == 1
        if not cont:
            _paste(arr, dot, px(24), px(y + 3))
        _text_at(arr, k, (44, y), text, "DejaVuSans.ttf", 14, (242, 244, 255), shadow=(0, 0, 20))
        y += 26 if i != 0 else 20
    _text_at(arr, k, (200, 281), words["close"], "DejaVuSans-Oblique.ttf", 13, (60, 26, 6),
             anchor="mm")
    return clamp8(arr) if k == 1 else arr


# --- every picture at any size ------------------------------------------------------------
#
# At 100 % the pictures above are the ones the program has always shown. At any other size a
# picture is drawn anew from the same description: each pixel is the mean of k x k point
# samples (u, v) in 100 % pixel units, and outside the window's shape the colour at its edge
# carries on, so that a filter scaling the picture later never pulls in the black beyond it.

PICTURES = {  # name: (width, height, frames) at 100 %
    "ball": (50, 50, 7), "backboard": (187, 134, 1), "net": (83, 76, 1),
    "scoreboard": (187, 42, 1), "digits": (14, 15, 10), "about": (400, 300, 1),
    "scoreboard_en": (187, 42, 1), "about_en": (400, 300, 1),
}
MASTER_SCALE = {"ball": 4, "backboard": 4, "net": 4, "scoreboard": 4, "digits": 4, "about": 2,
                "scoreboard_en": 4, "about_en": 2}


def _design(name):
    """The picture `name` is drawn from and its language: "about_en" is the About picture in
    English; a name without a language is Russian."""
    base, _, lang = name.partition("_")
    return base, lang or "ru"


def mul_div(value, dpi):
    """value * dpi / 96 rounded half up, as the system's MulDiv rounds a positive size."""
    return (value * dpi + 48) // 96


class Samples:
    """Sample points of a picture of w x h 100 % pixels drawn at W x H pixels, k x k each."""

    def __init__(self, w, h, W, H, k):
        self.k, self.W, self.H = k, W, H
        self.fx, self.fy = W * k / w, H * k / h       # samples to one 100 % pixel
        self.v, self.u = np.mgrid[0:H * k, 0:W * k].astype(float) + 0.5
        self.u /= self.fx
        self.v /= self.fy

    def polygons(self, polys, winding=False, shift=0.5):
        """Samples inside polygons whose 100 % pixel (x, y) is the square from (x, y) to
        (x + 1, y + 1) in u, v: the platform's integer-point rule made continuous. A vertex
        lies at (x + shift, y + shift): at 0.5 a pixel is inside when its centre is."""
        moved = [[((x + shift) * self.fx - 0.5, (y + shift) * self.fy - 0.5) for x, y in p]
                 for p in polys]
        return geometry.polygon_mask(moved, self.W * self.k, self.H * self.k, winding)

    def edge_distance(self, polys):
        """Distance (100 % pixels) of every sample to the nearest edge of the polygons."""
        d = np.full(self.u.shape, np.inf)
        for p in polys:
            for (x0, y0), (x1, y1) in zip(p, p[1:] + p[:1]):
                x0, y0, x1, y1 = x0 + 0.5, y0 + 0.5, x1 + 0.5, y1 + 0.5
                dx, dy = x1 - x0, y1 - y0
                ll = dx * dx + dy * dy
                if ll == 0:
                    continue
                t = np.clip(((self.u - x0) * dx + (self.v - y0) * dy) / ll, 0, 1)
                d = np.minimum(d, np.hypot(self.u - x0 - t * dx, self.v - y0 - t * dy))
        return d

    def finish(self, col, inside):
        """Colour carried past the shape's edge, then each pixel the mean of its samples."""
        col = extend_edge(col, inside, int(math.ceil(2.5 * max(self.fx, self.fy))))
        return downsample(col, self.k)


def extend_edge(col, inside, steps):
    """col with the pixels outside `inside`, up to `steps` pixels out, given the mean colour of
    their neighbours already known: the shape's own colour carried over its edge."""
    col = np.array(col, dtype=float)
    known = inside.copy()
    h, w = known.shape
    for _ in range(steps):
        if known.all():
            break
        kp = np.pad(known, 1).astype(float)
        cp = np.pad(col * known[..., None], ((1, 1), (1, 1), (0, 0)))
        total = np.zeros_like(col)
        count = np.zeros((h, w))
        for dy in (0, 1, 2):
            for dx in (0, 1, 2):
                if dy == dx == 1:
                    continue
                total += cp[dy:dy + h, dx:dx + w]
                count += kp[dy:dy + h, dx:dx + w]
        new = ~known & (count > 0)
        col[new] = total[new] / count[new][:, None]
        known |= new
    col[~known] = 0
    return col


def _ball_at(g, frame):
    return ball_frame(frame, size=g.W, ss=max(2, g.k), scale=g.W / 50, extend=True)


def _backboard_at(g):
    outline = [geometry.TABLES["backboardOutline"]]
    inside = g.polygons(outline, winding=True)
    dist = g.edge_distance(outline) + 0.5             # as measured between pixel centres
    u, v = g.u, g.v
    gx, gy = u - 0.5, v - 0.5
    sheen = 0.5 + 0.5 * np.cos((gx * 0.55 + gy - 40) / 70)
    col = mix((226, 230, 236), (255, 255, 255), 0.35 + 0.65 * sheen)
    col *= (1 - 0.10 * np.exp(-(dist - 3.5) / 1.6) * (dist > 3.5))[..., None]

    def box(x0, y0, x1, y1):                           # the 100 % pixels x0..x1, y0..y1
        return (u >= x0) & (u < x1 + 1) & (v >= y0) & (v < y1 + 1)
    frame = box(57, 51, 129, 106) & ~box(60, 54, 126, 103)
    col[frame] = (250, 200, 20)
    col[frame & ~box(58, 52, 128, 105)] = (222, 165, 10)
    br = box(78, 111, 108, 132)
    bcol = mix((250, 150, 60), (170, 70, 12), (gy - 111) / 21)
    col[br] = bcol[br]
    col[br & ~box(79, 0, 107, 131)] = (110, 42, 8)
    col[br & box(0, 111, 999, 111)] = (255, 190, 120)
    for bx in (84, 102):
        for by in (116, 126):
            d2 = (gx - bx) ** 2 + (gy - by) ** 2
            col[br & (d2 <= 2.3)] = (120, 120, 128)
            col[br & (d2 <= 0.6)] = (210, 210, 220)
    col = mix(col, (0, 0, 0), np.clip(3.6 - dist, 0, 1))
    col[dist <= 3] = 0
    return g.finish(col, inside)


def _net_at(g):
    band_p, body_p = geometry.split(geometry.TABLES["netOutline"], geometry.TABLES["netOutlineCounts"])
    holes_p = geometry.split(geometry.TABLES["netHoles"], geometry.TABLES["netHoleCounts"])
    band, body, holes = g.polygons([band_p]), g.polygons([body_p]), g.polygons(holes_p)
    band_only = band & ~body
    strings = body & ~band & ~holes
    u, v = g.u, g.v
    gx, gy = u - 0.5, v - 0.5
    col = np.zeros(u.shape + (3,))
    tube = np.clip(v / 8, 0, 1)
    light = np.cos((tube - 0.32) * math.pi * 0.95)
    ocol = mix((120, 40, 6), (240, 110, 22), np.clip(light, 0, 1))
    ocol = ocol + (90 * np.clip(light - 0.85, 0, 1) / 0.15)[..., None] * np.array([1, 0.8, 0.5])
    ocol *= (1 - 0.35 * np.clip(np.abs(gx - 41.5) / 41.5, 0, 1) ** 6)[..., None]
    col[band_only] = ocol[band_only]
    # next to an opening or the outside: within a pixel of its edge
    near_hole = g.edge_distance(holes_p + [body_p]) < 1
    depth = np.clip((gy - 8) / 62, 0, 1)
    white = mix((250, 250, 252), (214, 218, 226), depth * 0.8)
    edge = mix((205, 208, 216), (170, 174, 186), depth)
    cord = np.where(near_hole[..., None], edge, white)
    cord *= (1 - 0.05 * (np.mod(gx + gy + 0.5, 3) < 1))[..., None]
    col[strings] = cord[strings]
    return g.finish(col, band_only | strings)


def _scoreboard_at(g, lang="ru"):
    w, h = 187, 42
    label = WORDS[lang]["score"]
    inside = g.polygons([geometry.TABLES["scoreboardOutline"]], winding=True)
    u, v = g.u, g.v
    arr = mix((252, 150, 52), (206, 84, 14), (v - 0.5 / g.fy) / h)
    outer = (u < 2) | (u >= w - 2) | (v < 2) | (v >= h - 2)
    arr[outer] = (120, 44, 6)
    light = ~outer & ((u < 2.5) | (u >= w - 2.5) | (v < 2.5) | (v >= h - 2.5))
    arr[light] = (255, 196, 120)
    arr[(u - 22.1) ** 2 + (v - 21.1) ** 2 <= 16.05 ** 2] = (70, 24, 4)
    size = int(round(31 * g.fy))
    bf = ball_frame(1, size=size, ss=max(1, round(8 * 31 / size)), scale=size / 31).astype(float)
    x0, y0 = int(round(7 * g.fx)), int(round(6 * g.fy))
    sub = arr[y0:y0 + size, x0:x0 + size]
    m = bf.sum(axis=2) > 0
    sub[m] = bf[m]
    # the word, where the 100 % picture has its ink, set at one size for every scale
    f1 = font("DejaVuSans-Bold.ttf", 19)
    l1, t1, r1, b1 = ImageDraw.Draw(Image.new("L", (1, 1))).textbbox((0, 0), label, font=f1)
    ink_x = 44 + (92 - (r1 - l1)) // 2
    ink_y = (h - (b1 - t1)) // 2
    T = TEXT_SAMPLES
    f = font("DejaVuSans-Bold.ttf", 19 * T)
    l, t, r, b = ImageDraw.Draw(Image.new("L", (1, 1))).textbbox((0, 0), label, font=f)
    x = ink_x * T + ((r1 - l1) * T - (r - l)) / 2 - l
    y = ink_y * T + ((b1 - t1) * T - (b - t)) / 2 - t
    size = (arr.shape[1], arr.shape[0])

    def layer(dx, dy, radius=0.0):
        m = Image.new("L", (w * T, h * T), 0)
        ImageDraw.Draw(m).text((x + dx * T, y + dy * T), label, font=f, fill=255)
        if radius:
            m = m.filter(ImageFilter.GaussianBlur(radius * T))
        return np.asarray(m.resize(size, Image.BOX), float) / 255
    arr = mix(arr, (90, 30, 4), layer(1, 2, 0.7) * 0.8)
    arr = mix(arr, (255, 255, 255), layer(0, 0))
    arr[(v >= 2) & (v < 40) & (u >= 140) & (u < 185)] = (60, 22, 4)
    arr[(v >= 3) & (v < 39) & (u >= 141) & (u < 184)] = SCORE_BLUE
    return g.finish(arr, inside)


def _digit_at(g, d):
    """Digit d's cell: its glyph's pixels as squares, each inner corner of a step filled by a
    small triangle as light as the 100 % picture's grey corner pixel."""
    on = np.zeros((15, 14), dtype=bool)
    for y, row in enumerate(DIGIT_GLYPHS[d]):
        for x, ch in enumerate(row):
            on[1 + y, 2 + x] = ch == "#"
    u, v = g.u, g.v
    cx = np.clip(np.floor(u).astype(int), 0, 13)
    cy = np.clip(np.floor(v).astype(int), 0, 14)
    fx, fy = u - cx, v - cy
    ink = on[cy, cx].astype(float)
    leg = math.sqrt(2 * 0.35)                          # a triangle of area 0.35
    onp = np.pad(on, 1)
    up, down = onp[cy, cx + 1], onp[cy + 2, cx + 1]
    left, right = onp[cy + 1, cx], onp[cy + 1, cx + 2]
    corner = ((up & left & (fx + fy < leg)) | (up & right & (1 - fx + fy < leg))
              | (down & left & (fx + 1 - fy < leg)) | (down & right & (2 - fx - fy < leg)))
    ink = np.maximum(ink, corner & ~on[cy, cx])
    return downsample(mix(SCORE_BLUE, (255, 255, 255), ink), g.k)


def draw(name, W, H, k=None):
    """Picture `name` drawn at W x H pixels a frame (a strip: every frame), k x k samples a
    pixel (by default about eight a 100 % pixel each way). Floating-point RGB."""
    w, h, frames = PICTURES[name]
    name, lang = _design(name)
    if k is None:
        dense = 4 if name == "about" else 8           # text and gradients need fewer
        k = max(1, int(math.ceil(dense / min(W / w, H / h))))
    g = Samples(w, h, W, H, k)
    if name == "ball":
        return np.concatenate([_ball_at(g, i) for i in range(frames)], axis=0)
    if name == "digits":
        return np.concatenate([_digit_at(g, i) for i in range(frames)], axis=0)
    if name == "about":
        assert W * h == H * w, "the About picture scales evenly"
        return downsample(about(W * k / w, lang), k)
    if name == "scoreboard":
        return _scoreboard_at(g, lang)
    return {"backboard": _backboard_at, "net": _net_at}[name](g)


ONE_HUNDRED = {"ball": ball_strip, "backboard": backboard, "net": net, "scoreboard": scoreboard,
               "digits": digits, "about": about, "scoreboard_en": lambda: scoreboard("en"),
               "about_en": lambda: about(lang="en")}


def at_dpi(name, dpi):
    """Picture `name` for a display of `dpi`: at 96 the 100 % picture, otherwise drawn anew,
    every frame mul_div(width) x mul_div(height)."""
    if dpi == 96:
        return ONE_HUNDRED[name]()
    w, h, _ = PICTURES[name]
    return clamp8(draw(name, mul_div(w, dpi), mul_div(h, dpi)))


def master(name):
    """The high-resolution drawing the program scales its pictures from."""
    w, h, _ = PICTURES[name]
    m = MASTER_SCALE[name]
    return clamp8(draw(name, w * m, h * m, k=2))


def master_rgba(name):
    """The master of shaped picture `name` as RGBA: alpha the coverage of its outline, from
    4 x 4 samples a pixel; colour 0 where it is 0, else the master's own."""
    w, h, _ = PICTURES[name]
    m = MASTER_SCALE[name]
    rgb = master(name)
    alpha = clamp8(coverage(name, w * m, h * m, 4, MASTER_INSET) * 255)
    rgb[alpha == 0] = 0
    return np.dstack([rgb, alpha])


def region(name, dpi):
    """Pixels of the window's shape at `dpi` for one frame: the shape tables' vertices scaled
    as the program scales them, by the platform's rule; the ball a disc; the rest whole."""
    w, h, _ = PICTURES[name]
    W, H = mul_div(w, dpi), mul_div(h, dpi)
    name, _ = _design(name)

    def scaled(points):
        return [(mul_div(x, dpi), mul_div(y, dpi)) for x, y in points]
    t = geometry.TABLES
    if name == "backboard":
        return geometry.polygon_mask([scaled(t["backboardOutline"])], W, H, winding=True)
    if name == "scoreboard":
        return geometry.polygon_mask([scaled(t["scoreboardOutline"])], W, H, winding=True)
    if name == "net":
        band, body = geometry.split(t["netOutline"], t["netOutlineCounts"])
        holes = geometry.split(t["netHoles"], t["netHoleCounts"])
        whole = geometry.polygon_mask([scaled(band)], W, H) | geometry.polygon_mask([scaled(body)], W, H)
        return whole & ~geometry.polygon_mask([scaled(p) for p in holes], W, H)
    if name == "ball":
        c = (np.arange(W) + 0.5 - W / 2) / (W / 2 - 0.5)
        return c[None, :] ** 2 + c[:, None] ** 2 <= 1
    return np.ones((H, W), dtype=bool)


# --- coverage of the window's outline ---------------------------------------------------------
#
# A window's region takes pixel (x, y) when the point (x, y) lies inside its polygons: read as
# the square from (x, y) to (x + 1, y + 1), the pixel is in when its top-left corner is, and
# the region's outline is the polygons themselves, at every size (a straight edge along whole
# pixels stays sharp). The ball's region is the disc through the centres of the pixels along
# its square's edges: half a pixel of that size in from the square. A picture's alpha is the
# share of each pixel that outline covers.

SHAPED = ("ball", "backboard", "net", "scoreboard", "scoreboard_en")
MASTER_INSET = 0.25        # the masters' ball: the 200 % disc, in 100 % pixels


def coverage(name, W, H, k, inset=0.5):
    """Share (0..1) of each pixel of picture `name` drawn at W x H a frame that its outline
    covers, from k x k samples a pixel; every frame of a strip alike. `inset`: the ball's
    disc, in from its square, in 100 % pixels."""
    w, h, frames = PICTURES[name]
    base, _ = _design(name)
    g = Samples(w, h, W, H, k)
    t = geometry.TABLES
    if base == "ball":
        r = w / 2 - inset
        inside = (g.u - w / 2) ** 2 + (g.v - h / 2) ** 2 <= r * r
    elif base in ("backboard", "scoreboard"):
        inside = g.polygons([t[base + "Outline"]], winding=True, shift=0)
    elif base == "net":
        band, body = geometry.split(t["netOutline"], t["netOutlineCounts"])
        holes = geometry.split(t["netHoles"], t["netHoleCounts"])
        # one polygon list filled alternately, as the region is, less the openings
        inside = g.polygons([band, body], shift=0) & ~g.polygons(holes, shift=0)
    else:
        inside = np.ones(g.u.shape, dtype=bool)
    return np.tile(downsample(inside.astype(float), k), (frames, 1))


def with_alpha(name, rgb):
    """The 100 % picture `rgb` (today's pixels) as RGBA: alpha the outline's coverage; the
    region's pixels keep their colour; the others the outline touches take the picture's own
    colour there (drawn anew, carried past the edge), the rest are 0."""
    w, h, frames = PICTURES[name]
    alpha = clamp8(coverage(name, w, h, 16) * 255)
    inside = np.tile(region(name, 96), (frames, 1))
    # the region's pixels show and every other is cut: never wholly one or the other
    alpha[inside] = np.maximum(alpha[inside], 1)
    alpha[~inside] = np.minimum(alpha[~inside], 254)
    col = np.where(inside[..., None], rgb, clamp8(draw(name, w, h, k=8)))
    col[alpha == 0] = 0
    return np.dstack([col, alpha])


# --- icon and cursor ---------------------------------------------------------------------------

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, SILVER, GRAY, RED, YELLOW, WHITE = 0, 1, 7, 8, 9, 11, 15


def icon(size):
    """A hoop with its net in the standard 16 colours: (palette indices, transparent mask).
    Drawn pixel by pixel (no smoothing), which suits 16 colours."""
    T = 255                                            # transparent, until the end
    img = Image.new("P", (size, size), T)
    d = ImageDraw.Draw(img)
    if size == 32:
        rim_box, rim_w = (2, 3, 29, 13), 2
        top_y, bot_y, top_x, bot_x = 9, 29, (4, 27), (10, 21)
    else:
        rim_box, rim_w = (1, 1, 14, 6), 1
        top_y, bot_y, top_x, bot_x = 4, 14, (2, 13), (5, 10)
    d.ellipse(rim_box, outline=MAROON, width=rim_w)        # the back of the rim
    # the net: strings crossing at 45 degrees, clipped to a trapezoid narrowing downward
    def edges(y):
        t = (y - top_y) / (bot_y - top_y)
        return (round(top_x[0] + (bot_x[0] - top_x[0]) * t),
                round(top_x[1] + (bot_x[1] - top_x[1]) * t))
    period = 6 if size == 32 else 4
    for y in range(top_y, bot_y + 1):
        l, r = edges(y)
        for x in range(l, r + 1):
            diag = (x - y) % period == 0 or (x + y) % period == 0
            if diag or x in (l, r) or y == bot_y:
                c = WHITE if x < size * 0.55 else SILVER
                if x == r:
                    c = GRAY
                img.putpixel((x, y), c)
    d.arc(rim_box, 0, 180, fill=RED, width=rim_w)       # the front of the rim, over the net
    if size == 32:
        d.arc(rim_box, 100, 150, fill=YELLOW, width=1)
    idx = np.asarray(img, dtype=np.uint8).copy()
    transparent = idx == T
    idx[transparent] = 0
    return idx, transparent


HAND = [  # interior (white) of the pointing hand; outline and the rest follow from it
    (9, 11, 6, 19),    # index finger
    (13, 15, 12, 19),  # middle finger
    (17, 19, 13, 19),  # ring finger
    (21, 22, 15, 19),  # little finger
    (4, 7, 16, 20),    # thumb
    (9, 22, 19, 24),   # palm
    (5, 8, 20, 24),
    (6, 21, 25, 26),   # heel of the hand
    (8, 20, 27, 27),
]


def cursor(size=32):
    """(white, transparent) masks of the size x size hand (32, 48 or 64), drawn from the 32 px
    design with every pixel of it s = size / 32 pixels across; (x, y) of the hot spot, the
    index fingertip's outline."""
    s = size / 32
    line = int(round(s))                               # outline width
    inner = np.zeros((size, size), dtype=bool)

    def span(a, b):                                    # the 32 px pixels a..b, scaled
        return int(math.floor(a * s)), int(math.floor((b + 1) * s))
    for x0, x1, y0, y1 in HAND:
        (xa, xb), (ya, yb) = span(x0, x1), span(y0, y1)
        inner[ya:yb, xa:xb] = True
    outline = np.zeros_like(inner)
    for dy in range(-line, line + 1):
        for dx in range(-line, line + 1):
            if abs(dx) + abs(dy) <= line:
                outline |= np.roll(np.roll(inner, dy, axis=0), dx, axis=1)
    outline &= ~inner
    # knuckle creases on the fingers
    ya, yb = span(19, 19)
    for x in (10, 14, 18):
        xa, xb = span(x, x)
        inner[ya:yb, xa:xb] = False
        outline[ya:yb, xa:xb] = True
    fx0, fx1 = span(9, 11)
    hot = ((fx0 + fx1 - 1) // 2, span(6, 6)[0] - line)
    return inner, ~(inner | outline), hot


def icon_rgba(size):
    """The icon's hoop and net in full colour with soft edges, for the sizes that are not
    drawn in 16 colours: an RGBA array, its design the 32 px icon's."""
    k = 8                                              # samples a pixel each way
    S = size * k
    f = S / 32                                         # samples to one pixel of the 32 px icon

    def layer(draw_fn):
        img = Image.new("L", (S, S), 0)
        draw_fn(ImageDraw.Draw(img))
        return np.asarray(img, float) / 255

    rgb = np.zeros((S, S, 3))
    alpha = np.zeros((S, S))

    def over(colour, cover):
        nonlocal rgb, alpha
        colour = np.broadcast_to(np.asarray(colour, float), rgb.shape)
        rgb = colour * cover[..., None] + rgb * (1 - cover[..., None])
        alpha = cover + alpha * (1 - cover)

    rim = [2.5 * f, 3.5 * f, 29.5 * f, 13.5 * f]
    width = max(2, int(round(2.2 * f)))
    over((150, 24, 12), layer(lambda d: d.ellipse(rim, outline=255, width=width)))
    # the net: strings crossing at 45 degrees in a trapezoid narrowing downward
    top, bottom = 9.5 * f, 29.5 * f
    trapezoid = [(4.5 * f, top), (27.5 * f, top), (21.5 * f, bottom), (10.5 * f, bottom)]
    inside = layer(lambda d: d.polygon(trapezoid, fill=255))
    yy, xx = (np.mgrid[0:S, 0:S] + 0.5) / f
    half = 0.62                                        # half a string, in 32 px pixels
    diag = ((np.abs(np.mod(xx - yy + 3, 6) - 3) < half) | (np.abs(np.mod(xx + yy + 3, 6) - 3) < half))
    strings = diag * inside
    strings = np.maximum(strings, layer(lambda d: d.line(trapezoid + trapezoid[:1], fill=255,
                                                         width=max(1, int(round(1.2 * f))))))
    white = mix((255, 255, 255), (176, 180, 192), np.clip((xx - 8) / 22, 0, 1))
    over(white, strings)
    # the front of the rim over the net, with a glint
    over((228, 36, 24), layer(lambda d: d.arc(rim, 0, 180, fill=255, width=width)))
    over((255, 220, 60), layer(lambda d: d.arc(rim, 105, 145, fill=255, width=max(1, width // 2))))
    a = downsample(alpha, k)
    c = downsample(rgb * alpha[..., None], k) / np.maximum(a, 1e-9)[..., None]
    return np.dstack([clamp8(c), clamp8(a * 255)])
