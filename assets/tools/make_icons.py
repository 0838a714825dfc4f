#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws Pekto's command icons and the picture of the counter column.

Writes one SVG per command into assets/icons/ (24 x 24 view box) and the
decorative key-cap picture assets/images/billentyu.svg (78 x 163).

All shapes are plain paths, circles and rectangles with solid fills or simple
linear gradients (no text, no clip paths, no filters), so that every SVG
renderer, Qt's SVG Tiny renderer included, draws them the same way.

Standard library only:  python3 assets/tools/make_icons.py
"""

import math
import os
import sys

# Palette shared by every picture.
BLUE = "#1f4e8c"  # outlines and glyphs
ORANGE = "#e8833a"  # accent
PALE_ORANGE = "#fbdcc2"  # light accent fill
LIGHT = "#dce8f7"  # light fill
MID = "#b3cbeb"  # slightly darker light fill (front faces)
PAPER = "#ffffff"
LINE = "#7f9fcc"  # the text lines on pages
GREEN = "#2f8f46"  # a goal reached

STROKE = 1.5  # the one stroke width of the set
GLYPH = 2.0  # letters and arrows drawn as strokes

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.dirname(HERE)


def fmt(value):
    """Short decimal form of a coordinate."""
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def attrs(**kw):
    parts = []
    for key, value in kw.items():
        if value is None:
            continue
        parts.append(f'{key.rstrip("_").replace("_", "-")}="{value}"')
    return " ".join(parts)


def path(d, fill="none", stroke=BLUE, width=STROKE, **kw):
    sw = fmt(width) if stroke != "none" else None
    return f"<path {attrs(d=d, fill=fill, stroke=stroke, stroke_width=sw, **kw)}/>"


def circle(cx, cy, r, fill="none", stroke=BLUE, width=STROKE):
    sw = fmt(width) if stroke != "none" else None
    return f"<circle {attrs(cx=fmt(cx), cy=fmt(cy), r=fmt(r), fill=fill, stroke=stroke, stroke_width=sw)}/>"


def rect(x, y, w, h, rx=0, fill="none", stroke=BLUE, width=STROKE):
    sw = fmt(width) if stroke != "none" else None
    geometry = attrs(x=fmt(x), y=fmt(y), width=fmt(w), height=fmt(h), rx=fmt(rx) if rx else None)
    return f"<rect {geometry} {attrs(fill=fill, stroke=stroke, stroke_width=sw)}/>"


def polygon(points):
    return "M" + " L".join(f"{fmt(x)} {fmt(y)}" for x, y in points) + " Z"


def svg(body, size=24, width=None, height=None, defs=""):
    width = width or size
    height = height or size
    head = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n')
    group = ('<g stroke-linecap="round" stroke-linejoin="round">\n'
             + "\n".join(body) + "\n</g>\n")
    return head + (f"<defs>{defs}</defs>\n" if defs else "") + group + "</svg>\n"


# ---------------------------------------------------------------- pieces


def page(lines=True, short=False):
    """A sheet of paper with a folded corner, right edge at x 18.25."""
    out = [
        path("M5.75 2.75 H13.25 L18.25 7.75 V21.25 H5.75 Z", fill=PAPER),
        path("M13.25 2.75 V7.75 H18.25", fill=LIGHT),
    ]
    if lines:
        ends = (15, 12, 11.5) if short else (15.5, 15.5, 13)
        for y, end in zip((11, 14, 17), ends):
            out.append(path(f"M8.5 {fmt(y)} H{fmt(end)}", stroke=LINE))
    return out


def badge(glyph):
    """Orange disc at the lower right with a white halo and a white glyph."""
    return [circle(17.5, 17.5, 5.25, fill=ORANGE, stroke=PAPER, width=STROKE)] + glyph


def star_points(cx, cy, outer, inner, count=5, turn=-90):
    points = []
    for i in range(count * 2):
        radius = outer if i % 2 == 0 else inner
        angle = math.radians(turn + i * 180 / count)
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


def globe(cx, cy, r):
    """A globe: disc, equator, two parallels and two meridians."""
    lat = r * 0.5
    half = math.sqrt(r * r - lat * lat)
    return [
        circle(cx, cy, r, fill=LIGHT),
        path(f"M{fmt(cx - r)} {fmt(cy)} H{fmt(cx + r)}"),
        path(f"M{fmt(cx - half)} {fmt(cy - lat)} H{fmt(cx + half)}", stroke=LINE),
        path(f"M{fmt(cx - half)} {fmt(cy + lat)} H{fmt(cx + half)}", stroke=LINE),
        f'<ellipse {attrs(cx=fmt(cx), cy=fmt(cy), rx=fmt(r * 0.45), ry=fmt(r), fill="none", stroke=BLUE, stroke_width=STROKE)}/>',
        circle(cx, cy, r),
    ]


def wave(x0, x1, y, depth):
    """A gentle S-shaped flag edge from x0 to x1 around height y, as y = f(x)."""

    def at(x):
        return y - depth * math.sin(2 * math.pi * (x - x0) / (x1 - x0))

    return at


# ---------------------------------------------------------------- icons


def icon_megnyit():
    return [
        # back of the folder with its tab
        path("M2.75 19.25 V5 Q2.75 4.25 3.5 4.25 H8.5 L10.5 6.25 H18.5 Q19.25 6.25 19.25 7 V10",
             fill=LIGHT),
        # a page standing in the folder
        path("M7.25 12 V3.25 H17.25 V12", fill=PAPER),
        path("M9.75 5.75 H14.75", stroke=ORANGE),
        path("M9.75 8.25 H14.75", stroke=ORANGE),
        # front of the folder, tilted open
        path("M2.75 19.25 L5.25 10.5 H21.75 L19.25 19.25 Z", fill=MID),
    ]


def icon_uj():
    return page(short=True) + badge([
        path("M17.5 15 V20", stroke=PAPER, width=GLYPH),
        path("M15 17.5 H20", stroke=PAPER, width=GLYPH),
    ])


def icon_szerkeszt():
    pencil = [
        path("M0 0 L4 -2.25 V2.25 Z", fill=PALE_ORANGE),
        path("M0 0 L1.6 -0.9 V0.9 Z", fill=BLUE, stroke="none"),
        path("M4 -2.25 H12 V2.25 H4 Z", fill=ORANGE),
        path("M12 -2.25 H14.5 V2.25 H12 Z", fill=LIGHT),
    ]
    halo = path("M0 0 L4 -2.25 H14.5 V2.25 H4 Z", fill=PAPER, stroke=PAPER, width=3)
    return page(short=True) + [
        '<g transform="translate(10.25 21) rotate(-45)">', halo, *pencil, "</g>",
    ]


def icon_befejez():
    x0, x1 = 6.5, 20.75
    top, mid, bottom = wave(x0, x1, 4.25, 1.4), wave(x0, x1, 8.75, 1.4), wave(x0, x1, 13.25, 1.4)
    cols = 3
    step = (x1 - x0) / cols
    out = []
    outline = ([(x0 + i * (x1 - x0) / 24, top(x0 + i * (x1 - x0) / 24)) for i in range(25)]
               + [(x1 - i * (x1 - x0) / 24, bottom(x1 - i * (x1 - x0) / 24)) for i in range(25)])
    out.append(path(polygon(outline), fill=PAPER, stroke="none"))
    for row, (upper, lower) in enumerate(((top, mid), (mid, bottom))):
        for col in range(cols):
            if (row + col) % 2:
                continue
            a, b = x0 + col * step, x0 + (col + 1) * step
            xs = [a + i * (b - a) / 8 for i in range(9)]
            cell = [(x, upper(x)) for x in xs] + [(x, lower(x)) for x in reversed(xs)]
            out.append(path(polygon(cell), fill=BLUE, stroke="none"))
    out.append(path(polygon(outline)))
    out.append(path("M5.5 21.25 V3", width=GLYPH))
    out.append(circle(5.5, 2.75, 1.35, fill=ORANGE, stroke="none"))
    return out


def icon_top10():
    return [
        path("M7.25 5.25 H4.25 V7 C4.25 9.25 5.75 10.75 7.75 11"),
        path("M16.75 5.25 H19.75 V7 C19.75 9.25 18.25 10.75 16.25 11"),
        path("M12 14 V17.5"),
        path("M8 17.5 H16 V20.75 H8 Z", fill=MID),
        path("M7.25 3.25 H16.75 V9 C16.75 11.75 14.6 14 12 14 C9.4 14 7.25 11.75 7.25 9 Z",
             fill=ORANGE),
        path(polygon(star_points(12, 8.25, 2.75, 1.15)), fill=PAPER, stroke="none"),
    ]


def icon_statisztika():
    """Three bars on a base line, the tallest in the accent colour."""
    return [
        path("M3.75 20.25 H20.25"),
        rect(5.25, 12.25, 3.5, 8, fill=MID),
        rect(10.25, 4.25, 3.5, 16, fill=ORANGE),
        rect(15.25, 9.25, 3.5, 11, fill=LIGHT),
    ]


def icon_gyakorlo():
    """A key cap with a target ring: practice aimed at the weak keys."""
    return [
        rect(3.75, 5.75, 16.5, 14.5, rx=2.5, fill=LIGHT),
        rect(6.25, 7.75, 11.5, 9.5, rx=1.5, fill=PAPER),
        circle(12, 12.5, 3.25, stroke=ORANGE, width=GLYPH),
        circle(12, 12.5, 1, fill=ORANGE, stroke="none"),
    ]


def icon_osszesito():
    """A table of the class: a header row in the accent colour over rows and a column line."""
    return [
        rect(3.75, 4.25, 16.5, 15.5, rx=1.5, fill=PAPER),
        rect(3.75, 4.25, 16.5, 4, rx=1.5, fill=ORANGE),
        path("M3.75 12.25 H20.25 M3.75 16 H20.25", stroke=LINE),
        path("M9.75 8.25 V19.75", stroke=LINE),
    ]


def icon_bezar():
    return [
        path("M14.25 8.5 V3.75 H4.75 V20.25 H14.25 V15.5"),
        path("M4.75 3.75 L10.75 5.5 V22 L4.75 20.25 Z", fill=MID),
        circle(9, 13, 0.9, fill=BLUE, stroke="none"),
        path("M13 12 H21.25", stroke=ORANGE, width=GLYPH),
        path("M18.25 9 L21.25 12 L18.25 15", stroke=ORANGE, width=GLYPH),
    ]


def icon_teljesitve():
    """The mark of a lesson whose goal was reached: a white tick on a green disc."""
    return [
        circle(12, 12, 9.25, fill=GREEN, stroke="none"),
        path("M7.25 12.5 L10.5 15.75 L16.75 8.5", stroke=PAPER, width=2.75),
    ]


def letter_a(left, bottom, height):
    """A capital A as two strokes and a bar."""
    half = height * 0.36
    apex = (left + half, bottom - height)
    bar = bottom - height * 0.36
    frac = (bottom - bar) / height
    return [
        path(f"M{fmt(left)} {fmt(bottom)} L{fmt(apex[0])} {fmt(apex[1])} "
             f"L{fmt(left + 2 * half)} {fmt(bottom)}", width=GLYPH),
        path(f"M{fmt(left + half * frac)} {fmt(bar)} H{fmt(left + 2 * half - half * frac)}",
             width=GLYPH),
    ]


def icon_oklevel():
    """A certificate: a page with a seal and its two ribbon ends."""
    return page(short=True) + [
        path("M14.75 17.5 L13.5 22.5 L15.75 21.25 L17.25 22.75 L17.75 18.5", fill=ORANGE,
             stroke=PAPER, width=1),
        path("M17.25 18.5 L18 22.75 L19.5 21.25 L21.5 22.25 L19.75 17.5", fill=ORANGE,
             stroke=PAPER, width=1),
        circle(17.25, 15.5, 4.25, fill=ORANGE, stroke=PAPER, width=STROKE),
        path(polygon(star_points(17.25, 15.75, 2.5, 1.05)), fill=PAPER, stroke="none"),
    ]


def icon_betunovel():
    return letter_a(2.75, 20.5, 16) + [
        path("M19 20.5 V5", stroke=ORANGE, width=GLYPH),
        path("M15.75 8.25 L19 5 L22.25 8.25", stroke=ORANGE, width=GLYPH),
    ]


def icon_betucsokkent():
    return letter_a(3.25, 20.5, 10.5) + [
        path("M18 4 V19", stroke=ORANGE, width=GLYPH),
        path("M14.75 15.75 L18 19 L21.25 15.75", stroke=ORANGE, width=GLYPH),
    ]


def icon_betutipus():
    return letter_a(2, 20, 15) + [
        circle(16.75, 16.25, 3.5, stroke=ORANGE, width=GLYPH),
        path("M20.25 12.25 V20", stroke=ORANGE, width=GLYPH),
    ]


def icon_beallit():
    cx = cy = 12
    teeth = 8
    tip, root = 9.75, 7.25
    d = []
    for i in range(teeth):
        mid = i * 360 / teeth - 90
        pts = [(root, mid - 15), (tip, mid - 9), (tip, mid + 9), (root, mid + 15)]
        for j, (r, a) in enumerate(pts):
            x = cx + r * math.cos(math.radians(a))
            y = cy + r * math.sin(math.radians(a))
            d.append(("M" if i == 0 and j == 0 else "L") + f"{fmt(x)} {fmt(y)}")
        nxt = mid + 360 / teeth - 15
        x = cx + root * math.cos(math.radians(nxt))
        y = cy + root * math.sin(math.radians(nxt))
        d.append(f"A{fmt(root)} {fmt(root)} 0 0 1 {fmt(x)} {fmt(y)}")
    return [
        path(" ".join(d) + " Z", fill=LIGHT),
        circle(cx, cy, 3.25, fill=ORANGE),
    ]


def icon_sugo():
    return [
        circle(12, 12, 9.25, fill=LIGHT),
        path("M9.25 9.5 C9.25 7.75 10.5 6.5 12.1 6.5 C13.75 6.5 14.9 7.6 14.9 9.1 "
             "C14.9 11.2 12.1 11.5 12.1 13.75", width=GLYPH + 0.25),
        circle(12.1, 17.15, 1.35, fill=ORANGE, stroke="none"),
    ]


def icon_level():
    return [
        rect(2.75, 5.25, 18.5, 13.5, rx=1.25, fill=PAPER),
        path("M3.25 18.25 L9.75 12.25", stroke=LINE),
        path("M20.75 18.25 L14.25 12.25", stroke=LINE),
        path("M2.75 6.5 L12 13.5 L21.25 6.5 V6.25 Q21.25 5.25 20.25 5.25 H3.75 "
             "Q2.75 5.25 2.75 6.25 Z", fill=PALE_ORANGE),
        path("M2.75 6.5 L12 13.5 L21.25 6.5", stroke=ORANGE),
        rect(2.75, 5.25, 18.5, 13.5, rx=1.25),
    ]


POINTER = [(0, 0), (0, 9.5), (2.4, 7.3), (4.1, 10.8), (5.8, 10), (4.1, 6.6), (7.2, 6.6)]


def pointer(x, y, halo=False):
    """A mouse pointer whose tip is at x, y; with halo, its white outline."""
    d = polygon([(x + a, y + b) for a, b in POINTER])
    return path(d, fill=PAPER, stroke=PAPER, width=3) if halo else path(d, fill=ORANGE)


def icon_honlap():
    return globe(11, 11, 8.75) + [pointer(14, 12.25, halo=True), pointer(14, 12.25)]


def icon_ujdonsag():
    star = star_points(17.25, 7, 5.5, 2.4)
    return globe(9.75, 14.25, 7.5) + [
        path(polygon(star), fill=PAPER, stroke=PAPER, width=3.5),
        path(polygon(star), fill=ORANGE),
    ]


def icon_readme():
    return page(short=True) + badge([
        path("M17.5 14.75 V18", stroke=PAPER, width=GLYPH),
        circle(17.5, 20.4, 1.1, fill=PAPER, stroke="none"),
    ])


def icon_nevjegy():
    return [
        rect(2.75, 4.75, 18.5, 14.5, rx=1.75, fill=PAPER),
        path("M2.75 8 V6.5 Q2.75 4.75 4.5 4.75 H19.5 Q21.25 4.75 21.25 6.5 V8 Z", fill=LIGHT),
        circle(8.25, 11.25, 2.1, fill=ORANGE, stroke="none"),
        path("M4.75 17.5 C4.75 15.1 6.3 14 8.25 14 C10.2 14 11.75 15.1 11.75 17.5 Z",
             fill=ORANGE, stroke="none"),
        path("M13.75 11 H18.5", stroke=LINE),
        path("M13.75 14 H18.5", stroke=LINE),
        path("M13.75 17 H16.75", stroke=LINE),
        rect(2.75, 4.75, 18.5, 14.5, rx=1.75),
    ]


PEKTO_DEFS = (
    '<linearGradient id="skirt" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#f4a468"/><stop offset="1" stop-color="#d9692a"/>'
    "</linearGradient>"
    '<linearGradient id="face" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#fdf1e7"/>'
    "</linearGradient>"
)


def icon_pekto():
    """The application: an orange key cap seen from above with a blue P on its face."""
    bevels = "M3 3.2 L5.4 4.4 M21 3.2 L18.6 4.4 M3 21 L5.4 17.4 M21 21 L18.6 17.4"
    return [
        rect(1.75, 2, 20.5, 20.25, rx=4, fill="url(#skirt)"),
        path(bevels, width=1, stroke_opacity="0.5"),
        rect(5, 3.75, 14, 14, rx=2.5, fill="url(#face)", width=1),
        path("M9.5 15.25 V6.25 H12.4 C14 6.25 15.1 7.35 15.1 8.85 C15.1 10.35 14 11.45 12.4 11.45 "
             "H9.5", width=2.25),
    ]


ICONS = {
    "megnyit": icon_megnyit,
    "uj": icon_uj,
    "szerkeszt": icon_szerkeszt,
    "befejez": icon_befejez,
    "top10": icon_top10,
    "statisztika": icon_statisztika,
    "gyakorlo": icon_gyakorlo,
    "osszesito": icon_osszesito,
    "bezar": icon_bezar,
    "oklevel": icon_oklevel,
    "betunovel": icon_betunovel,
    "betucsokkent": icon_betucsokkent,
    "betutipus": icon_betutipus,
    "beallit": icon_beallit,
    "sugo": icon_sugo,
    "level": icon_level,
    "honlap": icon_honlap,
    "ujdonsag": icon_ujdonsag,
    "readme": icon_readme,
    "nevjegy": icon_nevjegy,
    "pekto": icon_pekto,
    "teljesitve": icon_teljesitve,
}


# ---------------------------------------------------------------- counter column picture


KEY_DEFS = (
    '<linearGradient id="face" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#e6eef9"/>'
    "</linearGradient>"
    '<linearGradient id="skirt" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#c9daf1"/><stop offset="1" stop-color="#9fbbe2"/>'
    "</linearGradient>"
)


def key_cap(x, y, letter, angle):
    """A 62 x 62 key cap seen slightly from above, with its letter and homing bump."""
    size = 62
    cx, cy = x + size / 2, y + size / 2
    out = [f'<g transform="rotate({fmt(angle)} {fmt(cx)} {fmt(cy)})">']
    out.append(f'<ellipse cx="{fmt(cx)}" cy="{fmt(y + size + 1)}" rx="27" ry="3.5" '
               f'fill="{BLUE}" fill-opacity="0.14"/>')
    out.append(rect(x, y, size, size, rx=10, fill="url(#skirt)", stroke=BLUE, width=1.5))
    out.append(rect(x + 7, y + 4, size - 14, size - 16, rx=7, fill="url(#face)", stroke=BLUE,
                    width=1))
    fx, fy = cx, y + 4 + (size - 16) / 2 - 2  # letter centre on the face
    if letter == "F":
        d = (f"M{fmt(fx + 7)} {fmt(fy - 11)} H{fmt(fx - 5)} V{fmt(fy + 11)} "
             f"M{fmt(fx - 5)} {fmt(fy - 0.5)} H{fmt(fx + 5)}")
    else:
        d = (f"M{fmt(fx + 4)} {fmt(fy - 11)} V{fmt(fy + 5)} "
             f"A5 5 0 0 1 {fmt(fx - 6)} {fmt(fy + 5)}")
    out.append(path(d, stroke=BLUE, width=4))
    out.append(rect(cx - 7, y + size - 19, 14, 3.5, rx=1.75, fill=ORANGE, stroke="none"))
    out.append("</g>")
    return out


def picture_billentyu():
    body = key_cap(7, 9, "F", -6) + key_cap(9, 90, "J", 5)
    return svg(body, width=78, height=163, defs=KEY_DEFS)


# ---------------------------------------------------------------- main


def write(path_name, text):
    os.makedirs(os.path.dirname(path_name), exist_ok=True)
    with open(path_name, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def main():
    for name, make in ICONS.items():
        defs = PEKTO_DEFS if name == "pekto" else ""
        write(os.path.join(ASSETS, "icons", name + ".svg"), svg(make(), defs=defs))
    write(os.path.join(ASSETS, "images", "billentyu.svg"), picture_billentyu())
    print(f"wrote {len(ICONS)} icons and images/billentyu.svg", file=sys.stderr)


if __name__ == "__main__":
    main()
