#!/usr/bin/env bash
# The whole test suite: unit and render tests (ctest), then the sanitizer build
# of the file-format tests, then a short run of every fuzz target.
set -euo pipefail
BUILD=${1:-build}
FUZZ_SECONDS=${2:-20}
cd "$(dirname "$0")/.."

echo "== unit and render tests"
ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j 2
programs=$(ctest --test-dir "$BUILD" -N | sed -n 's/^Total Tests: //p')

echo "== sanitizer build (ASan + UBSan) of the file-format tests"
sanitized=(test_anim test_imaging test_geometry)
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DHLV_SANITIZE=ON -DHLV_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$(nproc)" --target "${sanitized[@]}"
ctest --test-dir build-sanitize --output-on-failure --no-tests=error \
  -R "^($(IFS='|'; echo "${sanitized[*]}"))\$"

echo "== fuzz targets, ${FUZZ_SECONDS} s each"
bash scripts/fuzz.sh "$FUZZ_SECONDS"
fuzzers=$(find build-fuzz -maxdepth 1 -name 'fuzz_*' -type f -perm -u+x | wc -l)

# Every step above stops the script on a failure, so reaching here means all
# test programs, sanitized programs and fuzz targets passed.
echo "summary: $((programs + ${#sanitized[@]} + fuzzers)) passed, 0 failed"
