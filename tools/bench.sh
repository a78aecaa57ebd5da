#!/usr/bin/env bash
# Builds and runs every benchmark under bench/ and prints its figures.
set -uo pipefail
BUILD_DIR=${1:-build}
status=0
for exe in $(find "$BUILD_DIR/bench" -maxdepth 2 -type f -name 'bench_*' -perm -u+x 2>/dev/null | sort); do
  echo "== $(basename "$exe")"
  "$exe" || status=1
done
exit $status
