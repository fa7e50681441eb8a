#!/usr/bin/env python3
"""Draws the program's icon (brindlemax.ico) and the link cursor (hand.cur).

Both pictures are our own, drawn here from code, so the binary files can be remade at any time:
    python3 resources/make_art.py resources
"""
import math
import struct
import sys
from pathlib import Path


def bmp_entry(width, height, pixels, bpp, palette=None, transparent=None):
    """One DIB image of an .ico/.cur file: header, palette, XOR bits (bottom-up), AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bpp, 0, 0, 0, 0,
                         len(palette or []), 0)
    body = bytearray()
    for row in reversed(range(height)):
        line = bytearray()
        if bpp == 32:
            for col in range(width):
                r, g, b, a = pixels[row][col]
                line += bytes((b, g, r, a))
        else:  # 4 bits per pixel, two pixels a byte
            for col in range(0, width, 2):
                line.append((pixels[row][col] << 4) | pixels[row][col + 1])
        while len(line) % 4:
            line.append(0)
        body += line
    mask = bytearray()
    for row in reversed(range(height)):
        bits = 0
        line = bytearray()
        for col in range(width):
            if bpp == 32:
                clear = pixels[row][col][3] == 0
            else:
                clear = pixels[row][col] == transparent
            bits = (bits << 1) | (1 if clear else 0)
            if col % 8 == 7:
                line.append(bits)
                bits = 0
        while len(line) % 4:
            line.append(0)
        mask += line
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in (palette or []))
    return header + pal + bytes(body) + bytes(mask)


def container(kind, images):
    """An .ico (kind 1) or .cur (kind 2) file; each image is (w, h, colours, x, y, data)."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for (w, h, colours, x, y, data) in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, x, y, len(data), offset)
        offset += len(data)
    for image in images:
        out += image[5]
    return out


def icon_pixels(size):
    """A rounded dark tile holding four offset copies of a small desktop, wrapped around like the
    drifting plane, with a curving path drawn across them."""
    s = size / 32.0
    px = [[(0, 0, 0, 0) for _ in range(size)] for _ in range(size)]
    radius = 6 * s
    shift_x, shift_y = 11 * s, 8 * s
    for y in range(size):
        for x in range(size):
            cx, cy = x + 0.5, y + 0.5
            # Rounded square outline.
            dx = max(radius - cx, 0, cx - (size - radius))
            dy = max(radius - cy, 0, cy - (size - radius))
            if dx * dx + dy * dy > radius * radius:
                continue
            # The wrapped picture: a teal desktop with a title bar and a window, cut at the
            # offset so that its four pieces change places.
            u = (cx + shift_x) % size
            v = (cy + shift_y) % size
            colour = (24, 110, 140, 255)
            if 4 * s <= u < 22 * s and 6 * s <= v < 20 * s:
                colour = (236, 236, 228, 255)
                if v < 9 * s:
                    colour = (40, 60, 170, 255)
            if 24 * s <= u < 29 * s and 23 * s <= v < 28 * s:
                colour = (250, 196, 60, 255)
            # The seams where the tile wraps.
            if abs(cx - (size - shift_x)) < 0.5 * s + 0.3 or abs(cy - (size - shift_y)) < 0.5 * s + 0.3:
                colour = (12, 40, 60, 255)
            px[y][x] = colour
    # A smooth orange path across the tile.
    steps = size * 8
    for i in range(steps):
        t = i / steps
        x = (3 + 26 * t) * s
        y = (24 - 14 * math.sin(t * math.pi * 1.1)) * s
        for oy in range(-1, 1):
            for ox in range(-1, 1):
                xi, yi = int(x) + ox, int(y) + oy
                if 0 <= xi < size and 0 <= yi < size and px[yi][xi][3]:
                    px[yi][xi] = (255, 128, 32, 255)
    return px


HAND = [
    # 32 columns; '.' clear, 'K' outline, 'W' fill.  The fingertip is at column 13, row 5.
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "............KK..................",
    "...........KWWK.................",
    "...........KWWK.................",
    "...........KWWK.................",
    "...........KWWK.................",
    "...........KWWKKK...............",
    "...........KWWKWWKKK............",
    "...........KWWKWWKWWKK..........",
    "........KK.KWWKWWKWWKWK.........",
    ".......KWWKKWWWWWWWWKWWK........",
    ".......KWWWKWWWWWWWWWWWK........",
    "........KWWWWWWWWWWWWWWK........",
    ".........KWWWWWWWWWWWWWK........",
    ".........KWWWWWWWWWWWWWK........",
    "..........KWWWWWWWWWWWK.........",
    "..........KWWWWWWWWWWWK.........",
    "...........KWWWWWWWWWK..........",
    "...........KWWWWWWWWWK..........",
    "...........KKKKKKKKKKK..........",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]


def cursor_pixels():
    # Palette index 0 black, 15 white; everything clear is black under a set AND bit.
    rows = []
    for line in HAND:
        rows.append([15 if c == "W" else 0 for c in line])
    return rows


def cursor_mask_transparent():
    return [[c == "." for c in line] for line in HAND]


def main(folder):
    folder = Path(folder)
    images = []
    for size in (16, 32, 48):
        data = bmp_entry(size, size, icon_pixels(size), 32)
        images.append((size, size, 0, 1, 32, data))
    (folder / "brindlemax.ico").write_bytes(container(1, images))

    palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    clear = cursor_mask_transparent()
    pixels = cursor_pixels()
    # Mark clear pixels with a palette index used nowhere else so the mask can find them.
    marked = [[16 if clear[y][x] else pixels[y][x] for x in range(32)] for y in range(32)]
    data = bmp_entry(32, 32, [[0 if v == 16 else v for v in row] for row in marked], 4, palette)
    # Rebuild the AND mask from the marked copy.
    header_len = 40 + 16 * 4 + 32 * 16
    mask = bytearray()
    for row in reversed(range(32)):
        bits = 0
        line = bytearray()
        for col in range(32):
            bits = (bits << 1) | (1 if marked[row][col] == 16 else 0)
            if col % 8 == 7:
                line.append(bits)
                bits = 0
        mask += line
    data = data[:header_len] + bytes(mask)
    (folder / "hand.cur").write_bytes(container(2, [(32, 32, 16, 13, 5, data)]))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
