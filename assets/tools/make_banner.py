#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the banner of the splash window and the about box.

Writes assets/images/banner.svg (600 x 200: the name "Pekto" in white stroked
letters on a deep blue ground, an orange rule under it and a row of key caps
along the bottom edge) and renders it to assets/images/banner.jpg, the picture
the program shows.

The letters are strokes, not text, so the picture does not depend on the fonts
of the machine that renders it. Rendering needs rsvg-convert (librsvg2-bin)
and ImageMagick (convert-im6.q16 or convert); the SVG alone needs nothing.

    python3 assets/tools/make_banner.py
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from make_icons import ASSETS, BLUE, LIGHT, MID, ORANGE, fmt, path, rect  # noqa: E402

WIDTH, HEIGHT = 600, 200
WHITE = "#ffffff"
LETTER = 13  # stroke width of the name's letters
BASE = 118  # base line of the name
X_HEIGHT = 46
ASCENT = 78
JPEG_QUALITY = "92"

DEFS = (
    '<linearGradient id="ground" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#2a65ad"/><stop offset="1" stop-color="#173d70"/>'
    "</linearGradient>"
)


def stroke(d, colour=WHITE, width=LETTER):
    return path(d, stroke=colour, width=width)


def letter_p(x):
    top, bowl = BASE - ASCENT, BASE - ASCENT + 42
    r = (bowl - top) / 2
    return 44, [stroke(f"M{fmt(x)} {fmt(BASE)} V{fmt(top)} H{fmt(x + 22)} "
                       f"A{fmt(r)} {fmt(r)} 0 0 1 {fmt(x + 22)} {fmt(bowl)} H{fmt(x)}")]


def letter_e(x):
    r = X_HEIGHT / 2
    cx, cy = x + r, BASE - r
    end = (cx + r * 0.72, cy + r * 0.69)
    return 2 * r, [stroke(f"M{fmt(x)} {fmt(cy)} H{fmt(x + 2 * r)} "
                          f"A{fmt(r)} {fmt(r)} 0 1 0 {fmt(end[0])} {fmt(end[1])}")]


def letter_k(x):
    top = BASE - ASCENT
    return 34, [stroke(f"M{fmt(x)} {fmt(top)} V{fmt(BASE)}"),
                stroke(f"M{fmt(x + 32)} {fmt(BASE - X_HEIGHT)} L{fmt(x + 2)} {fmt(BASE - 16)}"),
                stroke(f"M{fmt(x + 13)} {fmt(BASE - 24)} L{fmt(x + 34)} {fmt(BASE)}")]


def letter_t(x):
    top = BASE - ASCENT + 14
    return 30, [stroke(f"M{fmt(x + 8)} {fmt(top)} V{fmt(BASE - 12)} "
                       f"Q{fmt(x + 8)} {fmt(BASE)} {fmt(x + 22)} {fmt(BASE)} H{fmt(x + 28)}"),
                stroke(f"M{fmt(x - 4)} {fmt(BASE - X_HEIGHT)} H{fmt(x + 26)}")]


def letter_o(x):
    r = X_HEIGHT / 2
    return 2 * r, [f'<circle cx="{fmt(x + r)}" cy="{fmt(BASE - r)}" r="{fmt(r)}" fill="none" '
                   f'stroke="{WHITE}" stroke-width="{LETTER}"/>']


def name(letters, gap):
    """The letters side by side, centred on the banner; returns the shapes and the span."""
    widths = [draw(0)[0] for draw in letters]
    total = sum(widths) + gap * (len(letters) - 1)
    x = (WIDTH - total) / 2
    left = x
    shapes = []
    for draw, width in zip(letters, widths):
        shapes += draw(x)[1]
        x += width + gap
    return shapes, left, left + total


def key_row():
    """A row of key caps along the bottom edge, the home keys F and J marked by their bumps."""
    shapes = []
    size, gap, top = 34, 8, 160
    count = 13
    left = (WIDTH - (count * size + (count - 1) * gap)) / 2
    for i in range(count):
        x = left + i * (size + gap)
        shapes.append(rect(x, top, size, size + 10, rx=5, fill=MID, stroke=BLUE, width=2))
        shapes.append(rect(x + 4, top + 3, size - 8, size - 8, rx=3, fill=LIGHT, stroke="none"))
        if i in (4, 8):  # the keys under the index fingers
            shapes.append(path(f"M{fmt(x + 11)} {fmt(top + 22)} H{fmt(x + size - 11)}",
                               stroke=ORANGE, width=3))
    return shapes


def banner_svg():
    letters, left, right = name([letter_p, letter_e, letter_k, letter_t, letter_o], gap=16)
    body = [rect(0, 0, WIDTH, HEIGHT, fill="url(#ground)", stroke="none")]
    body += key_row()
    # A soft shadow under the name, then the name and its orange rule.
    body += [f'<g transform="translate(3 3)" opacity="0.35">'
             + "".join(s.replace(WHITE, "#0b2341") for s in letters) + "</g>"]
    body += letters
    body.append(path(f"M{fmt(left)} {fmt(BASE + 20)} H{fmt(right)}", stroke=ORANGE, width=5))
    head = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
            f'viewBox="0 0 {WIDTH} {HEIGHT}">\n')
    group = ('<g stroke-linecap="round" stroke-linejoin="round">\n' + "\n".join(body)
             + "\n</g>\n")
    return head + f"<defs>{DEFS}</defs>\n" + group + "</svg>\n"


def tool(*names):
    for candidate in names:
        found = shutil.which(candidate)
        if found:
            return found
    sys.exit(f"make_banner.py: none of {', '.join(names)} is installed")


def main():
    images = os.path.join(ASSETS, "images")
    svg_path = os.path.join(images, "banner.svg")
    with open(svg_path, "w", encoding="utf-8", newline="\n") as out:
        out.write(banner_svg())
    rsvg = tool("rsvg-convert")
    magick = tool("convert-im6.q16", "convert")
    with tempfile.TemporaryDirectory() as temp:
        png = os.path.join(temp, "banner.png")
        subprocess.run([rsvg, "-w", str(WIDTH), "-h", str(HEIGHT), "-o", png, svg_path],
                       check=True)
        # Baseline JPEG, 4:4:4, no metadata: plain libjpeg reads it and the bytes stay the same
        # from run to run.
        subprocess.run([magick, png, "-strip", "-interlace", "none", "-sampling-factor",
                        "1x1", "-quality", JPEG_QUALITY, os.path.join(images, "banner.jpg")],
                       check=True)


if __name__ == "__main__":
    main()
