#!/usr/bin/env bash
# start_close_soak.sh [COUNT] [PROGRAM]: starts the program COUNT times (200 by default) on a
# private Xvfb display with openbox, waits for its window, closes it with SIGTERM, and fails on
# the first start that does not end with 0 (an abort, a sanitizer report, a hang). Meant for the
# sanitizer build: tests/start_close_soak.sh 200 build-sanitize/tolvane
set -euo pipefail
count="${1:-200}"
here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${2:-$here/build-sanitize/tolvane}")"
work="$(mktemp -d /tmp/tolvane-soak-XXXXXX)"
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  [ -n "${server:-}" ] && kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cookie="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
xauth -q -f "$work/Xauthority" add :0 . "$cookie" 2>/dev/null
exec 3> "$work/display"
Xvfb -displayfd 3 -auth "$work/Xauthority" -screen 0 1280x1024x24 -nolisten tcp 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")" XAUTHORITY="$work/Xauthority"
xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"
HOME="$work" openbox --sm-disable 2>"$work/openbox.log" &
wm=$!
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done

export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp"
for run in $(seq "$count"); do
  "$program" >"$work/run.log" 2>&1 &
  pid=$!
  for _ in $(seq 200); do
    xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && break
    sleep 0.05
  done
  kill -TERM "$pid" 2>/dev/null || true
  status=0
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null || true
    echo "start $run: no close within 10 s"; cat "$work/run.log"; exit 1
  fi
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ] || grep -q "ERROR: AddressSanitizer\|runtime error" "$work/run.log"; then
    echo "start $run: exit $status"; cat "$work/run.log"; exit 1
  fi
done
echo "$count starts and closes, none aborted"
