#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the icons of the certificate's print-preview window.

Writes assets/icons/nezet_*.svg and nyomtat*.svg, pdf_mentes.svg (24 x 24 view
box) in the style, palette and stroke width of make_icons.py, whose drawing
helpers it uses.

Standard library only:  python3 assets/tools/make_preview_icons.py
"""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
from make_icons import (ASSETS, BLUE, GLYPH, LIGHT, LINE, MID, ORANGE, PAPER, badge, circle,
                        fmt, path, polygon, rect, star_points, svg, write)


def small_page(x, y, w, h, lines=True):
    """A sheet of paper with text lines."""
    out = [rect(x, y, w, h, rx=0.75, fill=PAPER)]
    if lines:
        for i in range(3):
            ly = y + 3 + i * 2.75
            if ly < y + h - 2:
                out.append(path(f"M{fmt(x + 2.25)} {fmt(ly)} H{fmt(x + w - 2.25)}", stroke=LINE))
    return out


def icon_nezet_oldal():
    """The whole page: a page inside four orange corner marks."""
    marks = ("M3 7 V3 H7 M17 3 H21 V7 M21 17 V21 H17 M7 21 H3 V17")
    return small_page(7, 5, 10, 14) + [path(marks, stroke=ORANGE, width=GLYPH)]


def icon_nezet_100():
    """Actual size: 1:1 drawn as strokes."""
    one = "M{x} 7.5 L{t} 5.5 V18.5"
    return [
        path(one.format(x=fmt(3.75), t=fmt(6.25)), width=GLYPH + 0.25),
        path(one.format(x=fmt(15.25), t=fmt(17.75)), width=GLYPH + 0.25),
        circle(12, 9.5, 1.3, fill=ORANGE, stroke="none"),
        circle(12, 15.5, 1.3, fill=ORANGE, stroke="none"),
    ]


def icon_nezet_szelesseg():
    """Page width: a page with an arrow from edge to edge."""
    return small_page(5.5, 3, 13, 18, lines=False) + [
        path("M2.5 12 H21.5", stroke=ORANGE, width=GLYPH),
        path("M5.5 9 L2.5 12 L5.5 15", stroke=ORANGE, width=GLYPH),
        path("M18.5 9 L21.5 12 L18.5 15", stroke=ORANGE, width=GLYPH),
    ]


def triangle(tip_x, base_x):
    return path(polygon([(tip_x, 12), (base_x, 6), (base_x, 18)]), fill=LIGHT)


def icon_elso():
    return [path("M5.5 5.5 V18.5", width=GLYPH + 0.5), triangle(8.5, 18.5)]


def icon_elozo():
    return [triangle(6.5, 17.5)]


def icon_kovetkezo():
    return [triangle(17.5, 6.5)]


def icon_utolso():
    return [path("M18.5 5.5 V18.5", width=GLYPH + 0.5), triangle(15.5, 5.5)]


def printer():
    """A printer with a sheet going in at the top and coming out at the front."""
    return [
        rect(7, 2.75, 10, 6.5, fill=PAPER),
        rect(2.75, 8.5, 18.5, 8.5, rx=1.5, fill=MID),
        circle(17.75, 11.25, 0.9, fill=ORANGE, stroke="none"),
        rect(6.5, 14, 11, 7.25, fill=PAPER),
        path("M8.75 17 H15.25", stroke=LINE),
        path("M8.75 19.25 H13.25", stroke=LINE),
    ]


def icon_nyomtat():
    return printer()


def icon_nyomtato_beallit():
    gear = star_points(17.5, 17.5, 5.25, 3.6, count=8, turn=-90)
    return printer()[:3] + [
        path(polygon(gear), fill=ORANGE, stroke=PAPER, width=1.25),
        circle(17.5, 17.5, 1.6, fill=PAPER, stroke="none"),
    ]


def icon_pdf_mentes():
    """A page with an orange badge holding a downward arrow."""
    return small_page(4.75, 2.75, 12.5, 18.5) + badge([
        path("M17.5 14.5 V20", stroke=PAPER, width=GLYPH),
        path("M15.25 17.75 L17.5 20 L19.75 17.75", stroke=PAPER, width=GLYPH),
    ])


ICONS = {
    "nezet_oldal": icon_nezet_oldal,
    "nezet_100": icon_nezet_100,
    "nezet_szelesseg": icon_nezet_szelesseg,
    "lap_elso": icon_elso,
    "lap_elozo": icon_elozo,
    "lap_kovetkezo": icon_kovetkezo,
    "lap_utolso": icon_utolso,
    "nyomtat": icon_nyomtat,
    "nyomtato_beallit": icon_nyomtato_beallit,
    "pdf_mentes": icon_pdf_mentes,
}


def main():
    for name, make in ICONS.items():
        write(os.path.join(ASSETS, "icons", name + ".svg"), svg(make()))
    print(f"wrote {len(ICONS)} preview icons", file=sys.stderr)


if __name__ == "__main__":
    main()
