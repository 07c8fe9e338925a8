#!/usr/bin/env bash
# Plays the production in a window when a display is available; otherwise (or
# with --record) records it with hlv-capture to an MP4 under the build folder.
set -euo pipefail
BUILD=${1:-build}
MODE=${2:-play}
cd "$(dirname "$0")/../$BUILD"

if [ "$MODE" != "--record" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec ./hlv "${@:3}"
fi

if ! command -v ffmpeg >/dev/null 2>&1; then
  echo "No display, and ffmpeg is missing to record the production: run 'make deps' first." >&2
  exit 1
fi
out=$(pwd)/hlv.mp4
echo "No display found: recording the production to $out (30 fps, with sound)."
echo "This renders every frame with the software GL driver and takes a while."
# A recording need not keep real time, so it can afford multisampled edges.
SDL_VIDEODRIVER=offscreen ./hlv-capture --fps 30 --samples 4 --audio hlv-audio.wav --video "$out" --progress
rm -f hlv-audio.wav
echo "Recorded: $out"
