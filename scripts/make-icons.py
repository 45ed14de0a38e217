#!/usr/bin/env python3
"""Draws the program's icon: a blue tile with two zig-zag yarns of a tricot chain (two bars lapping
in opposite directions over four courses) and the loops where they meet the needles, the same
picture the About box draws. Writes packaging/icons/scalable/warplon.svg and PNG files of 48, 128
and 256 pixels, encoded by hand with zlib so that nothing beyond python3 is needed.

Usage: scripts/make-icons.py [OUTPUT_DIR]   (default: packaging/icons)
"""
import math
import os
import struct
import sys
import zlib

TILE = (0x1F, 0x4E, 0x8C)
YARNS = [(0x60, 0xB0, 0xF0), (0xF0, 0xD0, 0x60)]
LOOP = (0xFF, 0xFF, 0xFF)
YARN_WIDTH = 3.2
LOOP_RADIUS = 2.6
LOOP_WIDTH = 1.6


def course_y(course):
    return 9 + course * 7.5


def yarn_points(bar):
    return [((12 if (course + bar) % 2 == 0 else 36), course_y(course)) for course in range(5)]


def svg():
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">',
             '  <rect x="1" y="1" width="46" height="46" rx="8" ry="8" fill="#%02x%02x%02x"/>' % TILE]
    for bar in range(2):
        points = " ".join("%g,%g" % p for p in yarn_points(bar))
        lines.append('  <polyline points="%s" fill="none" stroke="#%02x%02x%02x" stroke-width="%g" '
                     'stroke-linecap="round" stroke-linejoin="round"/>'
                     % ((points,) + YARNS[bar] + (YARN_WIDTH,)))
    for course in range(5):
        for x in (12, 36):
            lines.append('  <circle cx="%g" cy="%g" r="%g" fill="none" stroke="#ffffff" '
                         'stroke-width="%g"/>' % (x, course_y(course), LOOP_RADIUS, LOOP_WIDTH))
    lines.append('</svg>')
    return "\n".join(lines) + "\n"


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def inside_tile(x, y):
    # The rounded rectangle (1, 1, 46, 46) with corner radius 8.
    if not (1 <= x <= 47 and 1 <= y <= 47):
        return False
    cx = min(max(x, 9), 39)
    cy = min(max(y, 9), 39)
    return math.hypot(x - cx, y - cy) <= 8


def colour_at(x, y):
    """The colour at a point of the 48-unit drawing, or None outside the tile."""
    colour = TILE if inside_tile(x, y) else None
    for bar in range(2):
        points = yarn_points(bar)
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            if segment_distance(x, y, ax, ay, bx, by) <= YARN_WIDTH / 2:
                colour = YARNS[bar]
                break
    for course in range(5):
        for cx in (12, 36):
            if abs(math.hypot(x - cx, y - course_y(course)) - LOOP_RADIUS) <= LOOP_WIDTH / 2:
                colour = LOOP
    return colour


def render(size, samples=4):
    rows = []
    scale = 48.0 / size
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) * scale,
                                  (py + (sy + 0.5) / samples) * scale)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            n = samples * samples
            if a:
                row += bytes((r // a, g // a, b // a, 255 * a // n))
            else:
                row += bytes((0, 0, 0, 0))
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    raw = b"".join(b"\0" + row for row in rows)  # filter "none" on every row
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "packaging", "icons")
    os.makedirs(os.path.join(out, "scalable"), exist_ok=True)
    with open(os.path.join(out, "scalable", "warplon.svg"), "w") as f:
        f.write(svg())
    for size in (48, 128, 256):
        folder = os.path.join(out, "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "warplon.png"), "wb") as f:
            f.write(png(size, render(size)))


if __name__ == "__main__":
    main()
