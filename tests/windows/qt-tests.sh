#!/usr/bin/env bash
# Runs Qt Test programs of the windows under Wine with Qt's Windows platform plug-in, on the X
# server of tests/x11/run-on-xserver.sh (this Qt has no offscreen plug-in):
#
#   tests/windows/qt-tests.sh PROGRAM_FOLDER NAME...
#
# Under Wine Qt Test writes nothing into a pipe: each report goes to a file, which is shown when
# the program fails. Exit status: 1 when any program failed.
set -uo pipefail
unset QT_QPA_PLATFORM
folder=$(cd "$1" && pwd)
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/pekto-qt-tests.XXXXXX")
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
status=0
for name in "$@"; do
  report="$work/$name.txt"
  (cd "$folder" && exec timeout 300 wine "$name.exe" -o "Z:${report//\//\\},txt") >/dev/null 2>&1
  result=$?
  if [ "$result" = 0 ]; then
    echo "$name: $(grep '^Totals' "$report")"
  else
    status=1
    echo "FAIL: $name ended with status $result" >&2
    [ -f "$report" ] && grep -v '^PASS' "$report" >&2
  fi
done
exit "$status"
