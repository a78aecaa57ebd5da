#!/usr/bin/env bash
# Process-level check: brevonne3d /S on a virtual display ends with exit code
# 0 on a key press, and the other modes behave.
set -uo pipefail
EXE=$1
fail() { echo "FAIL: $*"; exit 1; }

"$EXE" /P 1234; [ $? -eq 0 ] || fail "/P did not exit 0"
out=$("$EXE" 2>&1); [ $? -eq 0 ] || fail "empty command line did not exit 0"
echo "$out" | grep -q "/S" || fail "no usage hint for an empty command line"
"$EXE" -s; [ $? -eq 0 ] || fail "-s did not exit 0"
"$EXE" --help | grep -q "/C" || fail "--help does not list the modes"

export XDG_CONFIG_HOME=$(mktemp -d) XDG_CACHE_HOME=$(mktemp -d)
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  "$1" /S > "$2/log.txt" 2>&1 &
  pid=$!
  for i in $(seq 1 100); do
    grep -q "Attaching to window...succeeded" "$2/log.txt" 2>/dev/null && break
    sleep 0.2
  done
  sleep 1
  xdotool key space
  for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
  if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo "still running after the key press"; exit 3; fi
  wait $pid
' _ "$EXE" "$XDG_CACHE_HOME"
rc=$?
cat "$XDG_CACHE_HOME/log.txt"
[ $rc -eq 0 ] || fail "/S ended with code $rc"
grep -q "Destroying window" "$XDG_CACHE_HOME/log.txt" || fail "the window was not destroyed in order"
echo "1 passed, 0 failed"
