#!/usr/bin/env python3
"""Draws the mail settings program's icon (an envelope) as Orlenk.ico: 32x32 and
16x16 images, 32 bits with alpha, plus the AND mask that older readers use."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from icofile import icon_image, opaque, write_ico  # noqa: E402


def envelope(size):
    s = size / 32.0
    left, right, top, bottom = 2 * s, 29 * s, 7 * s, 25 * s
    cx, cy = (left + right) / 2, (top + bottom) / 2 + 1 * s
    body, edge, flap = (250, 244, 222), (70, 60, 120), (120, 110, 170)
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            inside = left <= px <= right and top <= py <= bottom
            if not inside:
                row.append(None)
                continue
            on_edge = px - left < s or right - px < s or py - top < s or bottom - py < s
            # The flap: two lines from the upper corners down to the middle.
            t = (px - left) / (cx - left) if px <= cx else (right - px) / (right - cx)
            on_flap = py <= cy + s and abs(py - (top + t * (cy - top))) < 0.9 * s + 0.35
            row.append(edge if on_edge else flap if on_flap else body)
        pixels.append(row)
    return pixels


def main(path):
    write_ico(path, [(size, icon_image(opaque(envelope(size)))) for size in (32, 16)])


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'Orlenk.ico')
