"""Icon files for the programs' drawing scripts: 32-bit images with alpha, plus
the AND mask that older readers use."""
import struct


def icon_image(rows):
    """One image from rows, top to bottom, of (r, g, b, a) pixels."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def opaque(rows):
    """Rows of (r, g, b) or None (transparent) as (r, g, b, a) rows."""
    return [[p + (255,) if p else (0, 0, 0, 0) for p in row] for row in rows]


def write_ico(path, images):
    """images: (size, image) pairs."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, blob in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))
