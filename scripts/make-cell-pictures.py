#!/usr/bin/env python3
"""Generates the point-paper cells of the design chart in resources/.

  cell.bmp   black paper
  cellg.bmp  gray paper
  cellw.bmp  white paper

Each picture is one chart cell (one needle in one course) of 20 x 20 pixels, 24 bits: the paper
colour, a one-pixel gap line on the right column and a one-pixel course line on the bottom row
(the chart lays its cells out from the lower right corner, and the chain notation draws the gap
line of a needle on its cell's right column), and a 3 x 3 needle point in the centre. The chart
scales the cell to 5, 10 or 20 pixels keeping its outer rows and columns, so the lines stay one
pixel wide. core/knit/lappingview.cpp draws the same cell when a file is missing; keep the two in
step.

The output is the same byte for byte on every run. Standard library only.
"""

import argparse
import os
import struct

SIZE = 20
POINT = range(8, 11)

# paper, line, point (red, green, blue)
PAPERS = {
    "cell.bmp": ((0, 0, 0), (60, 60, 60), (110, 110, 110)),
    "cellg.bmp": ((192, 192, 192), (150, 150, 150), (96, 96, 96)),
    "cellw.bmp": ((255, 255, 255), (205, 205, 205), (150, 150, 150)),
}


def cell_pixels(paper, line, point):
    """Rows top-down of (red, green, blue)."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            if x == SIZE - 1 or y == SIZE - 1:
                row.append(line)
            elif x in POINT and y in POINT:
                row.append(point)
            else:
                row.append(paper)
        rows.append(row)
    return rows


def bmp24(rows):
    """A bottom-up 24-bit BMP: file header, BITMAPINFOHEADER, rows of blue, green, red padded to 4
    bytes."""
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for red, green, blue in row:
            line += bytes((blue, green, red))
        line += bytes(stride - len(line))
        pixels += line
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    # size, width, height, planes, bits, compression, image size, 2835 pixels per metre (72 dpi)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(root, "resources"),
                        help="folder to write the pictures to (default: resources/)")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name, colours in PAPERS.items():
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(bmp24(cell_pixels(*colours)))


if __name__ == "__main__":
    main()
