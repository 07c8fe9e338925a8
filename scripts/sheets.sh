#!/usr/bin/env bash
# Writes <build>/sheets/meshes.png and <build>/sheets/textures.png, and
# <build>/sheets/production.png: one frame every 5 s of the whole production
# plus the frames just before and after each Segment change, each labelled
# with its time and Segment.
set -euo pipefail
BUILD=${1:-build}
cd "$(dirname "$0")/../$BUILD"
mkdir -p sheets
if [ -x ./hlv-mesh-sheet ]; then
  SDL_VIDEODRIVER=offscreen ./hlv-mesh-sheet hlvd sheets/meshes.png
fi
if [ -x ./hlv-texture-sheet ]; then
  ./hlv-texture-sheet hlvd sheets/textures.png
fi

frames=sheets/production-frames
rm -rf "$frames"
times=$(seq -s, 0 5 270)
echo "sheets: capturing the production (every 5 s and around each Segment change)"
SDL_VIDEODRIVER=offscreen ./hlv-capture --fps 30 --music on --frames "$frames" \
  --at "$times" --at-changes --progress
args=()
while read -r file seconds segment; do
  args+=(-label "$(printf '%.2f s  Segment %s' "$seconds" "$segment")" "$frames/$file")
done < "$frames/frames.txt"
if [ ${#args[@]} -eq 0 ]; then
  echo "sheets: the capture wrote no frames" >&2
  exit 1
fi
montage "${args[@]}" -tile 8x -geometry 320x240+4+4 -pointsize 14 sheets/production.png
ls -l sheets
