"""Writers of the Windows file formats the resources are made from (BMP, ICO, CUR, WAV)."""
import io
import struct

import numpy as np
from PIL import Image


def quantize(rgb, reserved=((0, 0, 0),), colors=256):
    """Palette image of an RGB array. The reserved colours come first and keep exact entries
    of their own: their pixels use them, no other pixel does (pure black stays the only
    black). A picture of few colours keeps them exactly; a richer one shares the remaining
    entries as libimagequant chooses them, with its light dithering."""
    h, w, _ = rgb.shape
    flat = rgb.reshape(-1, 3).astype(np.int32)
    key = (flat[:, 0] << 16) | (flat[:, 1] << 8) | flat[:, 2]
    reserved = [tuple(c) for c in reserved]
    reserved_keys = [(r << 16) | (g << 8) | b for r, g, b in reserved]
    is_reserved = np.isin(key, reserved_keys)
    free = colors - len(reserved)
    uniq, inverse = np.unique(key[~is_reserved], return_inverse=True)
    index = np.zeros(len(flat), dtype=np.int32)
    if len(uniq) <= free:
        entries = [((k >> 16) & 255, (k >> 8) & 255, k & 255) for k in uniq.tolist()]
        index[~is_reserved] = inverse + len(reserved)
    else:
        img = Image.fromarray(rgb.astype(np.uint8), "RGB")
        q = img.quantize(colors=free, method=Image.Quantize.LIBIMAGEQUANT)
        pal = q.getpalette()[: 3 * free]
        entries = [tuple(pal[i:i + 3]) for i in range(0, len(pal), 3)]
        index = np.asarray(q, dtype=np.int32).reshape(-1) + len(reserved)
    # No quantised colour may read as a reserved one.
    entries = [(c[0] ^ 1, c[1], c[2]) if c in reserved else c for c in entries]
    for k, rk in enumerate(reserved_keys):
        index[key == rk] = k
    palette = reserved + entries
    palette += [(0, 0, 0)] * (colors - len(palette))
    return index.astype(np.uint8).reshape(h, w), palette


def quantize_like(rgb, twin_rgb, twin_index, palette, reserved=((0, 0, 0),)):
    """Palette image of `rgb` in the palette of a twin picture: where the two pictures agree,
    the twin's own indices, so those pixels stay exactly the twin's; elsewhere the nearest
    entry, a reserved colour only for a pixel of exactly that colour."""
    index = twin_index.astype(np.int32)
    differ = np.any(rgb != twin_rgb, axis=2)
    pal = np.array(palette, dtype=np.int64)
    colours = rgb[differ].astype(np.int64)
    dist = ((colours[:, None, :] - pal[None, :, :]) ** 2).sum(axis=2)
    for c in reserved:
        is_c = np.all(pal == np.array(c), axis=1)
        exact = np.all(colours == np.array(c), axis=1)
        dist[:, is_c] = np.where(exact[:, None], 0, np.iinfo(np.int64).max)
    index[differ] = np.argmin(dist, axis=1)
    return index.astype(np.uint8), palette


def bmp_bytes(index, palette):
    """8-bit BI_RGB bottom-up DIB file with a 40-byte header and a 256-entry palette."""
    h, w = index.shape
    stride = (w + 3) & ~3
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, :w] = index
    pixels = rows[::-1].tobytes()
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    assert len(palette) == 256
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(header) + len(pal)
    filehdr = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return filehdr + header + pal + pixels


def bmp32_bytes(rgba):
    """32-bit BI_RGB bottom-up DIB file with a 40-byte header, alpha in each pixel's top byte
    and the colours straight (not multiplied by it)."""
    h, w, _ = rgba.shape
    pixels = rgba[::-1][..., [2, 1, 0, 3]].astype(np.uint8).tobytes()
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    filehdr = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return filehdr + header + pixels


def quantize_rgba(rgba, edge_colours=64):
    """Palette PNG of an RGBA picture with an alpha per entry. Entry 0 is the transparent
    black of every pixel of alpha 0; the partly covered pixels share `edge_colours` entries,
    chosen by libimagequant in colour and alpha (kept between 1 and 254); the opaque pixels
    the rest, chosen in colour alone, no dithering: alpha 0 and 255 stay exact."""
    h, w, _ = rgba.shape
    flat = rgba.reshape(-1, 4)
    alpha = flat[:, 3]
    index = np.zeros(len(flat), dtype=np.int32)
    entries = [(0, 0, 0, 0)]
    for pick, colours, mode in ((alpha == 255, 255 - edge_colours, "RGB"),
                                ((alpha > 0) & (alpha < 255), edge_colours, "RGBA")):
        if not pick.any():
            continue
        part = flat[pick][:, :4 if mode == "RGBA" else 3]
        img = Image.fromarray(np.ascontiguousarray(part.reshape(1, -1, len(mode))), mode)
        q = img.quantize(colors=colours, method=Image.Quantize.LIBIMAGEQUANT,
                         dither=Image.Dither.NONE)
        pal = np.array(q.getpalette(rawmode=mode), dtype=np.int32).reshape(-1, len(mode))
        used = np.asarray(q, dtype=np.int32).reshape(-1)
        if mode == "RGB":
            pal = np.hstack([pal, np.full((len(pal), 1), 255)])
        pal[:, 3] = np.clip(pal[:, 3], 1 if mode == "RGBA" else 255, 254 if mode == "RGBA" else 255)
        index[pick] = used + len(entries)
        entries += [tuple(e) for e in pal[:colours].tolist()]
    assert len(entries) <= 256 and index.max() < len(entries)
    pal = np.array(entries, dtype=np.uint8)
    img = Image.fromarray(index.astype(np.uint8).reshape(h, w), "P")
    img.putpalette(pal[:, :3].reshape(-1).tolist())
    buf = io.BytesIO()
    img.save(buf, format="PNG", optimize=True, transparency=pal[:, 3].tobytes())
    return buf.getvalue()


def _mask_rows(bits, w):
    """1-bit rows, bottom-up, each padded to 32 bits."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for row in bits[::-1]:
        packed = np.packbits(row.astype(np.uint8))
        out += packed.tobytes() + b"\0" * (stride - len(packed))
    return bytes(out)


def icon_image(index4, mask, palette16):
    """DIB of one 4-bit icon image: header with doubled height, palette, XOR, AND."""
    h, w = index4.shape
    stride = ((w * 4 + 31) // 32) * 4
    xor = bytearray()
    for row in index4[::-1]:
        packed = bytes((int(row[i]) << 4) | int(row[i + 1]) for i in range(0, w, 2))
        xor += packed + b"\0" * (stride - len(packed))
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 4, 0, len(xor) + h * ((w + 31) // 32) * 4,
                         0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette16)
    return header + pal + bytes(xor) + _mask_rows(mask, w)


def icon_image_rgba(rgba):
    """DIB of one 32-bit icon image: header with doubled height, BGRA rows, then the AND mask
    (set where fully transparent) for systems that draw without alpha."""
    h, w, _ = rgba.shape
    bgra = rgba[::-1][..., [2, 1, 0, 3]].astype(np.uint8).tobytes()
    mask = _mask_rows(rgba[..., 3] == 0, w)
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(bgra) + len(mask), 0, 0, 0, 0)
    return header + bgra + mask


def icon_png(rgba):
    """One icon image as PNG, as icon files hold their largest image."""
    buf = io.BytesIO()
    Image.fromarray(rgba, "RGBA").save(buf, format="PNG", optimize=True)
    return buf.getvalue()


def ico_bytes(images):
    """.ico file of (width, height, bits per pixel, image) images: 4-bit ones list their 16
    colours; a width or height of 256 is written as 0."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for w, h, bpp, dib in images:
        colours = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, 1, bpp, len(dib),
                           offset + len(body))
        body += dib
    return out + body


def cursor_image(white, mask):
    """DIB of a monochrome cursor image: XOR bits (white) then AND bits (transparent)."""
    h, w = white.shape
    xor = _mask_rows(white, w)
    and_ = _mask_rows(mask, w)
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 1, 0, len(xor) + len(and_), 0, 0, 2, 0)
    pal = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    return header + pal + xor + and_


def cursor_group(images):
    """RT_GROUP_CURSOR data of (width, height, resource size, image number) images; the
    heights count both masks, and each size includes the image's hot spot, as in resources."""
    out = struct.pack("<HHH", 0, 2, len(images))
    for width, height, size, image_id in images:
        out += struct.pack("<HHHHIH", width, 2 * height, 1, 1, size, image_id)
    return out


def cursor_resource(hotspot, dib):
    """RT_CURSOR data: the hot spot, then the image."""
    return struct.pack("<HH", *hotspot) + dib


def pcm_wav(samples, rate=22050):
    """16-bit mono PCM RIFF WAVE."""
    data = np.asarray(samples, dtype="<i2").tobytes()
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE"
            + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data)
