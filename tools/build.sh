#!/usr/bin/env bash
# Configures and builds Pekto in build/ (Release with debug info).
# Usage: tools/build.sh [--program-only] [extra CMake options]
set -euo pipefail
cd "$(dirname "$0")/.."
targets=()
if [ "${1:-}" = "--program-only" ]; then
  shift
  targets=(--target pekto pekto_sound pekto_data)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j"$(nproc)" "${targets[@]}"
