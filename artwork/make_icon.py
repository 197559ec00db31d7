#!/usr/bin/env python3
"""Draws the program icon, resources/orbvue.ico: one 32 x 32 image in 16
colours, a glass sphere over a little landscape. Run it again after changing
the drawing; the build uses the committed file.
    artwork/make_icon.py [OUT.ico]"""
import math
import os
import struct
import sys

# The repository root: the parent of this script's folder.
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The 16 colours of the standard Windows palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
DARK_GREEN, NAVY, GREY, DARK_GREY, GREEN, YELLOW, CYAN, WHITE = 2, 4, 7, 8, 10, 11, 14, 15


def landscape(x, y):
    """The picture under the glass: sky, sun, hills, a field of stripes."""
    if (x - 23) ** 2 + (y - 7) ** 2 <= 12:
        return YELLOW
    hill = 18 + 3 * math.sin(x / 4.0)
    if y < hill:
        return WHITE if 4 <= y <= 5 and 3 <= x <= 9 else CYAN
    return GREEN if (x // 3 + y // 2) % 2 == 0 else DARK_GREEN


def pixel(x, y):
    cx, cy, r = 15.5, 15.5, 11.0
    d = math.hypot(x - cx, y - cy)
    if x in (0, 31) or y in (0, 31):
        return DARK_GREY
    if d > r + 0.6:
        return landscape(x, y)
    if d > r - 0.6:
        return NAVY
    # Inside the sphere the landscape is magnified about the centre.
    f = 0.45 + 0.2 * (d / r) ** 2
    sx, sy = cx + (x - cx) * f, cy + (y - cy) * f
    if math.hypot(x - 11.5, y - 10.5) < 2.2:
        return WHITE
    if math.hypot(x - 13.5, y - 9) < 1.2:
        return GREY
    if d > r - 2.2 and (x - cx) + (y - cy) > 6:
        return DARK_GREY
    return landscape(int(sx), int(sy))


def main(out):
    rows = []
    for y in range(31, -1, -1):   # bottom-up
        row = bytearray()
        for x in range(0, 32, 2):
            row.append(pixel(x, y) << 4 | pixel(x + 1, y))
        rows.append(bytes(row))
    xor = b"".join(rows)
    mask = bytes(4 * 32)          # every pixel opaque
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + table + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    with open(out, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "resources", "orbvue.ico"))
