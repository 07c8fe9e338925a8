#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for the
# given number of seconds on its seed corpus. Any crash, leak or UB fails.
set -euo pipefail
SECONDS_EACH=${1:-20}
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHLV_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)"
shopt -s nullglob
ran=0
for fuzzer in build-fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  seeds=tests/fuzz/corpus/$name
  work=build-fuzz/corpus/$name
  mkdir -p "$work"
  echo "-- $name"
  args=("$work")
  [ -d "$seeds" ] && args+=("$seeds")
  "$fuzzer" -max_total_time="$SECONDS_EACH" -print_final_stats=0 "${args[@]}" 2>build-fuzz/$name.log \
    || { tail -n 60 build-fuzz/$name.log; echo "fuzz target $name failed"; exit 1; }
  ran=$((ran + 1))
done
echo "fuzz: $ran targets ran without a finding"
