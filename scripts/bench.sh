#!/usr/bin/env bash
# Runs every benchmark program, then the per-Segment frame times.
set -euo pipefail
BUILD=${1:-build}
cd "$(dirname "$0")/.."
shopt -s nullglob
for b in "$BUILD"/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
if [ -x "$BUILD/hlv-capture" ]; then
  echo "== frame times per Segment (llvmpipe, offscreen)"
  (cd "$BUILD" && SDL_VIDEODRIVER=offscreen ./hlv-capture --fps 30 --bench)
fi
