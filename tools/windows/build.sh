#!/usr/bin/env bash
# The Windows cross-build: the mingw-w64 libraries (build-deps.sh), the
# content tools for the build machine in BUILD/host, then the cross build in
# BUILD with cmake/mingw-w64.cmake.
#
# Usage: build.sh [BUILD]   (default: build-win)   JOBS=N sets the parallelism.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(mkdir -p "${1:-$ROOT/build-win}" && cd "${1:-$ROOT/build-win}" && pwd)"
JOBS="${JOBS:-2}"
export JOBS

bash "$ROOT/tools/windows/build-deps.sh" "$BUILD/deps"

# Tools the build runs (the island generator) are built for this machine.
echo "windows: building the host tools in $BUILD/host"
nice -n 10 cmake -S "$ROOT" -B "$BUILD/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=OFF >/dev/null
nice -n 10 cmake --build "$BUILD/host" -j"$JOBS" --target brevonne-generate

echo "windows: cross-building in $BUILD"
nice -n 10 cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
  -DVELMORA_WINDOWS_DEPS="$BUILD/deps/prefix" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_HOST_GENERATOR="$BUILD/host/tools/generator/brevonne-generate" >/dev/null
nice -n 10 cmake --build "$BUILD" -j"$JOBS"
