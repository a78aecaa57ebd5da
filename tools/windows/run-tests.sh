#!/usr/bin/env bash
# Runs the Windows build's test programs under Wine on a virtual display and
# prints one summary line: "windows tests: N passed, N failed, N skipped".
#
# Usage: run-tests.sh [BUILD]   (default: build-win)
#
# Each run makes a fresh Wine prefix below BUILD and removes it afterwards;
# the Wine server of that prefix and the X server this script started are
# ended by their ids, nothing else. Each program is bounded by `timeout`.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build-win}" && pwd)"
TEST_TIMEOUT="${TEST_TIMEOUT:-600}"
WINE="$(command -v wine || true)"
if [ -z "$WINE" ] || ! command -v Xvfb >/dev/null; then
  echo "run-tests: wine and Xvfb are needed (tools/windows/build-deps.sh installs them)" >&2
  exit 1
fi

PROGRAMS=()
for exe in "$BUILD"/tests/*_tests.exe; do
  [ -f "$exe" ] && PROGRAMS+=("$exe")
done
if [ ${#PROGRAMS[@]} -eq 0 ]; then
  echo "run-tests: no test programs in $BUILD/tests (run make windows first)" >&2
  exit 1
fi

export WINEPREFIX="$BUILD/wine-prefix.$$"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The tests find the build folder through this variable, as a Windows path.
export VELMORA_BINARY_DIR="Z:$BUILD"
LOGS="$BUILD/test-logs"
rm -rf "$LOGS" && mkdir -p "$LOGS"

XVFB_PID=""
cleanup() {
  if [ -d "$WINEPREFIX" ]; then
    timeout 60 wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# A virtual display of our own; Xvfb names the display it took.
DISPLAY_FILE="$LOGS/display"
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$DISPLAY_FILE" 2>"$LOGS/xvfb.log" &
XVFB_PID=$!
for _ in $(seq 1 50); do
  [ -s "$DISPLAY_FILE" ] && break
  sleep 0.1
done
if [ ! -s "$DISPLAY_FILE" ]; then
  echo "run-tests: the virtual display did not start (see $LOGS/xvfb.log)" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$DISPLAY_FILE")"

echo "run-tests: preparing the Wine prefix"
if ! timeout 300 wineboot -i >"$LOGS/wineboot.log" 2>&1; then
  echo "run-tests: wineboot failed (see $LOGS/wineboot.log)" >&2
  exit 1
fi

passed=0; failed=0; skipped=0; broken=()
cd "$ROOT"
for exe in "${PROGRAMS[@]}"; do
  name="$(basename "$exe" .exe)"
  log="$LOGS/$name.log"
  timeout "$TEST_TIMEOUT" "$WINE" "$exe" --gtest_brief=1 >"$log" 2>&1
  status=$?
  # Wine's console writes CRLF line ends.
  sed -i 's/\r$//' "$log"
  p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n1)
  f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below:.*/\1/p' "$log" | tail -n1)
  s=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below:.*/\1/p' "$log" | tail -n1)
  [ -z "$s" ] && s=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}\.$/\1/p' "$log" | tail -n1)
  p=${p:-0}; f=${f:-0}; s=${s:-0}
  if [ -z "$(grep -m1 '^\[==========\] .* ran\.' "$log")" ]; then
    # Ended before GoogleTest's summary: a crash or the time limit.
    echo "run-tests: $name ended without a summary (exit $status, see $log)"
    f=$((f + 1)); broken+=("$name")
  elif [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then
    echo "run-tests: $name exited with $status (see $log)"
    f=1; broken+=("$name")
  fi
  echo "run-tests: $name: $p passed, $f failed, $s skipped"
  grep '^\[  FAILED  \] [A-Za-z]' "$log" | grep -v 'listed below' | sort -u | sed 's/^/    /'
  passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
done

# The screensaver itself: the modes that draw nothing, then a short flight with each pipeline (the
# registry record switches shaders on and off) whose last frame must show the island.
SCR="$BUILD/brevonne3d.scr"
scr_check() {  # name, then the check's command; counts it as one test
  local name=$1; shift
  if "$@" >"$LOGS/scr-$name.log" 2>&1; then
    echo "run-tests: brevonne3d.scr $name: passed"; passed=$((passed + 1))
  else
    echo "run-tests: brevonne3d.scr $name: FAILED (see $LOGS/scr-$name.log)"; failed=$((failed + 1))
    broken+=("scr-$name")
  fi
}
scr_modes() {
  timeout 60 "$WINE" "$SCR" /P 1234 || return 1
  timeout 60 "$WINE" "$SCR" /X || return 1
  timeout 60 "$WINE" "$SCR" -s || return 1
}
scr_flight() {  # shaders: 1 for the shader pipeline, 0 for the fixed-function one
  local shaders=$1 record frame="$LOGS/scr-frame-$1.png" documents pipeline
  record=$(python3 -c "import struct; print((bytes([1,1,0,1])+struct.pack('<ffiiiiB',0.0,1.0,800,600,32,1,$shaders)+bytes(327)).hex())")
  timeout 60 "$WINE" reg add 'HKCU\Software\Quillmere\Brevonne_3D' /v Settings /t REG_BINARY /d "$record" /f || return 1
  rm -f "$frame"
  timeout 300 "$WINE" "$SCR" /S -bench 20 -capture 20 "Z:${frame//\//\\}" > "$LOGS/scr-flight-$1-run.log" 2>&1
  local status=$?
  sed -i 's/\r$//' "$LOGS/scr-flight-$1-run.log"
  [ "$status" -eq 0 ] || { echo "the flight ended with code $status"; return 1; }
  pipeline=$([ "$shaders" -eq 1 ] && echo "shader" || echo "fixed-function")
  grep -q "^flight benchmark:.* $pipeline pipeline" "$LOGS/scr-flight-$1-run.log" || { echo "no figures of the $pipeline pipeline"; return 1; }
  [ -s "$frame" ] || { echo "no frame written"; return 1; }
  local colours
  colours=$(convert "$frame" -colors 256 -format '%k' info: 2>/dev/null || echo 0)
  echo "frame 20: $colours colours"
  [ "$colours" -ge 32 ] || { echo "the frame shows no island"; return 1; }
  documents=$(find "$WINEPREFIX/drive_c/users" -maxdepth 2 -iname Documents -type d | head -1)
  [ -z "$(ls -A "$documents" 2>/dev/null | grep '^\.pk')" ] || { echo "the unpacked archive was left behind"; return 1; }
}
if [ -f "$SCR" ]; then
  scr_check modes scr_modes
  scr_check flight-shaders scr_flight 1
  scr_check flight-fixed-function scr_flight 0
fi

echo "windows tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
