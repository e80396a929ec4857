#!/usr/bin/env python3
"""Draws the fortune-cookie icon and writes drollbox.ico (32x32, 16 colours)
and drollbox-icon.png from the same pixel map.

Usage: make_icon.py [output folder]   (default: the folder of this script)
"""
import os
import struct
import sys
import zlib

SIZE = 32

# Index 0 doubles as the transparent colour: the AND mask hides it.
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 transparent
    (0x4a, 0x2a, 0x08),  # 1 outline
    (0x8a, 0x52, 0x14),  # 2 deep shade
    (0xb8, 0x74, 0x24),  # 3 shade
    (0xd8, 0x98, 0x3c),  # 4 body
    (0xec, 0xb8, 0x5c),  # 5 light
    (0xfa, 0xd8, 0x8c),  # 6 highlight
    (0xff, 0xf4, 0xc8),  # 7 gloss
    (0xff, 0xff, 0xff),  # 8 paper
    (0xc8, 0xc8, 0xc0),  # 9 paper shade
    (0xc0, 0x10, 0x10),  # 10 paper print
    (0x00, 0x00, 0x00),  # 11 unused
    (0x00, 0x00, 0x00),  # 12 unused
    (0x00, 0x00, 0x00),  # 13 unused
    (0x00, 0x00, 0x00),  # 14 unused
    (0x00, 0x00, 0x00),  # 15 unused
]
TRANSPARENT, OUTLINE, DEEP = 0, 1, 2
SHADES = [2, 3, 4, 5, 6, 7]
PAPER, PAPER_SHADE, PRINT = 8, 9, 10

OUTER = (16.0, 21.0, 15.5, 15.0)  # cx, cy, rx, ry
INNER = (16.0, 30.5, 8.5, 9.0)
FOLD = 0.66  # where the front half folds over, as a share of the outer radius
LIGHT = (-0.5, -0.7, 0.5)


def radius(ellipse, x, y):
    cx, cy, rx, ry = ellipse
    return (((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2) ** 0.5


def shade(level):
    return SHADES[max(0, min(len(SHADES) - 1, int(level * len(SHADES))))]


def cookie_pixel(x, y):
    px, py = x + 0.5, y + 0.5
    outer = radius(OUTER, px, py)
    if outer > 1.0 or radius(INNER, px, py) < 1.0 or py > 29:
        return None
    cx, cy, rx, ry = OUTER
    nx, ny = (px - cx) / rx, (py - cy) / ry
    # The front half is a tube bulging towards the viewer; behind the fold
    # the back half shows as a darker band.
    if outer < FOLD - 0.05:
        return DEEP if outer > FOLD - 0.12 else shade(0.25 + 0.2 * -ny)
    across = (outer - FOLD) / (1.0 - FOLD)  # 0 at the fold, 1 at the rim
    bulge = 1.0 - abs(across - 0.45) * 1.8
    lit = 0.35 + 0.45 * bulge + 0.35 * (-nx * 0.3 - ny * 0.7)
    return shade(lit)


def paper_pixel(x, y):
    # A slip of paper leaving the opening towards the lower right.
    u = x - 0.7 * y
    if 16 <= x <= 29 and 19 <= y <= 31 and 1.5 <= u <= 5.5:
        if u >= 4.6:
            return PAPER_SHADE
        if y in (24, 27) and 2.5 <= u <= 4.0:
            return PRINT
        return PAPER
    return None


def draw():
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    shape = [[False] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            colour = cookie_pixel(x, y)
            if colour is not None:
                pixels[y][x] = colour
                shape[y][x] = True
    for y in range(SIZE):
        for x in range(SIZE):
            if not shape[y][x]:
                continue
            edge = any(
                not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE and shape[y + dy][x + dx])
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                pixels[y][x] = OUTLINE
    for y in range(SIZE):
        for x in range(SIZE):
            colour = paper_pixel(x, y)
            if colour is not None:
                pixels[y][x] = colour
    return pixels


def ico_bytes(pixels):
    row_bytes = SIZE // 2
    mask_row_bytes = 4  # 32 bits, already a multiple of four bytes
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up, as bitmaps are stored
        row = pixels[y]
        for x in range(0, SIZE, 2):
            xor.append((row[x] << 4) | row[x + 1])
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] == TRANSPARENT else 0)
        mask += bits.to_bytes(mask_row_bytes, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + xor + mask
    assert len(xor) == SIZE * row_bytes
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def png_bytes(pixels, scale=1):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    size = SIZE * scale
    raw = bytearray()
    for y in range(size):
        raw.append(0)
        for x in range(size):
            index = pixels[y // scale][x // scale]
            r, g, b = PALETTE[index]
            raw += bytes((r, g, b, 0 if index == TRANSPARENT else 255))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    pixels = draw()
    with open(os.path.join(folder, "drollbox.ico"), "wb") as f:
        f.write(ico_bytes(pixels))
    with open(os.path.join(folder, "drollbox-icon.png"), "wb") as f:
        f.write(png_bytes(pixels))
    if os.environ.get("DROLLBOX_ICON_PREVIEW"):
        with open(os.environ["DROLLBOX_ICON_PREVIEW"], "wb") as f:
            f.write(png_bytes(pixels, 8))


if __name__ == "__main__":
    main()
