# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the Windows scripts: runs a program with a time limit and, when it ends other than
# by itself, says what ended it, after how long and who may have sent the signal.
#
#   watched LABEL SECONDS COMMAND [ARGS...]
#
# The limits are for hangs, not for speed: each is many times what the run takes on a 2-core
# machine with other builds on it. At the limit the program gets SIGTERM, and SIGKILL 30 s later
# if it is still there. Returns COMMAND's exit status (124 or 137 after the limit).
#
# Who else sends SIGKILL here: Wine's server kills a Windows process's Unix process when it has
# not gone about a second after the Windows side ended it (its own exit, TerminateProcess or
# `wineserver -k`), which a busy machine may delay that long; and the kernel's OOM killer.

# "status 3", or the signal's name for a status above 128.
describe_status() {
  if [ "$1" -gt 128 ] && [ "$1" -lt 160 ]; then
    echo "signal SIG$(kill -l "$(($1 - 128))") (status $1)"
  else
    echo "status $1"
  fi
}

watched() {
  local label=$1 limit=$2 start status=0 seconds
  shift 2
  start=$SECONDS
  timeout --kill-after=30 "$limit" "$@" || status=$?
  seconds=$((SECONDS - start))
  if [ "$status" = 124 ]; then
    echo "FAIL: $label did not end within $limit s: stopped with SIGTERM" >&2
  elif [ "$status" -gt 128 ] && [ "$seconds" -ge "$limit" ]; then
    echo "FAIL: $label did not end within $limit s nor 30 s after SIGTERM: ended by" \
      "$(describe_status "$status")" >&2
  elif [ "$status" -gt 128 ]; then
    echo "KILLED: $label was ended after $seconds s by $(describe_status "$status"), sent by no" \
      "limit of these scripts (limit $limit s)" >&2
    if [ "$status" = 137 ]; then
      local oom
      oom=$(dmesg 2>/dev/null | grep -i -E 'out of memory|oom-kill|killed process' | tail -n 3) ||
        oom=""
      echo "  SIGKILL comes from Wine's server (a process slow to go after it was ended) or from" \
        "the kernel's OOM killer, ${oom:+which says:}${oom:-of which dmesg says nothing}" >&2
      [ -z "$oom" ] || echo "$oom" >&2
    fi
  fi
  return "$status"
}

# Whether a run that SIGKILL ended (status $1) had done all its work and passed, as its report
# (file $2) says: a line matching $3, none matching $4. Wine's server kills a Windows process
# whose Unix side is still going about a second after the Windows side ended, which on a busy
# machine can meet a test program on its way out, its report whole. Says so when it is.
passed_before_kill() {
  [ "$1" = 137 ] && [ -f "$2" ] && grep -q -- "$3" "$2" && ! grep -q -- "$4" "$2" || return 1
  echo "  its report is whole and passed: the SIGKILL came on its way out, which Wine's" \
    "server does to a process slow to go; counted as passed" >&2
}
