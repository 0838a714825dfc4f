#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence identifier at the head of the project's source files (those git tracks):
#   // SPDX-License-Identifier: GPL-3.0-or-later   the C++ files (.cpp, .h) of src/, tests/, bench/
#   # SPDX-License-Identifier: GPL-3.0-or-later    shell, Python and CMake files, and the scripts
#                                                  without a suffix (./run, ./test, .ci/run, ...)
# as the first line, or as the second after a "#!" line. A file that names an SPDX identifier in
# its first two lines already is left as it is, so the script can run again at any time.
# Usage: tools/add-spdx.sh [TREE]   (default: the tree this script lies in)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
readonly id="SPDX-License-Identifier: GPL-3.0-or-later"
tagged=0

# tag FILE COMMENT: writes the identifier line into FILE, keeping its mode.
tag() {
  local file=$1 comment=$2 tmp
  head -n 2 "$file" | grep -q "SPDX-License-Identifier:" && return 0
  tmp=$(mktemp "$file.XXXXXX")
  if [ "$(head -c 2 "$file")" = "#!" ]; then
    { head -n 1 "$file"; printf '%s %s\n' "$comment" "$id"; tail -n +2 "$file"; } >"$tmp"
  else
    { printf '%s %s\n' "$comment" "$id"; cat "$file"; } >"$tmp"
  fi
  chmod --reference="$file" "$tmp"
  mv "$tmp" "$file"
  tagged=$((tagged + 1))
}

while IFS= read -r -d '' file; do
  case "$file" in
    src/*.cpp | src/*.h | tests/*.cpp | tests/*.h | bench/*.cpp | bench/*.h) tag "$file" "//" ;;
    *.sh | *.py | *.cmake | CMakeLists.txt | */CMakeLists.txt) tag "$file" "#" ;;
    *)
      # Scripts without a suffix: a "#!" line and no dot in the name.
      name=${file##*/}
      if [ "${name#*.}" = "$name" ] && [ "$(head -c 2 "$file")" = "#!" ]; then
        tag "$file" "#"
      fi
      ;;
  esac
done < <(git ls-files -z)
echo "add-spdx: $tagged files tagged"
