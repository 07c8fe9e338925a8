#!/usr/bin/env bash
# The whole test suite: unit and render tests (ctest), the sanitizer build
# (ASan + UBSan) of the file-format tests and of hlv-capture over the whole
# production, the ThreadSanitizer build of the sound test, then a short run of
# every fuzz target. A failing step does not
# stop the others; the summary counts what really passed and failed, and the
# script exits non-zero if anything failed. In CI (CI=true) warnings are errors.
set -uo pipefail
BUILD=${1:-build}
FUZZ_SECONDS=${2:-20}
JOBS=${JOBS:-$(nproc)}
export JOBS
cd "$(dirname "$0")/.."

passed=0
failed=0
failures=()
werror=()
[ "${CI:-}" = true ] && werror=(-DHLV_WERROR=ON)

# count STEP: adds a ctest run's results (from its output in $log) to the totals.
count_ctest() {
  local step=$1 log=$2 total bad
  total=$(sed -n 's/.*tests* failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  bad=$(sed -n 's/.* \([0-9]*\) tests* failed out of.*/\1/p' "$log" | tail -n 1)
  if [ -z "$total" ]; then
    failed=$((failed + 1))
    failures+=("$step (no tests ran)")
    return
  fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$bad" -eq 0 ] || failures+=("$step: $bad of $total")
}

# step_failed STEP: a build or run that produced no per-test results.
step_failed() {
  failed=$((failed + 1))
  failures+=("$1")
}

log=$(mktemp)
trap 'rm -f "$log"' EXIT

echo "== unit and render tests"
if [ ${#werror[@]} -gt 0 ]; then
  # Turn warnings into errors in the already configured build and rebuild.
  cmake -S . -B "$BUILD" "${werror[@]}" >/dev/null && cmake --build "$BUILD" -j "$JOBS" ||
    step_failed "build with -Werror"
fi
ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j 2 2>&1 | tee "$log"
count_ctest "unit and render tests" "$log"

echo "== sanitizer build (ASan + UBSan): file-format tests and the whole production"
sanitized=(test_anim test_imaging test_geometry)
if cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DHLV_SANITIZE=ON -DHLV_BENCH=OFF \
  "${werror[@]}" >/dev/null &&
  cmake --build build-sanitize -j "$JOBS" --target "${sanitized[@]}" hlv-capture; then
  ctest --test-dir build-sanitize --output-on-failure --no-tests=error \
    -R "^($(IFS='|'; echo "${sanitized[*]}"))\$" 2>&1 | tee "$log"
  count_ctest "sanitizer build" "$log"
  # Every Segment and Layer, with music, at 2 frames per second; any finding
  # ends the run with a non-zero code.
  echo "sanitized hlv-capture over the whole production (2 frames per second)"
  capture="$PWD/build-sanitize/hlv-capture"
  if (cd "$BUILD" && SDL_VIDEODRIVER=offscreen ASAN_OPTIONS=detect_leaks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$capture" --fps 2 --music on >"$log" 2>&1); then
    tail -n 1 "$log"
    passed=$((passed + 1))
  else
    cat "$log"
    step_failed "sanitized hlv-capture over the whole production"
  fi
else
  step_failed "sanitizer build"
fi

echo "== ThreadSanitizer build of the sound test"
if cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHLV_TSAN=ON -DHLV_BENCH=OFF \
  "${werror[@]}" >/dev/null && cmake --build build-tsan -j "$JOBS" --target test_sound_tsan; then
  ctest --test-dir build-tsan --output-on-failure --no-tests=error -R '^test_sound_tsan$' 2>&1 |
    tee "$log"
  count_ctest "ThreadSanitizer build" "$log"
else
  step_failed "ThreadSanitizer build"
fi

echo "== fuzz targets, ${FUZZ_SECONDS} s each"
rm -f build-fuzz/fuzz-counts.txt
bash scripts/fuzz.sh "$FUZZ_SECONDS"
if [ -f build-fuzz/fuzz-counts.txt ]; then
  read -r ran bad <build-fuzz/fuzz-counts.txt
  passed=$((passed + ran - bad))
  failed=$((failed + bad))
  [ "$bad" -eq 0 ] || failures+=("fuzz targets: $bad of $ran")
else
  step_failed "fuzz build"
fi

for failure in "${failures[@]}"; do
  echo "failed: $failure"
done
echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
