#!/usr/bin/env bash
# Motion clips: runs the review tour with consecutive frames
# (`brevonne3d /S -tour SHOTS FOLDER -tourframes FRAMES`, through tools/tour.sh)
# and joins each camera path's frames into one animated WebP with img2webp
# (Debian package webp, installed by `tools/install-deps.sh --clip`):
# BUILD_DIR/clip/<path index>_<path name>.webp. The single frames stay in
# BUILD_DIR/clip/frames/ for looking at one by one.
#
# Usage: tools/clip.sh [BUILD_DIR [FRAMES [SHOTS]]]
#   FRAMES  default 30 (CLIP_FRAMES): consecutive frames per shot, one flight step (1/30 s) apart
#   SHOTS   default 1 (CLIP_SHOTS): shots per path, at evenly spaced path parameters
# Environment: CLIP_SIZE (default 640x360), CLIP_QUALITY (default 80).
set -uo pipefail
BUILD_DIR=${1:-build}
FRAMES=${2:-${CLIP_FRAMES:-30}}
SHOTS=${3:-${CLIP_SHOTS:-1}}
OUT="$BUILD_DIR/clip"
FRAMES_DIR="$OUT/frames"
QUALITY=${CLIP_QUALITY:-80}
command -v img2webp >/dev/null || { echo "clip: img2webp is missing (tools/install-deps.sh --clip)" >&2; exit 1; }

mkdir -p "$OUT"
rm -f "$OUT"/*.webp
TOUR_SIZE=${CLIP_SIZE:-640x360} bash "$(dirname "$0")/tour.sh" "$BUILD_DIR" "$SHOTS" "$FRAMES_DIR" -tourframes "$FRAMES" || exit 1

status=0
# The frames are <path index>_<name>_<shot>_<frame>.png; one clip per path, its shots in order.
for path in $(ls "$FRAMES_DIR"/*.png | sed 's|.*/||; s|_[0-9]*_[0-9]*\.png$||' | sort -u); do
  files=$(ls "$FRAMES_DIR/${path}"_*_*.png | sort -V)
  # 33 ms a frame: the flight's own step.
  if img2webp -loop 0 -lossy -q "$QUALITY" -d 33 $files -o "$OUT/$path.webp" >/dev/null 2>&1; then
    echo "clip: $OUT/$path.webp ($(echo "$files" | wc -w) frames)"
  else
    echo "clip: img2webp failed for $path" >&2
    status=1
  fi
done
exit $status
