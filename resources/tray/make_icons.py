#!/usr/bin/env python3
"""Draws the tray's icons at 16 and 32 pixels and writes them as .ico files.

Each picture is a few plain shapes, rendered with 4x4 supersampling into
32-bit pixels with alpha. Run it from anywhere; it writes beside itself.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from icofile import icon_image, write_ico  # noqa: E402

SAMPLES = 4

GREEN = (46, 158, 62)
RED = (204, 40, 40)
AMBER = (240, 176, 16)
GREY = (128, 128, 128)
BLUE = (32, 96, 192)
WHITE = (255, 255, 255)
BLACK = (24, 24, 24)
OUTLINE = (40, 40, 40)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                if x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                    hit = not hit
        return hit
    return inside


def stroke(x1, y1, x2, y2, width):
    def inside(x, y):
        dx, dy = x2 - x1, y2 - y1
        t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - (x1 + t * dx), y - (y1 + t * dy)) <= width / 2
    return inside


def rect(x1, y1, x2, y2):
    return lambda x, y: x1 <= x <= x2 and y1 <= y <= y2


def rounded_rect(x1, y1, x2, y2, r):
    def inside(x, y):
        cx = min(max(x, x1 + r), x2 - r)
        cy = min(max(y, y1 + r), y2 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= width / 2


BOLT = [(0.56, 0.14), (0.30, 0.54), (0.47, 0.54), (0.40, 0.86), (0.70, 0.42), (0.53, 0.42), (0.62, 0.14)]


def disc_with(colour, symbol):
    """A coloured disc with a dark rim and a symbol drawn on top."""
    return [(circle(0.5, 0.5, 0.47), OUTLINE), (circle(0.5, 0.5, 0.42), colour)] + symbol


def exclamation(colour):
    return [(stroke(0.5, 0.24, 0.5, 0.58, 0.15), colour), (circle(0.5, 0.76, 0.085), colour)]


ICONS = {
    # Output active: power is on.
    "status_ok.ico": disc_with(GREEN, [(polygon(BOLT), WHITE)]),
    # Something the UPS reports needs attention.
    "status_warning.ico": [
        (polygon([(0.5, 0.03), (0.98, 0.92), (0.02, 0.92)]), OUTLINE),
        (polygon([(0.5, 0.13), (0.89, 0.86), (0.11, 0.86)]), AMBER),
        (stroke(0.5, 0.36, 0.5, 0.62, 0.13), BLACK),
        (circle(0.5, 0.76, 0.075), BLACK),
    ],
    # Output off, on battery, battery low or a fault.
    "status_alarm.ico": disc_with(RED, exclamation(WHITE)),
    # Service stopped or communication lost.
    "stopped.ico": disc_with(GREY, [
        (stroke(0.31, 0.31, 0.69, 0.69, 0.15), WHITE),
        (stroke(0.69, 0.31, 0.31, 0.69, 0.15), WHITE),
    ]),
    # Service running.
    "running.ico": disc_with(GREEN, [
        (stroke(0.26, 0.52, 0.43, 0.70, 0.15), WHITE),
        (stroke(0.43, 0.70, 0.75, 0.32, 0.15), WHITE),
    ]),
    # The program's own picture in the About box.
    "about.ico": [
        (rounded_rect(0.04, 0.04, 0.96, 0.96, 0.18), OUTLINE),
        (rounded_rect(0.09, 0.09, 0.91, 0.91, 0.14), BLUE),
        (polygon(BOLT), WHITE),
    ],
}


def render(shapes, size):
    """Rows top to bottom of (r, g, b, a) pixels."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for test, c in shapes:
                        if test(x, y):
                            colour = c
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if covered:
                row.append(tuple(round(v / covered) for v in acc) + (round(255 * covered / SAMPLES ** 2),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, shapes in ICONS.items():
        write_ico(os.path.join(here, name), [(s, icon_image(render(shapes, s))) for s in (16, 32)])


if __name__ == "__main__":
    main()
