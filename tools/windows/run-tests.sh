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

echo "windows tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
