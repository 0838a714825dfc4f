#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows tier: pekto.exe under Wine on a real X server, driven with keys from xdotool as a
# learner drives it. Run through tests/x11/run-on-xserver.sh --layout hu:
#
#   tests/windows/tier.sh PROGRAM_FOLDER GOLDEN_FOLDER
#
# WINEPREFIX names a prepared Wine prefix. Twice, installed and as a portable copy, a lesson is
# typed to its end with a wrong key, the Hungarian ű and ő (direct keys of the hu layout) and @
# (AltGr+V); the evaluation is closed with Enter, the player's name typed with ő and ű, the
# results window closed with Esc and the main window closed. Score.csv and Players.csv (in
# Wine's C:\ProgramData\Pekto, or beside the portable pekto.exe) must then equal the golden
# files byte for byte, but for the day and the seconds the exercise took.
set -euo pipefail
# shellcheck source=tests/windows/watch.sh
source "$(dirname "$0")/watch.sh"
# The learner's Windows speaks Hungarian: Wine takes its user locale (hu-HU, so the results grid
# shows dates as "2026. 12. 10.") from the Unix locale, made once beside the Wine prefix from the
# system's locale sources. xdotool finds the keys of Hungarian letters in it, as in any UTF-8
# locale.
export LOCPATH="${WINEPREFIX%/}.locale"
if [ ! -d "$LOCPATH/hu_HU.UTF-8" ]; then
  mkdir -p "$LOCPATH"
  localedef -i hu_HU -f UTF-8 "$LOCPATH/hu_HU.UTF-8" ||
    { echo "FAIL: no hu_HU.UTF-8 locale (package locales)" >&2; exit 1; }
fi
# The shell itself cannot switch (it read LOCPATH at its start) and would say so: quiet.
{ export LC_ALL=hu_HU.UTF-8; } 2>/dev/null
# Qt for Windows has its own platform plug-in; the runner's choice is for Linux programs.
unset QT_QPA_PLATFORM

program_dir=$(cd "$1" && pwd)
golden_dir=$(cd "$2" && pwd)
data_dir="$WINEPREFIX/drive_c/ProgramData/Pekto"
work=$(mktemp -d "${TMPDIR:-/tmp}/pekto-windows.XXXXXX")
pekto_pid=""
finish() {
  [ -n "$pekto_pid" ] && kill "$pekto_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

fail() {
  echo "FAIL: $*" >&2
  local id
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    echo "  window $id: $(xdotool getwindowname "$id" 2>/dev/null)" >&2
  done
  [ -s "$work/pekto.log" ] && { echo "--- pekto.log"; tail -n 20 "$work/pekto.log"; } >&2
  echo "  active: $(xdotool getactivewindow 2>/dev/null)," \
    "focus: $(xdotool getwindowfocus 2>/dev/null)" >&2
  import -window root "$work/../pekto-windows-failure.png" 2>/dev/null &&
    echo "the screen is in ${TMPDIR:-/tmp}/pekto-windows-failure.png" >&2
  exit 1
}

# The X window whose title is exactly $1 once it has the keyboard (60 s at most: a hang, not a
# speed limit; a new Wine prefix makes the first start slow). The window manager marks a window
# active at once, but Wine moves the X input focus to it only once the Windows side has activated
# it, and keys sent before that are lost: both must name the window. The splash shares the main
# window's title but never takes the keyboard. A lone window of that title that does not get the
# keyboard by itself is asked for it every second (a window just mapped has no desktop from
# openbox yet, and xdotool's request fails then).
with_keyboard() {
  local i active candidates
  for i in $(seq 1200); do
    active=$(xdotool getactivewindow 2>/dev/null) || active=""
    if [ -n "$active" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$active" ] &&
      [ "$(xdotool getwindowname "$active" 2>/dev/null)" = "$1" ]; then
      echo "$active"
      return 0
    fi
    if [ $((i % 20)) = 0 ]; then
      candidates=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null) || candidates=""
      [ "$(wc -w <<<"$candidates")" = 1 ] && xdotool windowactivate "$candidates" >/dev/null 2>&1
    fi
    kill -0 "$pekto_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# A checksum of the typing pane of main window $1 (the upper part of its left side, where
# nothing changes but by a typed key: the pane's caret does not blink).
pane_picture() {
  local WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
  import -window "$1" -crop "$((WIDTH * 3 / 4))x$((HEIGHT * 35 / 100))+0+$((HEIGHT / 5))" rgb:- |
    md5sum
}

# Sends one key (xdotool's arguments $2...) to main window $1 and waits until the typing pane
# shows it taken. Wine makes a key message's character from the modifiers of the last X key
# event it has read, not of that key's own: a busy program that reads the next key's events
# before it has taken this one gives this one the next one's modifiers (r became ¶ before
# AltGr+V, and @ became v when AltGr's release came before V's).
type_key() {
  local window=$1 before i
  shift
  before=$(pane_picture "$window")
  xdotool "$@"
  for i in $(seq 1200); do
    [ "$(pane_picture "$window")" != "$before" ] && return 0
    kill -0 "$pekto_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# Waits until window $1 has gone.
gone() {
  local i
  for i in $(seq 300); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# The lesson: its title, then one line, in Windows-1250 with CR LF.
printf 'Pr\xf3ba\r\nf\xfbz \xf5r@\r\n' >"$work/proba.lck"

# One learner's road through the program in $1, whose data folder is $2 and settings file $3.
# The error sound is on, so that the wrong key plays default.wav through PlaySound: Wine here
# has no sound device, and the program must go on without a sound.
road() {
  local program=$1 data=$2 settings=$3
  printf '[Defaults]\r\nSound=1\r\nSoundFile=Z:%s\\default.wav\r\n' "${program//\//\\}" \
    >"$settings"
  (cd "$program" && exec wine pekto.exe "Z:${work//\//\\}\\proba.lck") >"$work/pekto.log" 2>&1 &
  pekto_pid=$!

  local main key
  main=$(with_keyboard Pekto) || fail "the main window did not take the keyboard"
  # f, ű, a wrong x for z, space, ő, r and AltGr+V for @, each once the one before is taken; V
  # is pressed and released inside AltGr, so that every event after AltGr's press carries it.
  for key in f udoubleacute x space odoubleacute r; do
    type_key "$main" key "$key" || fail "the typing pane did not take $key"
  done
  type_key "$main" keydown ISO_Level3_Shift key v keyup ISO_Level3_Shift ||
    fail "the typing pane did not take AltGr+V"

  with_keyboard 'Értékelés' >/dev/null || fail "no evaluation with the keyboard after the last key"
  xdotool key Return
  with_keyboard 'Játékos' >/dev/null || fail "no player dialog with the keyboard after the evaluation"
  xdotool type --delay 30 'Szűts Lőrinc'
  xdotool key Return
  with_keyboard 'Eredmények' >/dev/null || fail "no results window with the keyboard after the player"
  xdotool key Escape
  gone 'Eredmények' || fail "Esc did not close the results window"
  wmctrl -c Pekto
  for _ in $(seq 300); do
    kill -0 "$pekto_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pekto_pid" 2>/dev/null && fail "the program did not end when its window was closed"
  wait "$pekto_pid" || fail "the program ended with $(describe_status $?)"
  pekto_pid=""

  # The day and the seconds are the run's own; the rest is the golden file's. The files are
  # Windows-1250: sed reads them as bytes.
  local score="$data/Score.csv" last seconds today
  [ -f "$score" ] || fail "no Score.csv in $data"
  last=$(tail -n 1 "$score")
  seconds=$(LC_ALL=C sed -n 's/^.*,"\([0-9]*\)","[0-9/]*",\r$/\1/p' <<<"$last")
  today=$(LC_ALL=C sed -n 's/^.*,"\([0-9/]*\)",\r$/\1/p' <<<"$last")
  [ -n "$seconds" ] && [ -n "$today" ] || fail "the last score row has no seconds or day: $last"
  LC_ALL=C sed -e "s|@SECONDS@|$seconds|" -e "s|@TODAY@|$today|" "$golden_dir/windows_score.csv" \
    >"$work/expected_score.csv"
  cmp "$work/expected_score.csv" "$score" || fail "Score.csv in $data differs from the golden file"
  cmp "$golden_dir/windows_players.csv" "$data/Players.csv" ||
    fail "Players.csv in $data differs from the golden file"
}

# Installed: the data in Wine's C:\ProgramData\Pekto.
rm -rf "$data_dir"
mkdir -p "$data_dir"
road "$program_dir" "$data_dir" "$data_dir/Pekto.ini"
echo "Windows tier: the lesson, the evaluation and the player's name recorded in $data_dir"

# Portable: a copy of the program with pekto.ini beside pekto.exe keeps its data in its folder
# and leaves C:\ProgramData\Pekto alone.
before=$(cat "$data_dir/Score.csv" "$data_dir/Players.csv")
portable="$work/portable"
mkdir "$portable"
cp -r "$program_dir"/. "$portable"/
rm -f "$portable"/*_tests.exe "$portable"/test_*.exe
road "$portable" "$portable" "$portable/pekto.ini"
[ "$(cat "$data_dir/Score.csv" "$data_dir/Players.csv")" = "$before" ] ||
  fail "the portable copy wrote into $data_dir"
echo "Windows tier: the portable copy recorded the same in its own folder"

# The installer, when given as a third argument: a silent per-machine installation, the
# installed program opening a lesson, and the uninstaller removing the program files while the
# learner's data stay.
setup=${3:-}
[ -n "$setup" ] || exit 0
installed="$WINEPREFIX/drive_c/Program Files/Pekto"
entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pekto.lnk"
rm -rf "$installed"
wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the installer ended with $(describe_status $?)"
[ -f "$installed/pekto.exe" ] && [ -f "$installed/platforms/qwindows.dll" ] &&
  [ -d "$installed/Leckek" ] && [ -f "$installed/uninstall.exe" ] ||
  fail "the installer left no program in $installed"
[ -f "$entry" ] || fail "the installer made no Start-menu entry"
# .lck files belong to the installed program: the registry names it, and a lesson opened
# through the shell (as a double click does) starts it with that lesson, which it then keeps as
# the last one in its settings.
wine reg query 'HKLM\Software\Classes\.lck' /ve 2>/dev/null | grep -q 'Pekto\.Lecke' ||
  fail "the installer did not associate .lck files with Pekto"
wine reg query 'HKLM\Software\Classes\Pekto.Lecke\shell\open\command' /ve 2>/dev/null |
  grep -qF '"C:\Program Files\Pekto\pekto.exe" "%1"' ||
  fail "the .lck files' open command does not start the installed pekto.exe"
mkdir "$work/shell"
cp "$work/proba.lck" "$work/shell/lecke megnyitva.lck"
(cd "$work/shell" && exec wine start /wait /unix "$work/shell/lecke megnyitva.lck") \
  >"$work/pekto.log" 2>&1 &
pekto_pid=$!
with_keyboard Pekto >/dev/null || fail "opening a .lck file did not start the installed program"
wmctrl -c Pekto
wait "$pekto_pid" || fail "the installed program ended with $(describe_status $?)"
pekto_pid=""
grep -qF 'LastFile=Z:'"${work//\//\\}"'\shell\lecke megnyitva.lck' "$data_dir/Pekto.ini" ||
  fail "the program started through the .lck file did not open that lesson"
wine "$installed/uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
  fail "the uninstaller ended with $(describe_status $?)"
# The uninstaller copies itself away and goes on from there: wait for the folder to go.
for _ in $(seq 600); do
  [ -e "$installed" ] || break
  sleep 0.05
done
[ -e "$installed" ] && fail "the uninstaller left $installed"
[ -e "$entry" ] && fail "the uninstaller left the Start-menu entry"
[ "$(cat "$data_dir/Score.csv" "$data_dir/Players.csv")" = "$before" ] ||
  fail "the installed program or its uninstaller changed $data_dir"
echo "Windows tier: the installer installed, a .lck file opened in the program, the uninstaller" \
  "removed it"
