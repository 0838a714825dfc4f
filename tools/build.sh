#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Pekto in build/ (Release with debug info), or in $PEKTO_BUILD_DIR.
# Usage: tools/build.sh [--program-only] [extra CMake options]
set -euo pipefail
cd "$(dirname "$0")/.."
targets=()
if [ "${1:-}" = "--program-only" ]; then
  shift
  targets=(--target pekto pekto_data)
fi
launcher=()
# A compiler cache, where the machine has one, makes rebuilds in several checkouts cheap.
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
  # Debug information names the build folder; leaving it out of the hash lets a clone in another
  # folder reuse the objects (their debug paths then name the folder that built them first).
  export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
build_dir="${PEKTO_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
