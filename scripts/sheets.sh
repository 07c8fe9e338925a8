#!/usr/bin/env bash
# Writes <build>/sheets/meshes.png and <build>/sheets/textures.png.
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
ls -l sheets
