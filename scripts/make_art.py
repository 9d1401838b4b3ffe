#!/usr/bin/env python3
"""Draws the program's own pictures: the splash bitmap (580 x 370, 256 colours) and the
program icon (16 x 16 and 32 x 32). Usage: make_art.py OUTPUT_FOLDER"""

import math
import os
import struct
import sys

FONT = {  # 5 x 7 glyphs, one string per row
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    " ": ["00000"] * 7,
}

WIDTH, HEIGHT = 580, 370
BAND_TOP = 310  # a flat band at the bottom holds the version label
BAND_COLOUR = (16, 20, 48)  # must match the splash window's label background


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def splash_palette():
    palette = []
    palette += [lerp((6, 8, 28), (58, 36, 110), i / 127) for i in range(128)]  # sky 0-127
    palette += [lerp((255, 236, 150), (214, 70, 40), i / 63) for i in range(64)]  # sun 128-191
    palette += [lerp((255, 255, 255), (170, 176, 230), i / 31) for i in range(32)]  # text 192-223
    palette += [BAND_COLOUR]  # 224
    palette += [lerp((120, 230, 220), (20, 90, 120), i / 30) for i in range(31)]  # quill 225-255
    return palette


def draw_text(pixels, text, left, top, scale, colour_of_row):
    x = left
    for ch in text:
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit != "1":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        px, py = x + gx * scale + dx, top + gy * scale + dy
                        if 0 <= px < WIDTH and 0 <= py < HEIGHT:
                            pixels[py][px] = colour_of_row(gy * scale + dy, 7 * scale)
        x += 6 * scale


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_splash():
    pixels = [[0] * WIDTH for _ in range(HEIGHT)]
    sun_x, sun_y, sun_r = 420, BAND_TOP, 120
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if y >= BAND_TOP:
                pixels[y][x] = 224
                continue
            # Ordered dither between neighbouring sky entries keeps the gradient smooth.
            shade = y / BAND_TOP * 127 + ((x * 7 + y * 13) % 4) / 4 - 0.5
            pixels[y][x] = max(0, min(127, int(round(shade))))
            d = math.hypot(x - sun_x, (y - sun_y) * 1.1)
            if d < sun_r:
                pixels[y][x] = 128 + min(63, int(d / sun_r * 63))
            elif d < sun_r + 3 and (x + y) % 2 == 0:
                pixels[y][x] = 191
    # A quill: a slanted feather from lower left to upper right.
    for t in range(0, 1000):
        u = t / 1000
        cx = 70 + u * 150
        cy = 290 - u * 230
        half = math.sin(u * math.pi) ** 0.7 * 26
        for s in range(-int(half), int(half) + 1):
            px, py = int(cx + s * 0.8), int(cy + s * 0.6)
            if 0 <= px < WIDTH and 0 <= py < BAND_TOP:
                pixels[py][px] = 225 + min(30, int(abs(s) / (half + 1) * 30))
        pixels[int(cy)][int(cx)] = 200
    title = "QUILLANE 2000"
    draw_text(pixels, title, (WIDTH - text_width(title, 6)) // 2 + 24, 110, 6,
              lambda row, rows: 192 + int(row / rows * 31))
    sub = "START-UP AND SHUT-DOWN SCREENS"
    draw_text(pixels, sub, (WIDTH - text_width(sub, 2)) // 2 + 40, 170, 2, lambda r, n: 200)
    return pixels


def write_bmp8(path, pixels, palette):
    height, width = len(pixels), len(pixels[0])
    stride = (width + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        data += bytes(row) + b"\0" * (stride - width)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + table + data)


def icon_pixels(size):
    """A logo screen (a dark panel with a sunrise) with a quill across it, as BGRA rows."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            u, v = (x + 0.5) / size, (y + 0.5) / size
            colour, alpha = (0, 0, 0), 0
            if 0.06 < u < 0.94 and 0.14 < v < 0.86:
                colour, alpha = lerp((20, 24, 70), (70, 40, 120), v), 255
                if math.hypot(u - 0.62, (v - 0.86) * 1.2) < 0.32:
                    colour = (250, 170, 70)
            if 0.03 < u < 0.97 and 0.11 < v < 0.89 and alpha == 0:
                colour, alpha = (200, 204, 216), 255
            # quill: a band along the line from (0.15, 0.95) to (0.85, 0.05)
            dist = abs((u - 0.15) * 0.9 + (v - 0.95) * 0.7) / math.hypot(0.9, 0.7)
            along = (u - 0.15) * 0.7 - (v - 0.95) * 0.9
            if dist < 0.07 * math.sin(max(0.0, min(1.0, along / 1.14)) * math.pi) + 0.015 and along > 0:
                colour, alpha = (120, 230, 220), 255
            row.append(colour + (alpha,))
        rows.append(row)
    return rows


def icon_image(rows):
    """One 32-bit icon image (header, colours, transparency mask) from RGBA rows."""
    size = len(rows)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + bytes(mask)


def write_ico(path, images):
    """An icon file from (size, RGBA rows) pairs."""
    images = [(size, icon_image(rows)) for size, rows in images]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, blob in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset + len(blobs))
        blobs += blob
    with open(path, "wb") as f:
        f.write(header + entries + blobs)


def list_icon(kind, size=16):
    """The six small icons of the main window's image list, as RGBA rows."""
    clear = (0, 0, 0, 0)
    rows = [[clear] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                rows[y][x] = colour + (255,)

    def screen(x0, y0, w, h, sky, sun=True):
        rect(x0, y0, x0 + w, y0 + h, (40, 40, 48))
        rect(x0 + 1, y0 + 1, x0 + w - 1, y0 + h - 1, sky)
        if sun:
            rect(x0 + w // 2, y0 + h - 4, x0 + w - 2, y0 + h - 1, (250, 170, 70))

    folder = (236, 196, 84)
    if kind == "image":
        rect(1, 2, 15, 14, (90, 90, 100))
        rect(2, 3, 14, 13, (150, 200, 250))
        for i in range(6):
            rect(3 + i, 12 - i, 12 - i, 13 - i, (60, 150, 70))
        rect(10, 4, 12, 6, (255, 230, 90))
    elif kind in ("closed", "up"):
        rect(1, 3, 7, 5, folder)
        rect(1, 5, 15, 14, folder)
        rect(1, 13, 15, 14, (170, 130, 40))
        if kind == "up":
            for i in range(4):
                rect(8 - i, 6 + i, 9 + i, 7 + i, (40, 90, 200))
            rect(7, 9, 10, 13, (40, 90, 200))
    elif kind == "singlelogo":
        screen(1, 3, 14, 11, (40, 50, 140))
    elif kind == "multilogo":
        screen(5, 1, 10, 8, (120, 60, 150), False)
        screen(3, 4, 10, 8, (60, 110, 160), False)
        screen(1, 7, 10, 8, (40, 50, 140))
    elif kind == "sys":
        rect(3, 1, 13, 15, (120, 120, 130))
        rect(4, 2, 12, 14, (250, 250, 250))
        for y in (4, 7, 10):
            rect(5, y, 11, y + 1, (40, 50, 140))
    return rows


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    write_bmp8(os.path.join(out, "splash.bmp"), draw_splash(), splash_palette())
    write_ico(os.path.join(out, "quillane.ico"), [(size, icon_pixels(size)) for size in (16, 32)])
    for kind in ("image", "closed", "up", "singlelogo", "multilogo", "sys"):
        write_ico(os.path.join(out, kind + ".ico"), [(16, list_icon(kind))])


if __name__ == "__main__":
    main()
