#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the decorative pictures of the evaluation and the player dialogs.

Writes assets/images/ertekel.svg (120 x 140: a trophy with a star on a plinth,
beside the result of an exercise) and assets/images/jatekos.svg (64 x 64: the
bust of a player with an orange key cap, beside the name box).

Same palette, strokes and plain shapes as make_icons.py, whose helpers it uses.

Standard library only:  python3 assets/tools/make_result_pictures.py
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from make_icons import (  # noqa: E402
    ASSETS, BLUE, LIGHT, MID, ORANGE, PAPER, PALE_ORANGE, circle, fmt, path, polygon, rect,
    star_points, svg, write)

TROPHY_DEFS = (
    '<linearGradient id="gold" x1="0" y1="0" x2="1" y2="0">'
    '<stop offset="0" stop-color="#f6b27a"/><stop offset="0.45" stop-color="#e8833a"/>'
    '<stop offset="1" stop-color="#c9621f"/>'
    "</linearGradient>"
    '<linearGradient id="stone" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#dce8f7"/><stop offset="1" stop-color="#9fbbe2"/>'
    "</linearGradient>"
)


def picture_ertekel():
    """A trophy cup with handles and a white star, on a two-step plinth."""
    cx = 60
    body = [
        f'<ellipse cx="{cx}" cy="133" rx="44" ry="4" fill="{BLUE}" fill-opacity="0.14"/>',
        # handles behind the cup
        path("M30 26 H15 V35 C15 50 24 59 37 61", width=5),
        path("M90 26 H105 V35 C105 50 96 59 83 61", width=5),
        path("M30 26 H15 V35 C15 50 24 59 37 61", stroke=PALE_ORANGE, width=2),
        path("M90 26 H105 V35 C105 50 96 59 83 61", stroke=PALE_ORANGE, width=2),
        # stem and knot
        path("M54 78 H66 L64 92 H56 Z", fill="url(#gold)"),
        rect(49, 90, 22, 7, rx=3, fill="url(#gold)"),
        # cup
        path("M26 14 H94 V28 C94 56 80 76 60 79 C40 76 26 56 26 28 Z", fill="url(#gold)",
             width=2),
        f'<ellipse cx="{cx}" cy="14" rx="34" ry="5" fill="{PALE_ORANGE}" stroke="{BLUE}" '
        f'stroke-width="2"/>',
        path("M36 28 C36 46 42 60 52 68", stroke=PAPER, width=3, stroke_opacity="0.55"),
        path(polygon(star_points(cx, 41, 15, 6.3)), fill=PAPER, stroke=BLUE, width=1.2),
        # plinth
        rect(38, 97, 44, 14, rx=2, fill="url(#stone)", width=1.5),
        rect(26, 111, 68, 19, rx=3, fill="url(#stone)", width=1.5),
        rect(44, 116, 32, 9, rx=1.5, fill=PAPER, width=1),
        path("M49 120.5 H71", stroke=ORANGE, width=2),
    ]
    return svg(body, width=120, height=140, defs=TROPHY_DEFS)


PLAYER_DEFS = (
    '<linearGradient id="coat" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#b3cbeb"/><stop offset="1" stop-color="#7f9fcc"/>'
    "</linearGradient>"
)


def picture_jatekos():
    """The bust of a player, with a small orange key cap at the lower right."""
    body = [
        path("M7 60 C7 45 17 37 29 37 C41 37 51 45 51 60 Z", fill="url(#coat)", width=2),
        path("M22 38 L29 47 L36 38", fill=PAPER, width=1.5),
        circle(29, 22, 12, fill=LIGHT, width=2),
        path("M17.5 19 C20 11 38 11 40.5 19 C36 16 24 16 17.5 19 Z", fill=MID, width=1.5),
        rect(40, 40, 21, 21, rx=4, fill=ORANGE, stroke=BLUE, width=1.5),
        rect(43.5, 42, 14, 13, rx=2.5, fill=PAPER, stroke=BLUE, width=1),
        path(f"M{fmt(47.5)} 52.5 V44.5 H50.8 C52.6 44.5 53.7 45.6 53.7 47.1 "
             f"C53.7 48.6 52.6 49.7 50.8 49.7 H47.5", width=1.6),
    ]
    return svg(body, width=64, height=64, defs=PLAYER_DEFS)


def main():
    write(os.path.join(ASSETS, "images", "ertekel.svg"), picture_ertekel())
    write(os.path.join(ASSETS, "images", "jatekos.svg"), picture_jatekos())
    print("wrote images/ertekel.svg and images/jatekos.svg", file=sys.stderr)


if __name__ == "__main__":
    main()
