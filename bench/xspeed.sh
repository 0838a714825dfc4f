#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pekto beside the floor of its stack (bench/floor: a bare Qt window with one editable
# QPlainTextEdit), measured the same way in one run on a real X server (Xvfb + openbox,
# Hungarian keyboard, keys from xdotool):
#   - start: exec to the window mapped (bench/floor/xstart.cpp watches the X server), taken at
#     the beginning of each run from START_TURNS starts of each program in turns, one right after
#     the other, so that both meet the same state of the machine. The start of each measured run,
#     which follows a minutes-long typing run of the other program and varies up to twice over
#     with it, is printed below it;
#   - resident memory (VmRSS) RSS_AFTER seconds after the exec;
#   - processor time (utime + stime of all threads) over KEYS keys typed DELAY_MS apart, minus
#     the processor time the same program spends idle over as long a time without the keyboard
#     focus. Idle with the focus, a text field also blinks its caret, which it does not while keys
#     come DELAY_MS apart: that figure, net of the focused idle, takes the blinking off the keys
#     as well and is printed below the first (it was the first figure before).
# Each figure is the median of RUNS warm starts; the two programs take turns.
#
# Usage: bench/xspeed.sh [BUILD_DIR]      (default: build; needs pekto, pekto_floor, pekto_xstart)
# Environment: RUNS (5), KEYS (200), DELAY_MS (240), RSS_AFTER (3), IDLE_S (as long as typing),
#              START_TURNS (3: starts of each program in turns at the beginning of each run),
#              QUIET_S (20: idle without the focus),
#              PEKTO (another build of the program to set beside the floor),
#              COMPARE (a second build of the program, measured in the same run as a third
#              column: before and after a change, under the same load),
#              PEKTO_ENV / FLOOR_ENV (extra VAR=value words for one program, for example
#              QT_LOGGING_RULES=*=false),
#              SHOTS (a folder: a picture of each window after typing, to check the keys arrived),
#              PERF (a folder: after the measured runs, one more typing run of each program under
#              `perf record --call-graph dwarf`, kept as PERF/pekto.data and PERF/floor.data).
#              CALLGRIND=1 (after the measured runs, one more typing run of each program under
#              valgrind's callgrind: the instructions per key, net of idle, which the load of the
#              machine does not change; printed as a last row).
# A benchmark, not a test: ./test does not run it. Figures taken while the machine is busy are
# noisy; the load average is printed with them.
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${RUNS:-5}
KEYS=${KEYS:-200}
DELAY_MS=${DELAY_MS:-240}
RSS_AFTER=${RSS_AFTER:-3}
START_TURNS=${START_TURNS:-3}
IDLE_S=${IDLE_S:-$(awk -v k="$KEYS" -v d="$DELAY_MS" 'BEGIN { printf "%.1f", k * d / 1000 }')}
QUIET_S=${QUIET_S:-20}
CLK_TCK=$(getconf CLK_TCK)

PEKTO=${PEKTO:-$BUILD/bin/pekto}
FLOOR=$BUILD/bin/pekto_floor
XSTART=$BUILD/bin/pekto_xstart
PROGRAMS=(pekto floor)
if [ -n "${COMPARE:-}" ]; then PROGRAMS+=(other); fi
for f in "$PEKTO" "$FLOOR" "$XSTART" ${COMPARE:+"$COMPARE"}; do
  [ -x "$f" ] || { echo "missing $f: build first (tools/build.sh)" >&2; exit 2; }
done
for tool in Xvfb xauth openbox xdotool setxkbmap xprop xmessage iconv ${PERF:+perf} \
  ${CALLGRIND:+valgrind callgrind_control}; do
  command -v "$tool" >/dev/null || {
    echo "missing $tool: apt-get install xvfb xauth openbox xdotool x11-xkb-utils x11-utils" \
      "linux-perf" >&2
    exit 2
  }
done

TMP=$(mktemp -d "${TMPDIR:-/tmp}/pekto-xspeed.XXXXXX")
XVFB_PID=""
OPENBOX_PID=""
FOCUS_PID=""
STARTER_PID=""
PROGRAM_PID=""
PERF_PID=""

cleanup() {
  local status=$?
  trap - EXIT INT TERM HUP
  for pid in "$PERF_PID" "$PROGRAM_PID" "$STARTER_PID" "$FOCUS_PID" "$OPENBOX_PID" "$XVFB_PID"; do
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  done
  for pid in "$STARTER_PID" "$OPENBOX_PID" "$XVFB_PID"; do
    if [ -n "$pid" ]; then wait "$pid" 2>/dev/null || true; fi
  done
  rm -rf "$TMP"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# ---- the X server ------------------------------------------------------------------------

# The server admits only clients holding its cookie: a program of another run on this machine
# that guesses the display number cannot open windows on it or take the keyboard focus.
StartX() {
  local cookie i
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  export XAUTHORITY="$TMP/xauthority"
  : >"$XAUTHORITY"
  xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie"  # the server reads any entry
  Xvfb -displayfd 9 -auth "$XAUTHORITY" -screen 0 1280x1024x24 -nolisten tcp \
    9>"$TMP/display" 2>"$TMP/xvfb.log" &
  XVFB_PID=$!
  for ((i = 0; i < 200; i++)); do
    [ -s "$TMP/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || { cat "$TMP/xvfb.log" >&2; exit 2; }
    sleep 0.05
  done
  DISPLAY=":$(head -n1 "$TMP/display")"
  export DISPLAY
  xauth -q -f "$XAUTHORITY" add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie"
  openbox --sm-disable >"$TMP/openbox.log" 2>&1 &
  OPENBOX_PID=$!
  for ((i = 0; i < 200; i++)); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
  setxkbmap hu
  # What takes the focus while a program is measured idle (Unfocus).
  xmessage -name pekto-xspeed-focus -geometry +1200+980 "." >/dev/null 2>&1 &
  FOCUS_PID=$!
  for ((i = 0; i < 100; i++)); do
    xdotool search --classname pekto-xspeed-focus >/dev/null 2>&1 && break
    sleep 0.05
  done
}

# ---- the lesson and the keys -------------------------------------------------------------

# Lowercase Hungarian words: every letter is a key of its own on the Hungarian layout, so that
# xdotool never remaps a key code (which would make both programs reload the keymap).
WORDS=(alma körte szilva füge dió répa bab hagyma zeller tök mák víz kés kéz tűz hó ló ős út
       üveg óra ház kút fű)

MakeLesson() {
  local lines=() line="" n=0 total=0 i=0
  while ((total < KEYS + 120)); do
    line+="${WORDS[i % ${#WORDS[@]}]} "
    i=$((i + 1))
    if ((${#line} >= 50)); then
      lines+=("${line% }")
      total=$((total + ${#line}))
      line=""
      n=$((n + 1))
    fi
  done
  { printf 'xspeed\r\n'; printf '%s\r\n' "${lines[@]}"; } | iconv -f UTF-8 -t CP1250 >"$TMP/xspeed.lck"
  # The keys: the lesson text from its start, line breaks typed as Enter.
  local text
  text=$(printf '%s\n' "${lines[@]}")
  printf '%s' "${text:0:KEYS}" >"$TMP/keys.txt"
}

# Types keys.txt into the focused window. Line breaks go as the Return key: xdotool would type
# a newline character as the keysym Linefeed, which the layout lacks.
TypeKeys() {
  local lines=() i pause
  pause=$(awk -v d="$DELAY_MS" 'BEGIN { print d / 1000 }')
  mapfile -t lines <"$TMP/keys.txt"
  for ((i = 0; i < ${#lines[@]}; i++)); do
    if ((i > 0)); then
      xdotool key Return
      sleep "$pause"
    fi
    [ -n "${lines[i]}" ] && xdotool type --delay "$DELAY_MS" "${lines[i]}"
    sleep "$pause"
  done
}

# ---- reading a process --------------------------------------------------------------------

CpuTicks() {  # utime + stime of all threads, in clock ticks
  local stat fields
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || stat=") 0 0 0 0 0 0 0 0 0 0 0 0 0"
  read -ra fields <<<"${stat##*) }"
  echo $((fields[11] + fields[12]))
}

CpuNs() {  # the scheduler's running time of all live threads, in nanoseconds
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s }'
}

Now() { date +%s.%N; }

# The program's clock-tick and scheduler times, the X server's ticks and the wall clock, as one
# word list; two of them, before and after, make a stretch for the figures at the end of Measure.
Sample() {
  echo "$(CpuTicks "$PROGRAM_PID") $(CpuNs "$PROGRAM_PID") $(CpuTicks "$XVFB_PID") $(Now)"
}

FocusedPid() { xdotool getwindowfocus getwindowpid 2>/dev/null || echo 0; }

# ---- one start of one program ----------------------------------------------------------------

# Starts the program, waits for its report line; sets PROGRAM_PID, MAPPED_S, START_CPU_S, RSS_KIB.
# RSS_AFTER_S (default RSS_AFTER) is how long it waits before the memory is read.
Start() {
  local name=$1 envs=$2
  shift 2
  : >"$TMP/report"
  local extra=()
  read -ra extra <<<"$envs"  # VAR=value words, never taken as file patterns
  env "${extra[@]}" "$XSTART" --rss-after "${RSS_AFTER_S:-$RSS_AFTER}" --timeout 30 -- "$@" \
    >"$TMP/report" \
    2>>"$TMP/$name.log" &
  STARTER_PID=$!
  local i
  for ((i = 0; i < 800; i++)); do
    [ -s "$TMP/report" ] && break
    kill -0 "$STARTER_PID" 2>/dev/null || break
    sleep 0.05
  done
  local pid mapped cpu rss
  read -r _ pid _ mapped _ cpu _ rss <"$TMP/report" || true
  if [ -z "${pid:-}" ]; then
    local status=0
    wait "$STARTER_PID" || status=$?
    echo "$name did not start (status $status); its log:" >&2
    cat "$TMP/$name.log" >&2
    exit 1
  fi
  PROGRAM_PID=$pid
  MAPPED_S=$mapped
  START_CPU_S=$cpu
  RSS_KIB=$rss
}

Stop() {
  kill "$PROGRAM_PID" 2>/dev/null || true
  wait "$STARTER_PID" 2>/dev/null || true
  PROGRAM_PID=""
  STARTER_PID=""
}

# The keyboard focus to a small window of another program, away from the measured one: its
# window is no longer active, and a text field in it no longer blinks its caret.
Unfocus() {
  local window
  window=$(xdotool search --classname pekto-xspeed-focus 2>/dev/null | head -n1)
  [ -n "$window" ] || return 1
  xdotool windowactivate --sync "$window" 2>/dev/null || return 1
  [ "$(FocusedPid)" != "$PROGRAM_PID" ]
}

EnsureFocus() {
  [ "$(FocusedPid)" = "$PROGRAM_PID" ] && return 0
  local window
  window=$(xdotool search --pid "$PROGRAM_PID" --onlyvisible 2>/dev/null | head -n1)
  if [ -n "$window" ]; then xdotool windowactivate --sync "$window" 2>/dev/null || true; fi
  [ "$(FocusedPid)" = "$PROGRAM_PID" ]
}

# One measured run: start, memory, idle without and with the focus, typing. Appends a line to
# $TMP/NAME.runs:
#   mapped_s rss_kib key_ms key_ms_sched idle_ms_per_s xserver_key_ms start_cpu_s
#   quiet_key_ms quiet_key_ms_sched quiet_ms_per_s
# (key_ms.. net of the focused idle, quiet_.. net of the idle without the focus).
Measure() {
  local name=$1 envs=$2
  shift 2
  Start "$name" "$envs" "$@"
  if ! EnsureFocus || ! Unfocus; then
    echo "$name: its window did not take or give up the keyboard focus; this run is taken again" >&2
    Stop
    return 1
  fi
  local quiet idle busy
  sleep 0.5  # the window drawn inactive
  quiet=$(Sample)
  sleep "$QUIET_S"
  quiet+=" $(Sample)"
  if ! EnsureFocus; then
    echo "$name: its window did not get the keyboard focus back; this run is taken again" >&2
    Stop
    return 1
  fi
  sleep 0.5  # the window drawn active
  idle=$(Sample)
  sleep "$IDLE_S"
  idle+=" $(Sample)"
  busy=$(Sample)
  TypeKeys
  sleep 0.5  # the last keys are handled and painted
  if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
    # Ended by something else on the machine: a run without its end tells nothing.
    local status=0
    wait "$STARTER_PID" || status=$?
    echo "$name ended during the run (status $status); this run is taken again" >&2
    tail -n 3 "$TMP/$name.log" >&2
    STARTER_PID=""
    PROGRAM_PID=""
    return 1
  fi
  if [ "$(FocusedPid)" != "$PROGRAM_PID" ]; then
    echo "$name lost the focus while typing; this run is taken again" >&2
    Stop
    return 1
  fi
  busy+=" $(Sample)"
  if [ -n "${SHOTS:-}" ]; then  # a picture of the typed window, to see that the keys arrived
    mkdir -p "$SHOTS"
    import -window "$(xdotool getwindowfocus)" "$SHOTS/$name-$run.png" 2>/dev/null || true
  fi
  Stop
  awk -v idle="$idle" -v quiet="$quiet" -v busy="$busy" \
    -v tck="$CLK_TCK" -v keys="$KEYS" -v mapped="$MAPPED_S" -v rss="$RSS_KIB" \
    -v startCpu="$START_CPU_S" 'BEGIN {
      split(idle, i, " "); split(quiet, q, " "); split(busy, b, " ")
      idleS = i[8] - i[4]; quietS = q[8] - q[4]; busyS = b[8] - b[4]
      # ms of processor time per second idle, then per key net of idle over the typing time
      idleTick = (i[5] - i[1]) * 1000 / tck / idleS
      idleNs = (i[6] - i[2]) / 1e6 / idleS
      idleX = (i[7] - i[3]) * 1000 / tck / idleS
      quietTick = (q[5] - q[1]) * 1000 / tck / quietS
      quietNs = (q[6] - q[2]) / 1e6 / quietS
      key = ((b[5] - b[1]) * 1000 / tck - idleTick * busyS) / keys
      keyNs = ((b[6] - b[2]) / 1e6 - idleNs * busyS) / keys
      keyX = ((b[7] - b[3]) * 1000 / tck - idleX * busyS) / keys
      quietKey = ((b[5] - b[1]) * 1000 / tck - quietTick * busyS) / keys
      quietKeyNs = ((b[6] - b[2]) / 1e6 - quietNs * busyS) / keys
      printf "%s %s %.4f %.4f %.4f %.4f %s %.4f %.4f %.4f\n", mapped, rss, key, keyNs, idleNs,
        keyX, startCpu, quietKey, quietKeyNs, quietNs
    }' >>"$TMP/$name.runs"
}

# The command line and extra environment of one program: sets COMMAND and COMMAND_ENV.
Command() {
  case $1 in
    pekto) COMMAND=("$PEKTO" "$TMP/xspeed.lck") COMMAND_ENV=${PEKTO_ENV:-} ;;
    floor) COMMAND=("$FLOOR") COMMAND_ENV=${FLOOR_ENV:-} ;;
    other) COMMAND=("$COMPARE" "$TMP/xspeed.lck") COMMAND_ENV=${PEKTO_ENV:-} ;;
  esac
}

# ---- the run -----------------------------------------------------------------------------

StartX
MakeLesson
export XDG_DATA_HOME="$TMP/data" XDG_CONFIG_HOME="$TMP/config" XDG_RUNTIME_DIR="$TMP/runtime"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb

LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
echo "X display $DISPLAY; $RUNS runs of $KEYS keys, $DELAY_MS ms apart; load $LOAD_BEFORE" >&2

# Warm starts: the first start of each program fills the file cache (and Pekto's data folder).
for name in "${PROGRAMS[@]}"; do
  Command "$name"
  Start "$name" "$COMMAND_ENV" "${COMMAND[@]}"
  Stop
done

for ((run = 1; run <= RUNS; run++)); do
  # Each run starts with the next program, so that a drift in the load weighs on all.
  first=$(((run - 1) % ${#PROGRAMS[@]}))
  order=("${PROGRAMS[@]:first}" "${PROGRAMS[@]:0:first}")
  # The starts in turns: each program started and ended as soon as its window is mapped.
  for ((turn = 1; turn <= START_TURNS; turn++)); do
    for name in "${order[@]}"; do
      Command "$name"
      RSS_AFTER_S=0 Start "$name" "$COMMAND_ENV" "${COMMAND[@]}"
      echo "$MAPPED_S $START_CPU_S" >>"$TMP/$name.starts"
      Stop
    done
  done
  for name in "${order[@]}"; do
    echo "run $run/$RUNS: $name" >&2
    Command "$name"
    for attempt in 1 2 3; do
      Measure "$name" "$COMMAND_ENV" "${COMMAND[@]}" && break
      [ "$attempt" -lt 3 ] || { echo "$name: no whole run in three attempts" >&2; exit 1; }
    done
  done
done

LOAD_AFTER=$(cut -d' ' -f1-3 /proc/loadavg)

# Profiles apart from the measured runs: the sampling itself costs the program time.
if [ -n "${PERF:-}" ]; then
  mkdir -p "$PERF"
  for name in "${PROGRAMS[@]}"; do
    echo "profile: $name" >&2
    Command "$name"
    Start "$name" "$COMMAND_ENV" "${COMMAND[@]}"
    EnsureFocus || echo "$name: its window did not get the keyboard focus" >&2
    perf record -F 2000 --call-graph dwarf,16384 -p "$PROGRAM_PID" -o "$PERF/$name.data" \
      2>>"$TMP/perf.log" &
    PERF_PID=$!
    sleep 0.5
    TypeKeys
    kill -INT "$PERF_PID"
    wait "$PERF_PID" || true
    PERF_PID=""
    Stop
  done
fi

# Instructions per key under callgrind: counted from zero over an idle stretch without the
# focus, then over the typing; the idle count per second is taken off as in the measured runs.
if [ -n "${CALLGRIND:-}" ]; then
  for name in "${PROGRAMS[@]}"; do
    echo "callgrind: $name" >&2
    Command "$name"
    mkdir -p "$TMP/cg-$name"
    read -ra extra <<<"${COMMAND_ENV:-}"
    env "${extra[@]}" valgrind --tool=callgrind --callgrind-out-file="$TMP/cg-$name/out.%p" \
      "${COMMAND[@]}" >>"$TMP/$name.log" 2>&1 &
    PROGRAM_PID=$!
    for ((i = 0; i < 1200; i++)); do
      [ -n "$(xdotool search --pid "$PROGRAM_PID" --onlyvisible 2>/dev/null)" ] && break
      sleep 0.1
    done
    sleep 20  # the start and the splash are over
    EnsureFocus && Unfocus || echo "$name: its window did not take or give up the focus" >&2
    sleep 1
    callgrind_control -z "$PROGRAM_PID" >/dev/null 2>&1
    t0=$(Now)
    sleep "$QUIET_S"
    t1=$(Now)
    callgrind_control -d idle "$PROGRAM_PID" >/dev/null 2>&1
    EnsureFocus || echo "$name: its window did not get the keyboard focus" >&2
    sleep 1
    callgrind_control -z "$PROGRAM_PID" >/dev/null 2>&1
    t2=$(Now)
    TypeKeys
    sleep 1
    t3=$(Now)
    callgrind_control -d typing "$PROGRAM_PID" >/dev/null 2>&1
    kill "$PROGRAM_PID" 2>/dev/null || true
    wait "$PROGRAM_PID" 2>/dev/null || true
    PROGRAM_PID=""
    idle=$(awk '/^summary:/ { print $2 }' "$TMP"/cg-"$name"/out.*.1)
    typing=$(awk '/^summary:/ { print $2 }' "$TMP"/cg-"$name"/out.*.2)
    awk -v i="$idle" -v t="$typing" -v t0="$t0" -v t1="$t1" -v t2="$t2" -v t3="$t3" \
      -v keys="$KEYS" 'BEGIN { printf "%.0f\n", (t - i / (t1 - t0) * (t3 - t2)) / keys }' \
      >"$TMP/$name.instructions"
  done
fi

Median() {  # column $2 of file $1
  sort -g -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END {
    printf "%.6f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# file kind (runs or starts), label, column, scale, format: each program's median, then each
# against the floor
RowOf() {
  local name medians=()
  for name in "${PROGRAMS[@]}"; do medians+=("$(Median "$TMP/$name.$1" "$3")"); done
  awk -v l="$2" -v m="${medians[*]}" -v s="$4" -v fmt="$5" 'BEGIN {
    n = split(m, v, " ")
    printf "%-46s", l
    for (i = 1; i <= n; i++) printf " " fmt, v[i] * s
    for (i = 1; i <= n; i++) {
      if (i == 2) continue
      if (v[2] != 0) printf "  %5.2f x", v[i] / v[2]; else printf "      -"
    }
    printf "\n"
  }'
}

Row() { RowOf runs "$@"; }

echo
echo "Pekto against the floor (bare QPlainTextEdit window), median of $RUNS warm starts (the start:"
echo "median of $((RUNS * START_TURNS)) starts of each, in turns),"
echo "$KEYS keys typed ${DELAY_MS} ms apart; load average before $LOAD_BEFORE, after $LOAD_AFTER"
if [ -n "${COMPARE:-}" ]; then
  printf '%-46s %9s %9s %9s  %7s  %7s\n' "" "Pekto" "floor" "other" "ratio" "other"
else
  printf '%-46s %9s %9s  %s\n' "" "Pekto" "floor" "ratio"
fi
RowOf starts "Start: exec to window mapped (s)" 1 1 "%9.3f"
Row "Resident memory ${RSS_AFTER} s after start (MiB)" 2 "$(awk 'BEGIN { print 1 / 1024 }')" "%9.1f"
Row "Processor time per key, net of idle (ms)" 8 1 "%9.2f"
echo "Also:"
RowOf starts "  processor time until mapped (s)" 2 1 "%9.3f"
Row "  start before each typing run (s)" 1 1 "%9.3f"
Row "  its processor time until mapped (s)" 7 1 "%9.3f"
Row "  processor time per key, scheduler clock (ms)" 9 1 "%9.2f"
Row "  idle processor time (ms per second)" 10 1 "%9.2f"
Row "  per key, net of idle with the caret blinking" 3 1 "%9.2f"
Row "  the same, scheduler clock (ms)" 4 1 "%9.2f"
Row "  idle with the caret blinking (ms per second)" 5 1 "%9.2f"
Row "  X server's time per key, net (ms)" 6 1 "%9.2f"
if [ -n "${CALLGRIND:-}" ]; then
  printf '%-46s' "  instructions per key, net of idle (callgrind)"
  for name in "${PROGRAMS[@]}"; do printf ' %9s' "$(cat "$TMP/$name.instructions")"; done
  awk -v m="$(for name in "${PROGRAMS[@]}"; do cat "$TMP/$name.instructions"; done | tr '\n' ' ')" \
    'BEGIN { n = split(m, v, " "); for (i = 1; i <= n; i++) if (i != 2) printf "  %5.2f x", v[i] / v[2]; printf "\n" }'
fi
echo
echo "Each run (mapped_s rss_kib key_ms key_ms_sched idle_ms_per_s xserver_key_ms start_cpu_s"
echo "          quiet_key_ms quiet_key_ms_sched quiet_ms_per_s; key_.. and idle_.. with the focus):"
for name in "${PROGRAMS[@]}"; do
  sed "s/^/  $name /" "$TMP/$name.runs"
done
echo "The starts in turns (mapped_s):"
for name in "${PROGRAMS[@]}"; do
  echo "  $name $(awk '{ printf "%s ", $1 }' "$TMP/$name.starts")"
done
