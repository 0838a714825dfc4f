#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Qt for Windows that ./test-windows takes (PEKTO_QT_WINDOWS): Qt 6.4.2 for 64-bit
# Windows, cross-compiled on Debian 12 with MinGW-w64 (posix threads), as DLLs.
#
#   tools/build-qt-windows.sh [--dry-run] [--jobs N] QTSVG OUTPUT_FOLDER
#
# QTSVG is qtsvg 6.4.2's source, a folder or a tarball (qtsvg-everywhere-src-6.4.2.tar.xz from
# download.qt.io, or a checkout of the v6.4.2 tag): Debian 12 has no source package of it that
# apt-get can fetch. qtbase (qt6-base) and libjpeg-turbo come from Debian's source packages
# through apt-get source; a deb-src entry is added to /etc/apt/sources.list.d when none exists.
# OUTPUT_FOLDER receives qt6.4.2-windows-x86_64-mingw.tar.xz, which unpacks to one relocatable
# folder prefix/ (Qt, libjpeg, the MinGW runtime DLLs and the CMake toolchain file
# mingw-w64-x86_64.cmake). It takes about 40 minutes on 2 cores and a few GB of disk in the
# work folder (PEKTO_QT_WORK, by default a new folder under $TMPDIR).
#
# --dry-run prints every step and changes nothing.
set -euo pipefail

dry_run=0
jobs=$(nproc)
while [ $# -gt 0 ]; do
  case "$1" in
    --dry-run) dry_run=1; shift ;;
    --jobs) jobs=$2; shift 2 ;;
    --) shift; break ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ $# -ne 2 ]; then
  echo "usage: $0 [--dry-run] [--jobs N] QTSVG_SOURCE_FOLDER_OR_TARBALL OUTPUT_FOLDER" >&2
  exit 2
fi
qtsvg_source=$(realpath -m "$1")
output=$(realpath -m "$2")
version=6.4.2
triplet=x86_64-w64-mingw32
archive_name=qt${version}-windows-x86_64-mingw.tar.xz

# Each step is printed; in a dry run that is all that happens.
run() {
  printf '+ %s\n' "$*"
  [ "$dry_run" = 1 ] || "$@"
}
# A step given as one shell command line (for redirections and cd).
run_sh() {
  printf '+ %s\n' "$1"
  [ "$dry_run" = 1 ] || bash -euo pipefail -c "$1"
}

[ -e "$qtsvg_source" ] || [ "$dry_run" = 1 ] || {
  echo "No qtsvg source at $qtsvg_source" >&2
  exit 1
}
if [ -n "${PEKTO_QT_WORK:-}" ]; then
  work=$PEKTO_QT_WORK
elif [ "$dry_run" = 1 ]; then
  work="${TMPDIR:-/tmp}/pekto-qt-windows.XXXXXX"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/pekto-qt-windows.XXXXXX")
fi
prefix="$work/prefix"
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo

echo "== Packages"
run $sudo apt-get update -q
run $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build nasm perl python3 xz-utils \
  dpkg-dev qt6-base-dev qt6-base-dev-tools

echo "== Debian's source packages"
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # The same archive, suites and key as Debian's own binary entry.
  run_sh "printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' \
'Suites: bookworm bookworm-updates' 'Components: main' \
'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
  $sudo tee /etc/apt/sources.list.d/pekto-deb-src.sources >/dev/null"
  run $sudo apt-get update -q
fi
run mkdir -p "$work/src"
run_sh "cd '$work/src' && apt-get source --download-only qt6-base libjpeg-turbo"
# Debian's tarballs without Debian's patches (dpkg-source would apply them).
run_sh "cd '$work/src' && tar -xf qt6-base_${version}*.orig.tar.*"
run_sh "cd '$work/src' && tar -xf libjpeg-turbo_*.orig.tar.*"
if [ -d "$qtsvg_source" ]; then
  run cp -a "$qtsvg_source" "$work/src/qtsvg"
else
  run mkdir -p "$work/src/qtsvg"
  run tar -C "$work/src/qtsvg" --strip-components=1 -xf "$qtsvg_source"
fi
qtbase=$work/src/qtbase-everywhere-src-$version

echo "== The toolchain file"
run mkdir -p "$prefix"
run_sh "cat >'$prefix/mingw-w64-x86_64.cmake' <<'EOF'
# CMake toolchain file: cross-compile for Windows x86-64 with Debian's mingw-w64 (POSIX
# threads) against the Qt prefix this file lives in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET $triplet)
set(CMAKE_C_COMPILER   \${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER \${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  \${MINGW_TRIPLET}-windres)
# The prefix is the folder holding this file, wherever it was moved.
get_filename_component(_qtwin_prefix \"\${CMAKE_CURRENT_LIST_DIR}\" ABSOLUTE)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/\${MINGW_TRIPLET} \"\${_qtwin_prefix}\")
list(APPEND CMAKE_PREFIX_PATH \"\${_qtwin_prefix}\")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# moc, rcc and uic of the same version from Debian's qt6-base-dev-tools.
if(NOT DEFINED QT_HOST_PATH)
  set(QT_HOST_PATH /usr CACHE PATH \"Host Qt prefix\")
endif()
if(NOT DEFINED QT_HOST_PATH_CMAKE_DIR)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH \"Host Qt CMake folder\")
endif()
EOF"
toolchain=(-G Ninja "-DCMAKE_TOOLCHAIN_FILE=$prefix/mingw-w64-x86_64.cmake"
  "-DCMAKE_INSTALL_PREFIX=$prefix" -DCMAKE_BUILD_TYPE=Release)

echo "== The two fixes to qtbase"
# Debian's +dfsg tarball lacks src/3rdparty/wintab: no tablet events (FEATURE_tabletevent=OFF).
# Without Direct2D, Qt 6.4.2 does not link Qt6PrintSupport.dll (QWindowsFontEngineDirectWrite::
# createHFONT is undefined): the DirectWrite code of the print engine and of the platform plug-in
# must require Direct2D too, as QtGui's own code does.
run sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
  "$qtbase/src/printsupport/platform/windows/qprintengine_win.cpp"
run sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
  "$qtbase/src/plugins/platforms/windows/qwindowsintegration.cpp"
run grep -q 'directwrite) && QT_CONFIG(direct2d)' \
  "$qtbase/src/printsupport/platform/windows/qprintengine_win.cpp"
run grep -q 'directwrite3) && QT_CONFIG(direct2d)' \
  "$qtbase/src/plugins/platforms/windows/qwindowsintegration.cpp"

echo "== libjpeg-turbo"
run_sh "cmake -S '$work'/src/libjpeg-turbo-*/ -B '$work/build-jpeg' ${toolchain[*]} \
  -DENABLE_SHARED=ON -DENABLE_STATIC=OFF -DWITH_TURBOJPEG=OFF"
run cmake --build "$work/build-jpeg" -j "$jobs"
run cmake --install "$work/build-jpeg"

echo "== qtbase (the long part: about 35 minutes on 2 cores)"
features=(sql network dbus xml concurrent opengl vulkan direct2d tabletevent icu pkg_config
  freetype system_zlib system_png system_jpeg system_pcre2 system_harfbuzz
  system_doubleconversion system_freetype)
feature_args=()
for f in "${features[@]}"; do feature_args+=("-DFEATURE_$f=OFF"); done
run cmake -S "$qtbase" -B "$work/build-qtbase" "${toolchain[@]}" -DBUILD_SHARED_LIBS=ON \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DINPUT_opengl=no \
  "${feature_args[@]}"
run cmake --build "$work/build-qtbase" -j "$jobs"
run cmake --install "$work/build-qtbase"

echo "== qtsvg"
run cmake -S "$work/src/qtsvg" -B "$work/build-qtsvg" "${toolchain[@]}" \
  "-DCMAKE_PREFIX_PATH=$prefix" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DQT_BUILD_EXAMPLES=OFF \
  -DQT_BUILD_TESTS=OFF
run cmake --build "$work/build-qtsvg" -j "$jobs"
run cmake --install "$work/build-qtsvg"

echo "== The MinGW runtime, stripped DLLs, the archive"
runtime_dir=$(dirname "$($triplet-g++-posix -print-file-name=libstdc++-6.dll 2>/dev/null ||
  echo /usr/lib/gcc/$triplet/12-posix/libstdc++-6.dll)")
run cp "$runtime_dir/libstdc++-6.dll" "$runtime_dir/libgcc_s_seh-1.dll" "$prefix/bin/"
run cp "/usr/$triplet/lib/libwinpthread-1.dll" "$prefix/bin/"
run_sh "find '$prefix' -name '*.dll' -exec $triplet-strip --strip-unneeded {} +"
run mkdir -p "$output"
run tar -C "$work" -cJf "$output/$archive_name" prefix
echo "Done: PEKTO_QT_WINDOWS=$output ./test-windows"
