#!/usr/bin/env python3
"""Draws the control's 16 x 16 icons (check boxes, blank) and its toolbox bitmap."""
import struct
import sys
from pathlib import Path


def ico(pixels):
    """pixels: 16 rows of 16 (r, g, b, a), top row first."""
    rows = b"".join(
        b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in row) for row in reversed(pixels))
    mask = b"\0" * (4 * 16)
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(image), 22) + image


def box(checked):
    white, grey, black = (255, 255, 255, 255), (128, 128, 128, 255), (0, 0, 0, 255)
    clear = (0, 0, 0, 0)
    pixels = [[clear] * 16 for _ in range(16)]
    for y in range(2, 15):
        for x in range(1, 14):
            edge = y in (2, 14) or x in (1, 13)
            pixels[y][x] = grey if edge else white
    if checked:
        for x, y in [(4, 8), (5, 9), (6, 10), (7, 9), (8, 8), (9, 7), (10, 6)]:
            pixels[y][x] = black
            pixels[y - 1][x] = black
    return pixels


def bmp():
    rows = []
    for y in range(16):
        row = b""
        for x in range(16):
            on = 2 <= x <= 13 and 2 <= y <= 13
            line = on and y in (4, 7, 10, 13) and x > 4
            colour = (0, 0, 0) if line else ((255, 255, 255) if on else (192, 192, 192))
            row += bytes(reversed(colour))
        rows.append(row)
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 24, 0, len(data), 0, 0, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(data), 0, 0, 54) + info + data


out = Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)
(out / "unchecked.ico").write_bytes(ico(box(False)))
(out / "checked.ico").write_bytes(ico(box(True)))
(out / "blank.ico").write_bytes(ico([[(0, 0, 0, 0)] * 16 for _ in range(16)]))
(out / "toolbox.bmp").write_bytes(bmp())
