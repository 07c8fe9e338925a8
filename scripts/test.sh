#!/usr/bin/env bash
# The whole test suite: unit and render tests (ctest), then the sanitizer build
# of the file-format tests, then a short run of every fuzz target.
set -euo pipefail
BUILD=${1:-build}
FUZZ_SECONDS=${2:-20}
cd "$(dirname "$0")/.."

echo "== unit and render tests"
ctest --test-dir "$BUILD" --output-on-failure -j 2

echo "== sanitizer build (ASan + UBSan) of the file-format tests"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DHLV_SANITIZE=ON -DHLV_BENCH=OFF >/dev/null
targets=()
for t in test_anim test_imaging test_geometry; do
  if cmake --build build-sanitize --target help | grep -q "^\.\.\. $t\$"; then targets+=("$t"); fi
done
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build build-sanitize -j "$(nproc)" --target "${targets[@]}"
  ctest --test-dir build-sanitize --output-on-failure -R "^($(IFS='|'; echo "${targets[*]}"))\$"
fi

echo "== fuzz targets, ${FUZZ_SECONDS} s each"
bash scripts/fuzz.sh "$FUZZ_SECONDS"
