#!/usr/bin/env python3
"""Draws the wizard's images: KODRACFG.ico (icon 128: a power plug in front of a
screen, 32x32 and 16x16, 32 bits with alpha) and wizard.bmp (bitmap 129: the
140x280 picture at the left of the wizard, 256 colours)."""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from icofile import icon_image, opaque, write_ico  # noqa: E402


def icon_pixels(size):
    s = size / 32.0
    screen, frame, stand, bolt = (60, 120, 200), (30, 40, 70), (90, 90, 100), (250, 200, 40)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = (x + 0.5) / s, (y + 0.5) / s
            p = None
            if 3 <= px <= 29 and 4 <= py <= 23:
                p = frame if (px < 5 or px > 27 or py < 6 or py > 21) else screen
            elif 13 <= px <= 19 and 23 < py <= 27:
                p = stand
            elif 8 <= px <= 24 and 27 < py <= 29:
                p = stand
            # A lightning bolt across the screen.
            if p == screen:
                t = (py - 6) / 15.0
                cx = 19 - 6 * t if t < 0.55 else 19 - 6 * 0.55 + 5 * (t - 0.55) - 2
                if abs(px - cx) < 1.6:
                    p = bolt
            row.append(p)
        rows.append(row)
    return rows


def write_icon(path):
    write_ico(path, [(size, icon_image(opaque(icon_pixels(size)))) for size in (32, 16)])


def palette():
    # Entries 0..191: a blue gradient for the sky; 192..255: greys and accents.
    colours = []
    for i in range(192):
        t = i / 191.0
        colours.append((int(20 + 60 * t), int(40 + 110 * t), int(90 + 150 * t)))
    for i in range(48):
        g = int(40 + 200 * i / 47.0)
        colours.append((g, g, g))
    accents = [(250, 200, 40), (255, 235, 120), (40, 160, 70), (200, 60, 50)]
    colours += accents * 4
    return colours[:256]


def bitmap_index(x, y, width, height):
    # Sky gradient, a stylised UPS tower and a lightning bolt above it.
    index = int(191 * (1 - y / float(height - 1)))
    if 35 <= x <= 105 and 150 <= y <= 260:
        index = 192 + 10
        if 40 <= x <= 100 and 160 <= y <= 175:
            index = 192 + 20
        if 60 <= x <= 80 and 230 <= y <= 245:
            index = 240 + 2
        if (y - 190) % 12 < 2 and 45 <= x <= 95 and 185 <= y <= 222:
            index = 192 + 30
    cx = 70 + 18 * math.sin((y - 20) / 40.0 * math.pi) if 20 <= y <= 140 else None
    if cx is not None and abs(x - cx) < 5:
        index = 240 if abs(x - cx) > 2 else 241
    if y >= 262:
        index = 192 + 4
    return index


def write_bitmap(path, width=140, height=280):
    stride = (width + 3) & ~3
    colours = palette()
    header_size = 14 + 40 + 4 * 256
    data_size = stride * height
    out = bytearray(b'BM')
    out += struct.pack('<IHHI', header_size + data_size, 0, 0, header_size)
    out += struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, data_size, 2835, 2835, 256, 0)
    for r, g, b in colours:
        out += bytes((b, g, r, 0))
    for y in reversed(range(height)):
        row = bytearray(bitmap_index(x, y, width, height) for x in range(width))
        out += row + bytes(stride - width)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    folder = sys.argv[1] if len(sys.argv) > 1 else '.'
    write_icon(folder + '/KODRACFG.ico')
    write_bitmap(folder + '/wizard.bmp')
