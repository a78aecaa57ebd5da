#!/usr/bin/env bash
# The shader step of the Direct3D 9 renderer: compiles every data/shaders/*/*_d3d9.txt to
# shader-model 2 bytecode beside it (".vs.bin", ".ps.bin"), with Wine 10's d3dcompiler_47.dll
# (fetch-compiler.sh) run under Wine in a prefix of its own. The output is deterministic and
# committed, so that builds and the screensaver need no compiler; run this after changing a shader.
#
# Usage: compile.sh [WORK]   (default: build-d3d9/shader-compiler)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
WORK="$(mkdir -p "${1:-$ROOT/build-d3d9/shader-compiler}" && cd "${1:-$ROOT/build-d3d9/shader-compiler}" && pwd)"
bash "$ROOT/tools/windows/shaders/fetch-compiler.sh" "$WORK"

BIN="$WORK/bin"
mkdir -p "$BIN"
nice -n 10 x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -static -I"$ROOT" \
  -o "$BIN/velmora-shaderc.exe" "$ROOT/tools/windows/shaders/ShaderCompiler.cpp"
# The compiler and the DLLs it was built with, as native DLLs beside the program.
cp "$WORK/dlls/"*.dll "$BIN/"

export WINEPREFIX="$WORK/wine-prefix.$$"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;d3dcompiler_47,d3d9,wined3d=n"
cleanup() {
  if [ -d "$WINEPREFIX" ]; then
    timeout 60 wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
}
trap cleanup EXIT

cd "$ROOT"
files=(data/shaders/*/*_d3d9.txt)
timeout 600 wine "$BIN/velmora-shaderc.exe" "${files[@]}" 2>&1 | sed 's/\r$//'
status=${PIPESTATUS[0]}
exit "$status"
