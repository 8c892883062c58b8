#!/usr/bin/env python3
"""Draws Dorrik's icon (a disc over an eject arrow) and writes app/dorrik.ico.

Five images: 256, 128, 48 and 32 px at 32 bits per pixel, and 24 px at 8 bits per pixel.
The 256 px image is stored as PNG, the others as bitmaps. Run it again after changing the artwork.
"""
import math
import struct
import sys
import zlib
from pathlib import Path


def pixel(u, v):
    """Colour (r, g, b, a) of the artwork at (u, v) in the unit square."""
    x, y = u - 0.5, v - 0.44
    r = math.hypot(x, y)
    if 0.075 < r < 0.40:
        # The disc: silver with a blue sheen that turns with the angle.
        a = math.atan2(y, x)
        sheen = 0.5 + 0.5 * math.cos(2 * a)
        base = 190 + int(55 * sheen)
        blue = min(255, base + 25)
        if r > 0.385 or r < 0.09:
            return (84, 120, 170, 255)
        return (base - 20, base - 5, blue, 255)
    # The eject arrow and bar below the disc.
    if 0.86 <= v <= 0.94 and 0.22 <= u <= 0.78:
        return (40, 110, 200, 255)
    return (0, 0, 0, 0)


def render(size, samples=4):
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0, 0, 0, 0]
            for sj in range(samples):
                for si in range(samples):
                    c = pixel((i + (si + 0.5) / samples) / size, (j + (sj + 0.5) / samples) / size)
                    alpha = c[3]
                    acc[0] += c[0] * alpha
                    acc[1] += c[1] * alpha
                    acc[2] += c[2] * alpha
                    acc[3] += alpha
            n = samples * samples
            a = acc[3] / n
            if acc[3]:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(a)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def and_mask(rows):
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    out = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for i, px in enumerate(row):
            if px[3] < 128:
                bits[i // 8] |= 0x80 >> (i % 8)
        out += bytes(bits)
    return out


def dib32(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    data = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    return header + data + and_mask(rows)


def dib8(rows):
    size = len(rows)
    palette = []
    index_rows = []
    for row in rows:
        idx = []
        for (r, g, b, a) in row:
            colour = (r // 16 * 17, g // 16 * 17, b // 16 * 17) if a >= 128 else (0, 0, 0)
            if colour not in palette:
                palette.append(colour)
            idx.append(palette.index(colour))
        index_rows.append(idx)
    if len(palette) > 256:
        sys.exit("too many colours for the 8-bit image")
    palette += [(0, 0, 0)] * (256 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    stride = (size + 3) // 4 * 4
    data = b"".join(bytes(idx) + b"\0" * (stride - size) for idx in reversed(index_rows))
    return header + pal + data + and_mask(rows)


def main():
    images = []
    for size, bpp in ((256, 32), (128, 32), (48, 32), (32, 32), (24, 8)):
        rows = render(size, 2 if size > 64 else 4)
        data = png(rows) if size == 256 else (dib32(rows) if bpp == 32 else dib8(rows))
        images.append((size, bpp, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        colours = 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    target = Path(__file__).resolve().parent.parent / "app" / "dorrik.ico"
    target.write_bytes(out)
    print(f"wrote {target} ({len(out)} bytes)")


if __name__ == "__main__":
    main()
