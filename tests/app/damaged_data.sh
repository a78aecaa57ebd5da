#!/usr/bin/env bash
# The whole program on damaged data: for each kind of file the screensaver
# reads (textures of each format, a mesh, the scene, the terrain, fonts, a
# shader, sounds of both formats) a copy of the generated data folder gets that
# file truncated or with bytes flipped, and `brevonne3d-bare /S -path COPY
# -bench 30` flies over it on a virtual display. Every run must end by itself
# with exit code 0 or 1, never with a signal or a hang; code 1 must come with
# the error text on standard error, and a truncated file must leave a warning
# in the log (a line in the engine's style, "cClass::Method : ...", or naming
# the file, that a run on the intact copy does not print). A broken texture
# leaves the scene without it, a broken sound is silence: the flight still
# ends with its figures. (DDS cube maps are left out: the screensaver reads
# none; the fuzz target tests that loader.)
#
#   tests/app/damaged_data.sh BUILD_DIR [slice|full [KIND...]]
#
# slice (CTest, `make test`): one damaged copy per kind, the damage rotating
# over the kinds. full (`make damaged-data`): every damage for every kind, and
# the file missing; KINDs pick some of the kinds below. Each run costs seconds
# with Mesa's software rasterizer. An Ogg stream cut in half is still a
# shorter stream (the format states no length), so it may play without a
# warning.
set -uo pipefail
BUILD=$(cd "${1:?usage: damaged_data.sh BUILD_DIR [slice|full [KIND...]]}" && pwd)
MODE=${2:-slice}
shift 2 2>/dev/null || shift $#
ONLY=("$@")
EXE="$BUILD/app/brevonne3d-bare"   # without appended data: everything comes from the copy
DATA="$BUILD/data"
# Seconds one run may take before it counts as a hang (sanitizer builds scale it by VELMORA_TIME_SCALE).
RUN_SECONDS=${DAMAGED_DATA_TIMEOUT:-$((180 * ${VELMORA_TIME_SCALE:-1}))}
[ -x "$EXE" ] || { echo "damaged_data: $EXE is missing (make build)"; exit 1; }
[ -f "$DATA/scene/.scene" ] || { echo "damaged_data: no generated data in $DATA (make build)"; exit 1; }

# One virtual display for every run (the script runs itself again inside xvfb-run).
if [ -z "${DAMAGED_DATA_XVFB:-}" ]; then
  export DAMAGED_DATA_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x720x24" "$0" "$BUILD" "$MODE" "${ONLY[@]}"
fi

export LIBGL_ALWAYS_SOFTWARE=1 MESA_SHADER_CACHE_DISABLE=true ALSOFT_DRIVERS=null
WORK=$(mktemp -d "${TMPDIR:-/tmp}/brevonne_damaged.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache"

# kind  file below the data folder (one the flight reads)
KINDS=(
  "tga      textures/vegetation/palm_frond.tga"
  "jpeg     textures/terrain/grass.jpg"
  "dds      textures/terrain/rock.dds"
  "mesh     meshes/vegetation/palm_tall.mesh"
  "scene    scene/.scene"
  "terrain  scene/.terrain"
  "font     fonts/default.fnt"
  "shader   shaders/common/terrain_ogl.txt"
  "ogg      sounds/surf_beach.ogg"
  "wav      sounds/birds.wav"
)
DAMAGES=(empty half head flip-head flip-spread)
[ "$MODE" = full ] && DAMAGES+=(missing)

# Writes the damaged form of file $1 to $2.
damage() {
  local src=$1 dst=$2 how=$3 size
  size=$(stat -c %s "$src")
  case $how in
    empty) : >"$dst" ;;
    half) head -c $((size / 2)) "$src" >"$dst" ;;
    head) head -c $((size < 40 ? size / 2 : 40)) "$src" >"$dst" ;;
    flip-head | flip-spread)
      python3 - "$src" "$dst" "$how" <<'PY'
import random, sys
data = bytearray(open(sys.argv[1], 'rb').read())
rng = random.Random(len(data))
span = min(len(data), 512) if sys.argv[3] == 'flip-head' else len(data)
for _ in range(8 if sys.argv[3] == 'flip-head' else 64):
    if span: data[rng.randrange(span)] ^= 1 << rng.randrange(8)
open(sys.argv[2], 'wb').write(data)
PY
      ;;
    missing) ;;
  esac
}

# Runs the screensaver on folder $1; output in $2.out / $2.err, exit code in $2.rc.
fly() {
  local folder=$1 out=$2
  rm -rf "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  timeout -k 10 "$RUN_SECONDS" "$EXE" /S -path "$folder" -bench 30 >"$out.out" 2>"$out.err"
  echo $? >"$out.rc"
}

# The lines runs print, numbers and the data folder blanked (so sizes, timings and copies compare equal).
lines() { cat "$@" | sed -E "s|$WORK/[a-z]+|FOLDER|g; s/\b[0-9]+(\.[0-9]+)?\b/N/g" | sort -u; }

# The new lines of run $1 that warn: in the engine's style ("cClass::Method : ...") or naming file $2.
warnings() {
  lines "$1.out" "$1.err" | comm -13 "$WORK/reference.lines" - |
    { grep -E "c[A-Z][A-Za-z0-9_]*::[A-Za-z0-9_]+[^:]* : |$(basename "$2" | sed 's/[.]/[.]/g')" || true; }
}

run_all() {
  local failures=0 runs=0 index=0
  mkdir -p "$WORK/clean"
  cp -r "$DATA" "$WORK/clean/data"
  fly "$WORK/clean" "$WORK/reference"
  if [ "$(cat "$WORK/reference.rc")" != 0 ]; then
    echo "FAIL: the intact data does not fly (exit $(cat "$WORK/reference.rc"))"
    tail -n 20 "$WORK/reference.out" "$WORK/reference.err"
    return 1
  fi
  lines "$WORK/reference.out" "$WORK/reference.err" >"$WORK/reference.lines"
  for entry in "${KINDS[@]}"; do
    read -r kind file <<<"$entry"
    if [ ${#ONLY[@]} -gt 0 ] && [[ ! " ${ONLY[*]} " =~ " $kind " ]]; then continue; fi
    local damages=("${DAMAGES[@]}")
    [ "$MODE" = full ] || damages=("${DAMAGES[$((index % ${#DAMAGES[@]}))]}")
    index=$((index + 1))
    for how in "${damages[@]}"; do
      local copy="$WORK/copy" tag="$kind-$how"
      rm -rf "$copy"
      mkdir -p "$copy"
      cp -al "$WORK/clean/data" "$copy/data"       # hard links: only the damaged file is new
      rm -f "$copy/data/$file"
      damage "$WORK/clean/data/$file" "$copy/data/$file" "$how"
      local start=$SECONDS
      fly "$copy" "$WORK/$tag"
      runs=$((runs + 1))
      local rc verdict="" note=""
      rc=$(cat "$WORK/$tag.rc")
      if [ "$rc" -ne 0 ] && [ "$rc" -ne 1 ]; then
        if [ "$rc" -ge 124 ] && [ "$rc" -le 137 ] && [ $((SECONDS - start)) -ge "$RUN_SECONDS" ]; then
          verdict="hang (killed after ${RUN_SECONDS} s)"
        else
          verdict="exit code $rc"
          [ "$rc" -gt 128 ] && verdict="signal $((rc - 128)) (exit code $rc)"
        fi
      elif grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error: " "$WORK/$tag.err"; then
        verdict="sanitizer report: $(grep -m1 -oE "(ERROR: .*|runtime error: .*)" "$WORK/$tag.err")"
      elif [ "$rc" -eq 1 ] && [ ! -s "$WORK/$tag.err" ]; then
        verdict="exit code 1 without an error text on standard error"
      fi
      local new
      new=$(warnings "$WORK/$tag" "$file")
      case $kind-$how in
        ogg-half) ;;
        *-empty | *-half | *-head | *-missing)
          [ -z "$verdict" ] && [ "$rc" -eq 0 ] && [ -z "$new" ] && verdict="no warning about the damaged file" ;;
      esac
      [ "$rc" -eq 0 ] && ! grep -q "^flight benchmark:" "$WORK/$tag.out" && [ -z "$verdict" ] &&
        verdict="exit code 0 without the flight's figures"
      note=$(head -n 1 <<<"$new")
      [ "$rc" -eq 1 ] && note="error: $(head -n 1 "$WORK/$tag.err")"
      if [ -n "$verdict" ]; then
        failures=$((failures + 1))
        printf 'FAIL  %-20s %s (%d s)\n' "$tag" "$verdict" $((SECONDS - start))
        tail -n 15 "$WORK/$tag.out" | sed 's/^/      out: /'
        tail -n 15 "$WORK/$tag.err" | sed 's/^/      err: /'
        mkdir -p "$BUILD/damaged-data"
        cp "$copy/data/$file" "$BUILD/damaged-data/$tag.$(basename "$file" | sed 's/^\.//')" 2>/dev/null
      else
        printf 'ok    %-20s exit %s (%d s) %s\n' "$tag" "$rc" $((SECONDS - start)) "${note:0:110}"
      fi
    done
  done
  echo "$((runs - failures)) passed, $failures failed"
  [ $failures -eq 0 ]
}

run_all
