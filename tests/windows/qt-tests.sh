#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs Qt Test programs of the windows under Wine with Qt's Windows platform plug-in, on the X
# server of tests/x11/run-on-xserver.sh (this Qt has no offscreen plug-in):
#
#   tests/windows/qt-tests.sh PROGRAM_FOLDER NAME...
#
# WINEPREFIX names the Wine prefix, as for tests/windows/tier.sh.
#
# Under Wine Qt Test writes nothing into a pipe: each report goes to a file, which is shown when
# the program fails. Exit status: 1 when any program failed. Each program has 600 s for a hang:
# the slowest takes 6 s alone, about 30 s on a busy 2-core machine, and 4 minutes with three
# busy loops beside a Wine at nice 19.
set -uo pipefail
# shellcheck source=tests/windows/watch.sh
source "$(dirname "$0")/watch.sh"
unset QT_QPA_PLATFORM
folder=$(cd "$1" && pwd)
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/pekto-qt-tests.XXXXXX")
trap 'wineserver -k 2>/dev/null; rm -rf "$work" "$data"' EXIT
status=0
# Under Windows the program's data folder is Wine's C:\ProgramData\Pekto whatever XDG_DATA_HOME
# says: each program starts with none, so that no table left by another (a damaged one, whose
# message box nobody answers) stands in its way.
data="$WINEPREFIX/drive_c/ProgramData/Pekto"
for name in "$@"; do
  rm -rf "$data"
  report="$work/$name.txt"
  # Wine's own messages are left out: the report says what the program did.
  # shellcheck disable=SC2016  # the inner shell expands its own arguments
  watched "$name.exe" 600 bash -c 'cd "$1" && exec wine "$2" -o "$3" >/dev/null 2>&1' _ \
    "$folder" "$name.exe" "Z:${report//\//\\},txt"
  result=$?
  passed_before_kill "$result" "$report" '^Totals: .* 0 failed' '^FAIL!' && result=0
  if [ "$result" = 0 ]; then
    echo "$name: $(grep '^Totals' "$report")"
  else
    status=1
    echo "FAIL: $name ended with $(describe_status "$result")" >&2
    [ -f "$report" ] && grep -v '^PASS' "$report" >&2
  fi
done
exit "$status"
