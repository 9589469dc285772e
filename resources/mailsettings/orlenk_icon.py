#!/usr/bin/env python3
"""Draws the mail settings program's icon (an envelope) as Orlenk.ico: 32x32 and
16x16 images, 32 bits with alpha, plus the AND mask that older readers use."""
import struct
import sys


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


def image(size):
    pixels = envelope(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for p in row:
            xor += bytes((p[2], p[1], p[0], 255)) if p else bytes(4)
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def main(path):
    images = [image(32), image(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'Orlenk.ico')
