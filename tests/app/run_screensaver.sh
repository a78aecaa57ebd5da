#!/usr/bin/env bash
# Process-level check: brevonne3d /S on a virtual display ends with exit code
# 0 on a key press and on a 5-pixel mouse move, captures a frame, removes its
# unpacked archive, and the other modes behave. "-emptyscene" keeps the run
# going while the scene has no camera paths.
set -uo pipefail
EXE=$1
fail() { echo "FAIL: $*"; exit 1; }

"$EXE" /P 1234; [ $? -eq 0 ] || fail "/P did not exit 0"
out=$("$EXE" 2>&1); [ $? -eq 0 ] || fail "empty command line did not exit 0"
echo "$out" | grep -q "/S" || fail "no usage hint for an empty command line"
"$EXE" -s; [ $? -eq 0 ] || fail "-s did not exit 0"
# Two dashes start a screensaver host's command line: an option it does not know is refused.
err=$("$EXE" --bogus 2>&1 >/dev/null); [ $? -eq 1 ] || fail "--bogus did not exit 1"
echo "$err" | grep -q "unknown option '--bogus'" || fail "no reason given for --bogus"
echo "$err" | grep -q "usage:" || fail "no usage for --bogus"
"$EXE" --help | grep -q "/C" || fail "--help does not list the modes"

export XDG_CONFIG_HOME=$(mktemp -d) XDG_CACHE_HOME=$(mktemp -d)
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  "$1" /S -emptyscene > "$2/log.txt" 2>&1 &
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

# The packed data is read from its unpacked copy in the cache folder, which goes at the end.
grep -q "in archive '$XDG_CACHE_HOME/Quillmere/.pk\.[0-9]*'" "$XDG_CACHE_HOME/log.txt" || fail "the appended archive was not mounted"
[ -z "$(ls -A "$XDG_CACHE_HOME/Quillmere")" ] || fail "the unpacked archive was left behind"

# Frame 3 is captured to a PNG; moving the mouse 10 pixels ends the run.
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  "$1" /S -emptyscene -capture 3 "$2/frame.png" > "$2/log2.txt" 2>&1 &
  pid=$!
  for i in $(seq 1 150); do [ -s "$2/frame.png" ] && break; sleep 0.2; done
  sleep 0.5
  xdotool mousemove 70 70
  for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
  if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo "still running after the mouse move"; exit 3; fi
  wait $pid
' _ "$EXE" "$XDG_CACHE_HOME"
rc=$?
cat "$XDG_CACHE_HOME/log2.txt"
[ $rc -eq 0 ] || fail "/S -capture ended with code $rc"
[ -s "$XDG_CACHE_HOME/frame.png" ] || fail "no frame was captured"
# PNG signature, then the IHDR width and height: 800 x 600.
header=$(od -An -tx1 -N24 "$XDG_CACHE_HOME/frame.png" | tr -d ' \n')
[ "${header:0:16}" = "89504e470d0a1a0a" ] || fail "the capture is not a PNG"
[ "${header:32:16}" = "0000032000000258" ] || fail "the capture is not 800 x 600 (${header:32:16})"
echo "2 passed, 0 failed"
