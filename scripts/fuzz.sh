#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan, libraries built with
# coverage) and runs each for the given number of seconds on its seed corpus.
# Any crash, leak, UB or oracle mismatch fails. Prints each target's coverage
# (edges) and inputs executed, and keeps them in build-fuzz/fuzz-report.txt.
set -euo pipefail
SECONDS_EACH=${1:-20}
cd "$(dirname "$0")/.."
extra=()
[ "${CI:-}" = true ] && extra+=(-DHLV_WERROR=ON)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHLV_FUZZ=ON \
  "${extra[@]}" >/dev/null
cmake --build build-fuzz -j "${JOBS:-$(nproc)}"
shopt -s nullglob
ran=0
failed=0
report=build-fuzz/fuzz-report.txt
: >"$report"
for fuzzer in build-fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  seeds=tests/fuzz/corpus/$name
  work=build-fuzz/corpus/$name
  mkdir -p "$work"
  echo "-- $name"
  args=("$work")
  [ -d "$seeds" ] && args+=("$seeds")
  status=0
  "$fuzzer" -max_total_time="$SECONDS_EACH" -print_final_stats=1 "${args[@]}" \
    2>build-fuzz/$name.log || status=$?
  # The last status line holds the coverage; the final stats the inputs run.
  edges=$(grep -o 'cov: [0-9]*' build-fuzz/$name.log | tail -n 1 | cut -d' ' -f2)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' build-fuzz/$name.log | tail -n 1)
  line="$name: ${SECONDS_EACH} s, cov: ${edges:-?} edges, ${execs:-?} inputs executed"
  if [ "$status" -ne 0 ]; then
    tail -n 60 build-fuzz/$name.log
    line="$line, FAILED (exit $status)"
    failed=$((failed + 1))
  fi
  echo "$line" | tee -a "$report"
  ran=$((ran + 1))
done
[ "$ran" -gt 0 ] || { echo "fuzz: no targets were built"; exit 1; }
echo "fuzz: $ran targets ran, $failed failed"
# test.sh reads the counts from here.
echo "$ran $failed" >build-fuzz/fuzz-counts.txt
[ "$failed" -eq 0 ]
