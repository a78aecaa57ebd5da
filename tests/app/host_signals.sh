#!/usr/bin/env bash
# Process-level checks of how a run ends when it is not a key that ends it:
# SIGTERM, SIGINT and SIGHUP in a window of its own and in the full-screen
# run (also while the scene still loads), SIGSTOP for a while and SIGCONT,
# and several instances side by side, one of them killed with SIGKILL.
# Needs a display: run it under xvfb-run.
set -uo pipefail
EXE=$1
# Sanitizer builds run several times slower: their time limits are scaled.
SCALE=${VELMORA_TIME_SCALE:-1}
WORK=$(mktemp -d)
export XDG_CACHE_HOME=$WORK/cache XDG_CONFIG_HOME=$WORK/config
CACHE=$XDG_CACHE_HOME/Quillmere
PIDS=()
cleanup() {
  for p in "${PIDS[@]}"; do kill -9 "$p" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$WORK"/*.log; do [ -f "$f" ] && { echo "--- $f"; tail -20 "$f"; }; done; exit 1; }

# Starts the program with the given arguments, logging to $WORK/$1.log; sets STARTED to its pid.
start() {
  local name=$1; shift
  "$EXE" "$@" > "$WORK/$name.log" 2>&1 &
  STARTED=$!
  PIDS+=("$STARTED")
}
# Waits until the named run flies (at most 60 s).
wait_flying() {
  for _ in $(seq 1 $((300 * SCALE))); do
    # The first frames also compile the shaders (seconds on a software rasterizer, and a frame is
    # not cut short): the measurement starts once the flight is under way.
    grep -q "Flight started" "$WORK/$1.log" 2>/dev/null && { sleep $((3 * SCALE)); return 0; }
    kill -0 "$2" 2>/dev/null || fail "$1 ended before it flew"
    sleep 0.2
  done
  fail "$1 did not start flying"
}
# Sends a signal and waits for the end; prints the milliseconds it took and fails on a bad end.
stop_with() {
  local signal=$1 pid=$2 name=$3 limit_ms=${4:-1000}
  local t0 t1 rc
  t0=$(date +%s%N)
  kill -"$signal" "$pid"
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
  for _ in $(seq 1 500); do kill -0 "$pid" 2>/dev/null || break; sleep 0.02; done
  kill -0 "$pid" 2>/dev/null && fail "$name still runs 10 s after SIG$signal"
  t1=$(date +%s%N)
  wait "$pid"; rc=$?
  local ms=$(( (t1 - t0) / 1000000 ))
  echo "$name: SIG$signal ended the run in $ms ms, code $rc"
  [ "$rc" -eq 0 ] || fail "$name ended with code $rc after SIG$signal"
  [ "$ms" -le $((limit_ms * SCALE)) ] || fail "$name took $ms ms to end after SIG$signal"
  grep -q "Destroying window" "$WORK/$name.log" || fail "$name did not shut down in order"
}
no_copies_left() {
  local left
  left=$(ls -A "$CACHE" 2>/dev/null | grep '^\.pk' || true)
  [ -z "$left" ] || fail "left in the cache folder: $left"
}

for signal in TERM INT HUP; do
  start "window-$signal" --window --no-sound
  pid=$STARTED
  wait_flying "window-$signal" "$pid"
  stop_with "$signal" "$pid" "window-$signal"
  no_copies_left
done
[ ! -e "$XDG_CONFIG_HOME/Quillmere/Brevonne_3D/Settings" ] || [ "$(stat -c %s "$XDG_CONFIG_HOME/Quillmere/Brevonne_3D/Settings")" -eq 356 ] \
  || fail "a window run damaged the settings"

# The full-screen run stores its settings as after a key press.
rm -rf "$XDG_CONFIG_HOME"
start full-TERM /S
pid=$STARTED
wait_flying full-TERM "$pid"
stop_with TERM "$pid" full-TERM
[ "$(stat -c %s "$XDG_CONFIG_HOME/Quillmere/Brevonne_3D/Settings" 2>/dev/null)" = 356 ] || fail "/S did not store its settings"
no_copies_left

# A signal while the scene loads ends the run as well.
start loading /S
pid=$STARTED
for _ in $(seq 1 200); do grep -q "Attaching to window...succeeded" "$WORK/loading.log" 2>/dev/null && break; sleep 0.05; done
stop_with TERM "$pid" loading 2000
no_copies_left

# Stopped for five seconds (as MATE does behind its unlock dialog) and continued: it flies on.
start stopped --window --no-sound --fps
pid=$STARTED
wait_flying stopped "$pid"
kill -STOP "$pid"
sleep 5
kill -CONT "$pid"
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the run did not survive SIGSTOP and SIGCONT"
lines=$(wc -l < "$WORK/stopped.log")
sleep 1
[ "$(wc -l < "$WORK/stopped.log")" -ge "$lines" ] || fail "no frames after SIGCONT"
stop_with TERM "$pid" stopped
no_copies_left

# Instances side by side: a full-screen run, a window run killed with SIGKILL, and one started
# after that, which removes what the killed one left. The full-screen run's copy stays intact.
start side-full /S
full=$STARTED
wait_flying side-full "$full"
full_copy="$CACHE/.pk.$full"
[ -f "$full_copy" ] || fail "no copy of the archive for the full-screen run"
sum=$(md5sum < "$full_copy")
start side-killed --window
killed=$STARTED
wait_flying side-killed "$killed"
kill -9 "$killed"; wait "$killed" 2>/dev/null
[ -f "$CACHE/.pk.$killed" ] || fail "expected the killed instance's copy to be left"
start side-next --window --no-sound
next=$STARTED
wait_flying side-next "$next"
[ ! -e "$CACHE/.pk.$killed" ] || fail "the next start did not remove the killed instance's copy"
[ "$(md5sum < "$full_copy")" = "$sum" ] || fail "the full-screen run's copy changed"
# Two flights share the processors here: a frame, which a signal does not cut short, takes longer.
stop_with TERM "$next" side-next 3000
[ "$(md5sum < "$full_copy")" = "$sum" ] || fail "ending another instance changed the full-screen run's copy"
kill -0 "$full" 2>/dev/null || fail "the full-screen run ended with the others"
# A key ends the full-screen run, as ever.
window=$(xdotool search --pid "$full" 2>/dev/null | head -1)
[ -n "$window" ] && xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key space
for _ in $(seq 1 100); do kill -0 "$full" 2>/dev/null || break; sleep 0.1; done
kill -0 "$full" 2>/dev/null && fail "the key press did not end the full-screen run"
wait "$full"; rc=$?
[ "$rc" -eq 0 ] || fail "the full-screen run ended with code $rc"
no_copies_left
echo PASS
