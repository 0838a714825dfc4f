#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the pictures of the settings dialog's buttons.

Writes assets/icons/szin_kijeloles.svg, szin_aktivsor.svg, szin_hatter.svg and
mappa.svg (24 x 24 view box) in the style, palette and stroke width of
make_icons.py, whose drawing helpers it uses. The font button shows the
command icon betutipus.svg.

The three colour pictures show a text pane with the part whose colour the
button sets (the selected text, the line of the caret, the whole background)
and an orange badge holding a paint drop.

Standard library only:  python3 assets/tools/make_settings_icons.py
"""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
from make_icons import (ASSETS, BLUE, GLYPH, LIGHT, LINE, MID, ORANGE, PAPER,
                        badge, path, rect, svg, write)

# The pane: a sheet of text with its top-left corner at (2.75, 3.25).
LEFT, TOP, RIGHT, BOTTOM = 2.75, 3.25, 21.25, 20.75


def pane(fill=PAPER):
    return rect(LEFT, TOP, RIGHT - LEFT, BOTTOM - TOP, rx=1, fill=fill)


def text_lines(stroke=LINE):
    """Three lines of text, the last one short enough to leave room for the badge."""
    return [
        path("M5.5 7.5 H18.5", stroke=stroke),
        path("M5.5 11.5 H18.5", stroke=stroke),
        path("M5.5 15.5 H10.5", stroke=stroke),
    ]


def paint_drop():
    """The badge at the lower right with a white drop of paint."""
    drop = ("M17.5 13.75 Q20.25 17 20.25 18.5 Q20.25 21.25 17.5 21.25 "
            "Q14.75 21.25 14.75 18.5 Q14.75 17 17.5 13.75 Z")
    return badge([path(drop, fill=PAPER, stroke="none")])


def icon_szin_kijeloles():
    """Selection colour: part of the middle line stands on the selection's background."""
    return [pane()] + text_lines() + [
        rect(8.25, 9.25, 9, 4.5, fill=BLUE, stroke="none"),
        path("M9.25 11.5 H16.25", stroke=PAPER),
    ] + paint_drop()


def icon_szin_aktivsor():
    """Active-line colour: the caret's whole line on a band, a caret at its end."""
    return [
        pane(),
        path("M5.5 7.5 H18.5", stroke=LINE),
        rect(LEFT + 0.75, 9.25, RIGHT - LEFT - 1.5, 4.5, fill=MID, stroke="none"),
        path("M5.5 11.5 H13", stroke=BLUE),
        rect(13.75, 9.75, 1.5, 3.5, fill=BLUE, stroke="none"),
        path("M5.5 15.5 H10.5", stroke=LINE),
    ] + paint_drop()


def icon_szin_hatter():
    """Background colour: the whole pane filled."""
    return [pane(fill=MID)] + text_lines(stroke=BLUE) + paint_drop()


def icon_mappa():
    """An open folder: the back with its tab, the front face tilted forward."""
    return [
        path("M2.75 19.25 V5.5 Q2.75 4.75 3.5 4.75 H8.5 L10.5 6.75 H18.5 Q19.25 6.75 19.25 7.5 "
             "V10", fill=LIGHT),
        path("M2.75 19.25 L5.25 10.5 H21.75 L19.25 19.25 Z", fill=MID),
        path("M9.5 14.75 H15.5", stroke=ORANGE, width=GLYPH),
    ]


ICONS = {
    "szin_kijeloles": icon_szin_kijeloles,
    "szin_aktivsor": icon_szin_aktivsor,
    "szin_hatter": icon_szin_hatter,
    "mappa": icon_mappa,
}


def main():
    for name, make in ICONS.items():
        write(os.path.join(ASSETS, "icons", name + ".svg"), svg(make()))
    print(f"wrote {len(ICONS)} settings icons", file=sys.stderr)


if __name__ == "__main__":
    main()
