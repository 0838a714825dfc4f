#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the application icon icons/pekto.svg into the PNG sizes of the hicolor icon theme
# (icons/hicolor/<size>x<size>/apps/pekto.png), for desktops and docks that do not draw SVG.
# Needs librsvg's rsvg-convert (Debian: librsvg2-bin).  Usage: assets/tools/make_app_icon_png.sh
set -euo pipefail
assets="$(cd "$(dirname "$0")/.." && pwd)"
for size in 16 22 24 32 48 64 128 256; do
  out="$assets/icons/hicolor/${size}x${size}/apps"
  mkdir -p "$out"
  rsvg-convert -w "$size" -h "$size" "$assets/icons/pekto.svg" -o "$out/pekto.png"
done
