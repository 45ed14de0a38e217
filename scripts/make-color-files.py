#!/usr/bin/env python3
"""Generates Warplon's own colour files in resources/color/.

  Standard.kvc  the "Kv Standard" catalogue: 12 hue pages of 36 colours and a page of 24 greys
  Textile.kvc   the "Kv Textile" catalogue: 32 hue pages of 40 colours and a page of 42 neutrals
  Textile.fcr   the default palette: black, white background, 14 greys, then a 16 x 15 chart of
                textile colours (16 hues across; down: strong, then softer tones, each from dark
                to light)

The colours are laid out in OKLCh (lightness, chroma, hue of the OKLab space), which spaces hues
and lightness steps about evenly for the eye. Every hue page walks lightness from dark to light
and chroma from greyed to the strongest the sRGB screen can show at that lightness and hue, so
no page repeats a colour and no colour is clipped.

Numbering is our own:
  standard code  page * 100 + number, shown with four digits ("0305": page 3, colour 5);
                 pages 1-12 are hue families 30 degrees apart starting at red, page 13 the greys
  textile code   "HH-LLCC": HH the page, 10-41 for the 32 hue families (11.25 degrees apart,
                 starting at red) and 50 for the neutrals, so it always has two digits; LL the
                 lightness step 01-08 (01-14 for neutrals); CC the chroma step 01-05 (for
                 neutrals the tone: 01 grey, 02 warm, 03 cool)

The output is the same byte for byte on every run. Standard library only.
"""

import argparse
import math
import os
import struct

# ---------------------------------------------------------------------------------------------
# Colour science: OKLab <-> linear sRGB <-> 8-bit sRGB.


def oklab_to_linear_srgb(l, a, b):
    l_ = l + 0.3963377774 * a + 0.2158037573 * b
    m_ = l - 0.1055613458 * a - 0.0638541728 * b
    s_ = l - 0.0894841775 * a - 1.2914855480 * b
    l3, m3, s3 = l_ ** 3, m_ ** 3, s_ ** 3
    return (
        4.0767416621 * l3 - 3.3077115913 * m3 + 0.2309699292 * s3,
        -1.2684380046 * l3 + 2.6097574011 * m3 - 0.3413193965 * s3,
        -0.0041960863 * l3 - 0.7034186147 * m3 + 1.7076147010 * s3,
    )


def encode_srgb(v):
    v = min(max(v, 0.0), 1.0)
    if v <= 0.0031308:
        e = 12.92 * v
    else:
        e = 1.055 * v ** (1.0 / 2.4) - 0.055
    return int(e * 255.0 + 0.5)


def oklch_linear(lightness, chroma, hue_degrees):
    h = math.radians(hue_degrees)
    return oklab_to_linear_srgb(lightness, chroma * math.cos(h), chroma * math.sin(h))


def in_gamut(rgb):
    return all(-1e-7 <= c <= 1.0 + 1e-7 for c in rgb)


def max_chroma(lightness, hue_degrees):
    """The strongest chroma sRGB can show at this lightness and hue (bisection)."""
    low, high = 0.0, 0.5
    for _ in range(60):
        mid = (low + high) / 2.0
        if in_gamut(oklch_linear(lightness, mid, hue_degrees)):
            low = mid
        else:
            high = mid
    return low


def oklch_rgb(lightness, chroma, hue_degrees):
    return tuple(encode_srgb(c) for c in oklch_linear(lightness, chroma, hue_degrees))


def tone(lightness, fraction, hue_degrees):
    """A colour at `fraction` of the strongest chroma available at this lightness and hue."""
    return oklch_rgb(lightness, fraction * max_chroma(lightness, hue_degrees), hue_degrees)


def steps(first, last, count):
    return [first + (last - first) * i / (count - 1) for i in range(count)]


# OKLab hue of the sRGB red primary; hue families start there and go round through orange,
# yellow, green, cyan, blue, violet and magenta.
RED_HUE = 29.0

# ---------------------------------------------------------------------------------------------
# The two catalogues. A page is (page number, [entries]); an entry is a dict with the number in
# the page, the code fields and the colour.

STANDARD_HUES = 12
STANDARD_LIGHTNESS = steps(0.36, 0.91, 6)
STANDARD_CHROMA = [i / 6 for i in range(1, 7)]
STANDARD_GREYS = 24

TEXTILE_HUES = 32
FIRST_TEXTILE_PAGE = 10
TEXTILE_LIGHTNESS = steps(0.30, 0.93, 8)
TEXTILE_CHROMA = [0.2, 0.4, 0.6, 0.8, 1.0]
NEUTRAL_PAGE = 50
NEUTRAL_LIGHTNESS = steps(0.22, 0.97, 14)
# Neutral tones: grey, warm (towards orange-yellow) and cool (towards blue).
NEUTRAL_TONES = [(0.0, 0.0), (0.018, 75.0), (0.018, 250.0)]


def standard_pages():
    pages = []
    for hue_index in range(STANDARD_HUES):
        page = hue_index + 1
        hue = RED_HUE + 360.0 * hue_index / STANDARD_HUES
        entries = []
        for li, lightness in enumerate(STANDARD_LIGHTNESS):
            for ci, fraction in enumerate(STANDARD_CHROMA):
                number = li * len(STANDARD_CHROMA) + ci + 1
                entries.append({"number": number, "code": page * 100 + number,
                                "rgb": tone(lightness, fraction, hue)})
        pages.append((page, entries))
    grey_page = STANDARD_HUES + 1
    entries = []
    # Even steps of the screen value from black to white (near black, even OKLab steps would
    # round to the same byte).
    for i in range(STANDARD_GREYS):
        number = i + 1
        v = (255 * i + (STANDARD_GREYS - 1) // 2) // (STANDARD_GREYS - 1)
        entries.append({"number": number, "code": grey_page * 100 + number, "rgb": (v, v, v)})
    pages.append((grey_page, entries))
    return pages


def textile_pages():
    pages = []
    for hue_index in range(TEXTILE_HUES):
        page = FIRST_TEXTILE_PAGE + hue_index
        hue = RED_HUE + 360.0 * hue_index / TEXTILE_HUES
        entries = []
        for li, lightness in enumerate(TEXTILE_LIGHTNESS):
            for ci, fraction in enumerate(TEXTILE_CHROMA):
                entries.append({"number": li * len(TEXTILE_CHROMA) + ci + 1, "part1": page,
                                "part2": (li + 1) * 100 + ci + 1,
                                "rgb": tone(lightness, fraction, hue)})
        pages.append((page, entries))
    entries = []
    for li, lightness in enumerate(NEUTRAL_LIGHTNESS):
        for ti, (chroma, hue) in enumerate(NEUTRAL_TONES):
            entries.append({"number": li * len(NEUTRAL_TONES) + ti + 1, "part1": NEUTRAL_PAGE,
                            "part2": (li + 1) * 100 + ti + 1,
                            "rgb": oklch_rgb(lightness, chroma, hue)})
    pages.append((NEUTRAL_PAGE, entries))
    return pages


def check_pages(name, pages):
    seen = set()
    numbers = [p for p, _ in pages]
    assert numbers == sorted(set(numbers)), name + ": pages must rise"
    for page, entries in pages:
        assert 1 <= len(entries) <= 255, name
        page_numbers = [e["number"] for e in entries]
        assert len(set(page_numbers)) == len(page_numbers), name
        for e in entries:
            assert e["rgb"] not in seen, "%s: page %d repeats %s" % (name, page, e["rgb"])
            seen.add(e["rgb"])


def catalogue_bytes(pages, textile):
    out = bytearray(b"CL")
    out += struct.pack("<HH", 100, len(pages))
    for page, entries in pages:
        out += struct.pack("<HH", page, len(entries))
        for e in entries:
            r, g, b = e["rgb"]
            if textile:
                out += struct.pack("<HHHBBBB", e["number"], e["part1"], e["part2"], 0, r, g, b)
            else:
                out += struct.pack("<HHBBBB", e["number"], e["code"], 0, r, g, b)
    return bytes(out)


# ---------------------------------------------------------------------------------------------
# The default palette.

KIND_NORMAL = 0
KIND_KV_TEXTILE = 4


def palette_entries(textile):
    """256 (kind, page, number, rgb): entry 0 black, entry 1 the white background, 2-15 greys
    from dark to light, then 15 rows of 16 whose columns are every other textile hue page (16
    hues round the circle): rows 1-8 the strongest chroma at lightness steps 1-8 (dark to light),
    rows 9-14 the middle chroma at lightness steps 2-7, row 15 greyed mid tones (chroma step 2,
    lightness step 5). The palest and darkest greyed tones are left out: across the hues they
    come too close to each other to tell apart in a swatch."""
    by_page = {page: {e["number"]: e for e in entries} for page, entries in textile}

    def textile_entry(page, number):
        e = by_page[page][number]
        return (KIND_KV_TEXTILE, page, number, e["rgb"])

    palette = [(KIND_NORMAL, 0, 0, (0, 0, 0)), (KIND_NORMAL, 0, 0, (255, 255, 255))]
    for li in range(len(NEUTRAL_LIGHTNESS)):
        palette.append(textile_entry(NEUTRAL_PAGE, li * len(NEUTRAL_TONES) + 1))
    chroma_count = len(TEXTILE_CHROMA)
    rows = ([(li, chroma_count - 1) for li in range(8)] + [(li, 2) for li in range(1, 7)]
            + [(4, 1)])
    for li, ci in rows:
        for column in range(16):
            page = FIRST_TEXTILE_PAGE + 2 * column
            palette.append(textile_entry(page, li * chroma_count + ci + 1))
    assert len(palette) == 256
    return palette


def palette_bytes(entries):
    out = bytearray(b"CP")
    out += struct.pack("<H", 110)
    for kind, page, number, (r, g, b) in entries:
        # Flags, page, number, then blue, green, red, reserved.
        out += struct.pack("<HHBBBBB", kind, page, number, b, g, r, 0)
    return bytes(out)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (path, len(data)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "resources", "color"),
                        help="folder to write into (default: resources/color of the repository)")
    args = parser.parse_args()
    args.out = os.path.normpath(args.out)
    os.makedirs(args.out, exist_ok=True)

    standard = standard_pages()
    textile = textile_pages()
    check_pages("Standard", standard)
    check_pages("Textile", textile)
    write(os.path.join(args.out, "Standard.kvc"), catalogue_bytes(standard, textile=False))
    write(os.path.join(args.out, "Textile.kvc"), catalogue_bytes(textile, textile=True))
    write(os.path.join(args.out, "Textile.fcr"), palette_bytes(palette_entries(textile)))
    print("Standard: %d colours, Textile: %d colours"
          % (sum(len(e) for _, e in standard), sum(len(e) for _, e in textile)))


if __name__ == "__main__":
    main()
