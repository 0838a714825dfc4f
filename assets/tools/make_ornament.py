#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the corner ornament of the certificate.

Writes assets/images/sarokdisz.svg: one picture of 151 x 150 pixels on a white
ground, drawn for the top-left corner of the page (the medallion sits in the
corner, one arm runs along the top edge and one down the left edge). The
certificate turns it for the other three corners.

Only paths, circles and rectangles with solid fills and strokes, and group
transforms (no text, clip paths, gradients or filters), so that Qt's SVG Tiny
renderer and librsvg draw it alike.

Standard library only:  python3 assets/tools/make_ornament.py
"""

import math
import os
import sys

WIDTH, HEIGHT = 151, 150

NAVY = "#1d3a6e"  # the rules and the medallion's ring
GOLD = "#c99a2e"
DEEP_GOLD = "#9a7220"
RED = "#a3202a"
GREEN = "#3f7a3a"
LIGHT_GREEN = "#7fae5b"
PAPER = "#ffffff"

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.dirname(HERE)


def fmt(value):
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def point(x, y):
    return f"{fmt(x)} {fmt(y)}"


def shape(d, fill="none", stroke="none", width=None):
    parts = [f'd="{d}"', f'fill="{fill}"', f'stroke="{stroke}"']
    if stroke != "none":
        parts.append(f'stroke-width="{fmt(width or 1)}"')
    return f"<path {' '.join(parts)}/>"


def circle(cx, cy, r, fill="none", stroke="none", width=None):
    parts = [f'cx="{fmt(cx)}"', f'cy="{fmt(cy)}"', f'r="{fmt(r)}"', f'fill="{fill}"',
             f'stroke="{stroke}"']
    if stroke != "none":
        parts.append(f'stroke-width="{fmt(width or 1)}"')
    return f"<circle {' '.join(parts)}/>"


def leaf(x, y, angle, length, breadth, fill=GREEN, vein=LIGHT_GREEN):
    """A pointed leaf growing from (x, y) in the direction `angle` (degrees)."""
    a = math.radians(angle)
    ux, uy = math.cos(a), math.sin(a)  # along the leaf
    nx, ny = -uy, ux  # across it
    tip = (x + ux * length, y + uy * length)
    side = breadth * 0.75

    def ctrl(sign):
        return (x + ux * length * 0.45 + nx * side * sign, y + uy * length * 0.45 + ny * side * sign)

    c1, c2 = ctrl(1), ctrl(-1)
    outline = (f"M{point(x, y)} Q{point(*c1)} {point(*tip)} Q{point(*c2)} {point(x, y)} Z")
    middle = (x + ux * length * 0.8, y + uy * length * 0.8)
    return [shape(outline, fill=fill, stroke=DEEP_GOLD, width=0.5),
            shape(f"M{point(x, y)} L{point(*middle)}", stroke=vein, width=0.7)]


def spiral(cx, cy, r0, turns, start_angle, clockwise=True, steps=48):
    """An Archimedean spiral winding inwards from radius r0 around (cx, cy)."""
    sign = 1 if clockwise else -1
    pts = []
    for i in range(steps + 1):
        t = i / steps
        ang = math.radians(start_angle + sign * 360 * turns * t)
        r = r0 * (1 - 0.85 * t)
        pts.append((cx + r * math.cos(ang), cy + r * math.sin(ang)))
    return "M" + " L".join(point(*p) for p in pts)


def rosette(cx, cy):
    """The medallion in the corner: a navy ring, a red disc and a gold flower."""
    out = [
        circle(cx, cy, 21, fill=PAPER, stroke=NAVY, width=3),
        circle(cx, cy, 17, fill=RED, stroke=GOLD, width=1.5),
    ]
    for i in range(8):
        ang = i * 45 - 22.5
        a = math.radians(ang)
        tip = (cx + 15 * math.cos(a), cy + 15 * math.sin(a))
        left = (cx + 8 * math.cos(a - 0.45), cy + 8 * math.sin(a - 0.45))
        right = (cx + 8 * math.cos(a + 0.45), cy + 8 * math.sin(a + 0.45))
        petal = (f"M{point(cx, cy)} Q{point(*left)} {point(*tip)} Q{point(*right)} "
                 f"{point(cx, cy)} Z")
        out.append(shape(petal, fill=GOLD, stroke=DEEP_GOLD, width=0.5))
    out.append(circle(cx, cy, 4.5, fill=PAPER, stroke=DEEP_GOLD, width=1))
    out.append(circle(cx, cy, 2, fill=RED))
    # four small gold beads on the ring, on the diagonals outside the arms
    for ang in (135, 45, 225):
        a = math.radians(ang)
        out.append(circle(cx + 21 * math.cos(a), cy + 21 * math.sin(a), 2.2, fill=GOLD,
                          stroke=DEEP_GOLD, width=0.5))
    return out


def arm():
    """The arm along the top edge; the left arm is its mirror image in the diagonal."""
    out = []
    # two rules: a broad navy one and a thin gold one under it, ending in a lozenge
    out.append(shape("M49 6 H134", stroke=NAVY, width=3))
    out.append(shape("M49 11.5 H124", stroke=GOLD, width=1.5))
    out.append(shape(f"M134 6 L{point(139, 2)} L{point(144, 6)} L{point(139, 10)} Z", fill=GOLD,
                     stroke=NAVY, width=1))
    # the vine: a gentle wave under the rules that curls up at its end
    vine = "M44 27 C62 34 76 18 94 22 S118 30 121 23"
    out.append(shape(vine, stroke=DEEP_GOLD, width=2))
    out.append(shape(spiral(116.5, 22.5, 5, 1.15, 0, clockwise=False), stroke=DEEP_GOLD,
                     width=1.6))
    # leaves along the vine, alternately above and below it
    for x, y, angle, length in ((56, 30, 55, 13), (66, 26, -70, 12), (78, 22, 60, 12),
                                (88, 21, -60, 11), (100, 24, 70, 10), (108, 27, -55, 8)):
        out.extend(leaf(x, y, angle, length, 5.5))
    # berries
    for x, y in ((61, 22), (83, 31), (104, 18)):
        out.append(circle(x, y, 2.3, fill=RED, stroke=DEEP_GOLD, width=0.5))
    return out


def spray(cx, cy):
    """A three-leaf spray growing from the medallion into the page along the diagonal."""
    out = [shape(f"M{point(cx + 14, cy + 14)} Q{point(cx + 30, cy + 26)} {point(cx + 40, cy + 40)}",
                 stroke=DEEP_GOLD, width=1.8)]
    out.extend(leaf(cx + 38, cy + 38, 45, 16, 7, fill=GOLD, vein=PAPER))
    out.extend(leaf(cx + 30, cy + 28, 80, 13, 6))
    out.extend(leaf(cx + 28, cy + 30, 10, 13, 6))
    out.append(circle(cx + 24, cy + 24, 2.4, fill=RED, stroke=DEEP_GOLD, width=0.5))
    return out


def picture():
    cx, cy = 26, 26
    body = [f'<rect x="0" y="0" width="{WIDTH}" height="{HEIGHT}" fill="{PAPER}"/>']
    body += arm()
    body.append('<g transform="matrix(0 1 1 0 0 0)">')
    body += arm()
    body.append("</g>")
    body += spray(cx, cy)
    body += rosette(cx, cy)
    head = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
            f'viewBox="0 0 {WIDTH} {HEIGHT}">\n')
    group = ('<g stroke-linecap="round" stroke-linejoin="round">\n' + "\n".join(body)
             + "\n</g>\n")
    return head + group + "</svg>\n"


def main():
    target = os.path.join(ASSETS, "images", "sarokdisz.svg")
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "w", encoding="ascii", newline="\n") as out:
        out.write(picture())
    print(f"wrote images/sarokdisz.svg ({WIDTH} x {HEIGHT})", file=sys.stderr)


if __name__ == "__main__":
    main()
