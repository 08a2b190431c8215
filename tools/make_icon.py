#!/usr/bin/env python3
"""Draws Brimvale's icon: a teal disc with a yellow sound wave running into
a white drop, as 32x32 and 16x16 images in the 16 standard Windows colours,
and writes them as one .ico file (default src/platform/win32/brimvale.ico)."""
import math
import struct
import sys

# The 16-colour Windows palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, TEAL, GREY, YELLOW, WHITE, NAVY = 0, 6, 8, 11, 15, 4
TRANSPARENT = None


def draw(size):
    """Returns rows (top first) of palette indices or TRANSPARENT."""
    s = size / 32.0
    c = (size - 1) / 2.0
    px = [[TRANSPARENT] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d <= 15.5 * s:
                px[y][x] = NAVY if d > 14.0 * s else TEAL
    # A sound wave from the left edge to the drop.
    def wave(x):
        t = (x - 3 * s) / (16 * s)
        amp = (1 - t) * 5 * s + 1 * s
        return c + amp * math.sin(t * 2 * 2 * math.pi)

    for x in range(int(3 * s), int(19 * s)):
        # Join each column to the next so the line has no gaps.
        y0, y1 = sorted((int(round(wave(x))), int(round(wave(x + 1)))))
        for yy in range(y0, max(y1, y0 + (2 if size >= 32 else 1))):
            if 0 <= yy < size:
                px[yy][x] = YELLOW
    # The drop: a circle with a point at its top.
    dx, dy_, r = 23 * s, 19 * s, 4 * s
    for y in range(size):
        for x in range(size):
            inside = math.hypot(x - dx, y - dy_) <= r
            if not inside and dy_ - 3 * r <= y < dy_:
                half = r * (y - (dy_ - 3 * r)) / (2 * r)
                inside = abs(x - dx) <= half
            if inside:
                px[y][x] = WHITE
    if size >= 32:
        px[int(dy_)][int(dx) - 2] = GREY
        px[int(dy_) + 1][int(dx) - 2] = GREY
    return px


def image(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = b""
    row_bytes = ((size * 4 + 31) // 32) * 4
    for row in reversed(px):  # bitmaps are stored bottom-up
        data = bytearray(row_bytes)
        for x, v in enumerate(row):
            nib = 0 if v is TRANSPARENT else v
            data[x // 2] |= nib << (4 if x % 2 == 0 else 0)
        xor += bytes(data)
    mask_row = ((size + 31) // 32) * 4
    andm = b""
    for row in reversed(px):
        data = bytearray(mask_row)
        for x, v in enumerate(row):
            if v is TRANSPARENT:
                data[x // 8] |= 0x80 >> (x % 8)
        andm += bytes(data)
    return header + palette + xor + andm


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "src/platform/win32/brimvale.ico"
    images = [image(32), image(16)]
    ico = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        ico += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(out, "wb") as f:
        f.write(ico + b"".join(images))


if __name__ == "__main__":
    main()
