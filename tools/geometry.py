"""The shape tables (read from res/shapes.cpp, their one home) and the polygon fill rule of the
platform's regions: pixel (x, y) belongs to a polygon when the integer point (x, y) lies inside
it, edges counted half-open, so a span from xa to xb covers the pixels xa <= x < xb."""
import re
from pathlib import Path

import numpy as np

ROOT = Path(__file__).resolve().parent.parent


def _tables():
    text = (ROOT / "res" / "shapes.cpp").read_text()
    tables = {}
    for name, body in re.findall(r"const (?:ShapePoint|int) (\w+)\[\w+\] = \{(.*?)\};", text, re.S):
        body = re.sub(r"//[^\n]*", "", body)
        nums = [int(n) for n in re.findall(r"-?\d+", body)]
        if "Counts" in name:
            tables[name] = nums
        else:
            tables[name] = [(nums[i], nums[i + 1]) for i in range(0, len(nums), 2)]
    return tables


TABLES = _tables()


def split(points, counts):
    out, at = [], 0
    for c in counts:
        out.append(points[at:at + c])
        at += c
    return out


def polygon_mask(polygons, width, height, winding=False):
    """Pixels of the region of one or more polygons, filled alternately or by winding."""
    inside = np.zeros((height, width), dtype=bool)
    xs = np.arange(width)
    for y in range(height):
        count = np.zeros(width, dtype=np.int32)
        for poly in polygons:
            n = len(poly)
            for i in range(n):
                (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
                if y0 == y1 or not (min(y0, y1) <= y < max(y0, y1)):
                    continue
                xc = x0 + (y - y0) * (x1 - x0) / (y1 - y0)
                count += np.where(xs >= xc, 1 if y1 > y0 else -1, 0)
        inside[y] = (count != 0) if winding else (count % 2 == 1)
    return inside


def backboard_mask():
    return polygon_mask([TABLES["backboardOutline"]], 187, 134, winding=True)


def scoreboard_mask():
    return polygon_mask([TABLES["scoreboardOutline"]], 187, 42, winding=True)


def net_masks():
    """(rim band, body, holes) of the net window, 83 x 76."""
    band, body = split(TABLES["netOutline"], TABLES["netOutlineCounts"])
    holes = split(TABLES["netHoles"], TABLES["netHoleCounts"])
    return (polygon_mask([band], 83, 76), polygon_mask([body], 83, 76),
            polygon_mask(holes, 83, 76))
