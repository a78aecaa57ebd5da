#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang and libFuzzer (AddressSanitizer
# and UndefinedBehaviorSanitizer, the whole project instrumented) in build-fuzz,
# runs each for a while and prints per target: executions, executions per
# second, coverage (cov / ft from libFuzzer's final line) and findings.
#
#   tools/fuzz.sh [SECONDS_PER_TARGET [TARGET...]]     (make fuzz FUZZ_SECONDS=60)
#
# Each target starts from its seeds (tests/fuzz/corpus/<name>/) and regression
# inputs (tests/fuzz/regressions/<name>/); the corpus it grows stays in
# build-fuzz/fuzz-corpus/<name>/ for the next run. A finding (crash, sanitizer
# report, leak, time-out, memory blow-up) is written to
# build-fuzz/fuzz-findings/<name>/; copy it to tests/fuzz/regressions/<name>/
# once it is fixed, so `make test` keeps running it. Exit code 1 when anything
# was found.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
SECONDS_PER_TARGET=${1:-${FUZZ_SECONDS:-60}}
shift || true
BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
JOBS=${JOBS:-$(nproc)}

FLAGS="-O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DVELMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS="$FLAGS" -DCMAKE_CXX_FLAGS="$FLAGS" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    >"$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log"; exit 2; }
fi
cmake --build "$BUILD" --target velmora_fuzzers -j"$JOBS" >"$BUILD/fuzz-build.log" 2>&1 ||
  { tail -n 40 "$BUILD/fuzz-build.log"; echo "fuzz: build failed (log: $BUILD/fuzz-build.log)" >&2; exit 2; }

if [ $# -gt 0 ]; then
  TARGETS=("$@")
else
  TARGETS=()
  for f in tests/fuzz/fuzz_*.cpp; do n=$(basename "$f" .cpp); TARGETS+=("${n#fuzz_}"); done
fi

# Leaks inside the system libraries that cannot be mended here are suppressed by name (lsan.supp says why).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export LSAN_OPTIONS="suppressions=$ROOT/tests/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null

total_findings=0
printf '%-10s %12s %8s %7s %7s %9s\n' target executions exec/s cov ft findings
for name in "${TARGETS[@]}"; do
  program="$BUILD/tests/fuzz/fuzz_$name"
  [ -x "$program" ] || { echo "fuzz: no target '$name'" >&2; exit 2; }
  corpus="$BUILD/fuzz-corpus/$name"
  findings="$BUILD/fuzz-findings/$name"
  mkdir -p "$corpus" "$findings"
  seeds=()
  for folder in tests/fuzz/corpus/$name tests/fuzz/regressions/$name; do
    [ -d "$folder" ] && seeds+=("$folder")
  done
  log="$BUILD/fuzz-findings/$name.log"
  # lsan.supp names a libvorbisfile function that only whole allocation stacks show.
  unwind=""
  [ "$name" = ogg ] && unwind=":fast_unwind_on_malloc=0"
  before=$(find "$findings" -type f | wc -l)
  # -timeout: one input running longer counts as a hang; -rss_limit_mb / -malloc_limit_mb: a blow-up.
  (cd "$findings" && ASAN_OPTIONS="$ASAN_OPTIONS$unwind" "$ROOT/$program" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 \
      -timeout=10 -rss_limit_mb=2560 -malloc_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$ROOT/$findings/" "$ROOT/$corpus" "${seeds[@]/#/$ROOT/}") >"$log" 2>&1
  status=$?
  after=$(find "$findings" -type f | wc -l)
  found=$((after - before))
  [ $status -ne 0 ] && [ $found -eq 0 ] && found=1
  total_findings=$((total_findings + found))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  last=$(grep -E '^#[0-9]+.*cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1)
  cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  printf '%-10s %12s %8s %7s %7s %9s\n' "$name" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$found"
  if [ $found -gt 0 ]; then
    grep -E 'ERROR: |SUMMARY: |runtime error|Test unit written' "$log" | head -n 5 | sed 's/^/    /'
    echo "    log: $log"
  fi
done
if [ $total_findings -gt 0 ]; then
  echo "fuzz: $total_findings finding(s), inputs in $BUILD/fuzz-findings/"
  exit 1
fi
echo "fuzz: no findings"
