#!/usr/bin/env bash
# The island review tour: runs `brevonne3d /S -tour SHOTS FOLDER` on a virtual
# 1280 x 720 display (Mesa's software rasterizer) with fresh settings and cache
# folders. Every camera path is shown at SHOTS evenly spaced points and each
# frame is written as FOLDER/<path index>_<path name>_<shot>.png.
#
# Usage: tools/tour.sh [BUILD_DIR [SHOTS [FOLDER [OPTION...]]]]
#   BUILD_DIR  default build; the executable is BUILD_DIR/app/brevonne3d
#   SHOTS      default 6 (TOUR_SHOTS); frames per path
#   FOLDER     default BUILD_DIR/tour (TOUR_OUT); emptied of old shots first
#   OPTION     further options for the run, e.g. "-tourframes 30" (consecutive frames per shot)
# Environment: TOUR_SIZE (default 1280x720), BREVONNE_EXE (another executable).
set -uo pipefail
BUILD_DIR=${1:-build}
SHOTS=${2:-${TOUR_SHOTS:-6}}
OUT=${3:-${TOUR_OUT:-$BUILD_DIR/tour}}
SIZE=${TOUR_SIZE:-1280x720}
EXE=${BREVONNE_EXE:-$BUILD_DIR/app/brevonne3d}
shift $(( $# < 3 ? $# : 3 ))

if [ ! -x "$EXE" ]; then
  echo "tour: $EXE is missing; build it first (make build)" >&2
  exit 1
fi
command -v xvfb-run >/dev/null || { echo "tour: xvfb-run is missing (tools/install-deps.sh)" >&2; exit 1; }

mkdir -p "$OUT"
rm -f "$OUT"/*.png
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}
export MESA_SHADER_CACHE_DISABLE=${MESA_SHADER_CACHE_DISABLE:-true}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}

LOG="$OUT/tour.log"
start=$(date +%s)
timeout 900 xvfb-run -a -s "-screen 0 ${SIZE}x24" "$EXE" /S -tour "$SHOTS" "$OUT" "$@" > "$LOG" 2>&1
rc=$?
count=$(find "$OUT" -maxdepth 1 -name '*.png' | wc -l)
if [ $rc -ne 0 ] || [ "$count" -eq 0 ]; then
  echo "tour: the run ended with code $rc after $count shot(s); the end of its log:" >&2
  tail -n 20 "$LOG" >&2
  exit 1
fi
echo "tour: $count shot(s) in $OUT ($(( $(date +%s) - start )) s); log: $LOG"
