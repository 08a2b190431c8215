#!/usr/bin/env python3
"""Writes the about box's banner: 88 x 31 pixels, 8 bits per pixel with a
palette of 256 entries, uncompressed. The picture is drawn by ImageMagick as a
24-bit BMP and then re-encoded here with a full palette."""
import struct
import subprocess
import sys
import tempfile

out = sys.argv[1] if len(sys.argv) > 1 else "src/about/banner.bmp"
with tempfile.NamedTemporaryFile(suffix=".bmp") as tmp:
    subprocess.run(
        ["convert", "-size", "88x31", "gradient:#1f3b73-#4f86c6",
         "-font", "DejaVu-Sans-Bold", "-pointsize", "13", "-fill", "white",
         "-gravity", "center", "-annotate", "+0-3", "Brimvale",
         "-font", "DejaVu-Sans", "-pointsize", "8", "-fill", "#dde8ff",
         "-gravity", "south", "-annotate", "+0+1", "Ogg Vorbis front end",
         "-colors", "256", "-compress", "None", "-type", "TrueColor", "BMP3:" + tmp.name],
        check=True)
    data = open(tmp.name, "rb").read()

offset, = struct.unpack_from("<I", data, 10)
width, height, _, bpp = struct.unpack_from("<iiHH", data, 18)
assert bpp == 24 and width == 88 and height == 31
row = (width * 3 + 3) & ~3
pixels = []  # bottom-up rows, as stored
for y in range(height):
    base = offset + y * row
    pixels.append([data[base + 3 * x: base + 3 * x + 3] for x in range(width)])
palette = sorted({p for r in pixels for p in r})
assert len(palette) <= 256
index = {p: i for i, p in enumerate(palette)}
palette += [b"\0\0\0"] * (256 - len(palette))

row8 = (width + 3) & ~3
image = b"".join(bytes(index[p] for p in r) + b"\0" * (row8 - width) for r in pixels)
header_size = 14 + 40 + 256 * 4
bmp = b"BM" + struct.pack("<IHHI", header_size + len(image), 0, 0, header_size)
bmp += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(image), 3780, 3780, 256, 0)
bmp += b"".join(p + b"\0" for p in palette)
bmp += image
open(out, "wb").write(bmp)
