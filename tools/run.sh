#!/usr/bin/env bash
# Starts the screensaver from the build folder. With no display at all it
# runs on a virtual one for a few seconds and says where the screenshot and
# the log went.
set -uo pipefail
BUILD_DIR=${1:-build}
EXE="$BUILD_DIR/app/brevonne3d"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$EXE" /S
fi
OUT="$BUILD_DIR/run"
mkdir -p "$OUT"
LOG="$OUT/brevonne3d.log"
SHOT="$OUT/screenshot.png"
echo "No display found: running brevonne3d /S on a virtual 1280x720 display for a few seconds..."
xvfb-run -a -s "-screen 0 1280x720x24" bash -c '
  "$1" /S > "$2" 2>&1 &
  pid=$!
  sleep "${RUN_SECONDS:-8}"
  import -window root "$3" 2>/dev/null || true
  xdotool key space 2>/dev/null || kill $pid
  wait $pid
  echo "brevonne3d exited with code $?" >> "$2"
' _ "$EXE" "$LOG" "$SHOT"
echo "Log:        $LOG"
echo "Screenshot: $SHOT"
tail -n 1 "$LOG"
