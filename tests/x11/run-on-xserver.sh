#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one test program on a private real X server, as a user's desktop would show it:
#
#   tests/x11/run-on-xserver.sh [--layout "SETXKBMAP ARGS"] [--screen WxHxDEPTH] PROGRAM [ARGS...]
#
# - starts its own Xvfb on a free display (the server picks it: -displayfd), so any number of
#   these runs can go on side by side;
# - with the keys' auto-repeat off;
# - starts the openbox window manager on it and waits until openbox manages windows;
# - with --layout, sets the keyboard layout first (for example --layout hu, or
#   --layout "us -variant intl" for dead keys);
# - runs PROGRAM with DISPLAY set and QT_QPA_PLATFORM=xcb; its exit status is the runner's;
# - stops openbox and Xvfb whatever happens.
#
# A missing tool (Xvfb, openbox, xdotool, wmctrl, xprop, xwininfo, setxkbmap) is a failure with
# a message naming the package, never a silent pass. tools/setup-deps.sh installs them all.
set -euo pipefail

layout=""
screen="1280x1024x24"
while [ $# -gt 0 ]; do
  case "$1" in
    --layout) layout="$2"; shift 2 ;;
    --screen) screen="$2"; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  echo "usage: $0 [--layout \"SETXKBMAP ARGS\"] [--screen WxHxDEPTH] PROGRAM [ARGS...]" >&2
  exit 2
fi

missing=()
need() { command -v "$1" >/dev/null || missing+=("$1 (package $2)"); }
need Xvfb xvfb
need openbox openbox
need xdotool xdotool
need wmctrl wmctrl
need xprop x11-utils
need xwininfo x11-utils
need setxkbmap x11-xkb-utils
if [ ${#missing[@]} -gt 0 ]; then
  printf -v list '%s, ' "${missing[@]}"
  echo "FAIL: the X server tests need ${list%, }, which this machine lacks; run tools/setup-deps.sh" >&2
  exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/pekto-x11.XXXXXX")"
xvfb_pid=""
wm_pid=""
test_pid=""
stop() {
  local pid
  for pid in "$test_pid" "$wm_pid" "$xvfb_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 143' TERM INT HUP

fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
  done
  exit 1
}

# Waits up to 10 s for a condition given as a command.
wait_for() {
  local i
  for i in $(seq 500); do
    "$@" && return 0
    sleep 0.02
  done
  return 1
}

# The server writes its display number to fd 3 once it accepts connections. No key repeats (-r):
# xdotool presses and releases a key with a pause between them, and when the busy machine holds
# it up past the repeat delay (660 ms), the server would type that key a second time.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset -r 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_ready() { grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null || ! kill -0 "$xvfb_pid"; }
wait_for display_ready || fail "Xvfb did not start within 10 s"
kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

# openbox with its packaged configuration only, whatever the user's home holds.
mkdir -p "$work/config" "$work/cache"
env -u SESSION_MANAGER XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
  openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
# It manages windows once it has published itself and the work area the tests measure against.
wm_ready() {
  { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
    xprop -root _NET_WORKAREA 2>/dev/null | grep -q '='; } || ! kill -0 "$wm_pid"
}
wait_for wm_ready || fail "openbox did not take over the display within 10 s"
kill -0 "$wm_pid" 2>/dev/null || fail "openbox did not start"

if [ -n "$layout" ]; then
  # shellcheck disable=SC2086  # the layout is setxkbmap's arguments, split on purpose
  setxkbmap $layout >"$work/setxkbmap.log" 2>&1 || fail "setxkbmap $layout failed"
fi

export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 0700 "$XDG_RUNTIME_DIR"
fi

# In the background so that a TERM from ctest's timeout still runs the clean-up above.
"$@" &
test_pid=$!
status=0
wait "$test_pid" || status=$?
test_pid=""
exit "$status"
