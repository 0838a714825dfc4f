#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Pekto needs to build, test and run, if any is missing.
set -euo pipefail

PACKAGES=(
  cmake g++ ninja-build pkg-config ccache
  python3
  qt6-base-dev qt6-svg-dev qt6-translations-l10n qt6-image-formats-plugins libcanberra-dev libfontconfig-dev
  libjpeg62-turbo-dev
  libxkbcommon-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm
  xvfb xauth
  openbox xdotool wmctrl x11-utils x11-xkb-utils
  fonts-liberation2 fonts-comic-neue fonts-wine fonts-dejavu-core
  dpkg-dev desktop-file-utils shared-mime-info libxml2-utils
)
# ./test-windows: the program cross-built with MinGW-w64 (posix threads, for std::thread) against
# Qt for Windows, whose build takes moc, rcc and uic from Debian's Qt and Qt's Hungarian texts
# from its translations; GoogleTest from its source package; Wine on a private X server with the
# fonts that stand in for the Windows ones; the installer from makensis.
if [ "${1:-}" = "--windows" ]; then
  PACKAGES=(cmake ninja-build ccache xz-utils g++-mingw-w64-x86-64-posix googletest
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    nsis wine wine64 xvfb xauth openbox xdotool wmctrl x11-utils x11-xkb-utils imagemagick
    fonts-liberation2 fonts-comic-neue fonts-dejavu-core locales)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then SUDO="sudo"; else
    echo "Missing packages (${missing[*]}) and no root rights to install them." >&2
    exit 1
  fi
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
