#!/usr/bin/env python3
"""Draws the program's icon (a small radio set) as PNG files of the given sizes.

The same shapes are in resources/app/orvel-radio.svg; this script exists because the build
machine has no SVG renderer. Usage: make-app-icon.py OUT_DIR SIZE...
"""
import math
import struct
import sys
import zlib

# Shapes on a 64 x 64 canvas, painted in order: (kind, colour, parameters).
SHAPES = [
    ("line", (0x33, 0x33, 0x33), (18, 18, 8, 4, 2.5)),          # antenna
    ("rrect", (0x1f, 0x6f, 0x8b), (4, 18, 60, 58, 8)),          # body
    ("circle", (0xe8, 0xf1, 0xf5), (21, 38, 12)),               # speaker
    ("circle", (0x1f, 0x6f, 0x8b), (21, 38, 7)),
    ("circle", (0xe8, 0xf1, 0xf5), (21, 38, 3)),
    ("rrect", (0xff, 0xb3, 0x3b), (38, 26, 56, 38, 2)),         # dial
    ("rrect", (0x33, 0x33, 0x33), (45, 27, 47, 37, 0.5)),       # dial needle
    ("circle", (0xe8, 0xf1, 0xf5), (42, 48, 3.5)),              # knobs
    ("circle", (0xe8, 0xf1, 0xf5), (52, 48, 3.5)),
]


def inside(kind, p, x, y):
    if kind == "circle":
        cx, cy, r = p
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    if kind == "rrect":
        x0, y0, x1, y1, r = p
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        nx = min(max(x, x0 + r), x1 - r)
        ny = min(max(y, y0 + r), y1 - r)
        return (x - nx) ** 2 + (y - ny) ** 2 <= r * r
    x0, y0, x1, y1, w = p  # a thick line
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2


def render(size, samples=4):
    rows = []
    scale = 64.0 / size
    for py in range(size):
        row = bytearray([0])  # filter type of the PNG row
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    colour = None
                    for kind, rgb, p in SHAPES:
                        if inside(kind, p, x, y):
                            colour = rgb
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = acc[3]
            if n:
                row += bytes([acc[0] // n, acc[1] // n, acc[2] // n,
                              255 * n // (samples * samples)])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data +
                struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main():
    out = sys.argv[1]
    for size in map(int, sys.argv[2:]):
        with open(f"{out}/orvel-radio-{size}.png", "wb") as f:
            f.write(png(size, render(size)))


if __name__ == "__main__":
    main()
