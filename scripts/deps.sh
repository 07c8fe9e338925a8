#!/usr/bin/env bash
# Installs the Debian packages the build, the asset generator, the tests and
# `make run` need (ccache only speeds up rebuilds; gdb only names where a
# program stuck in an end-to-end test waits). Idempotent: does nothing
# when everything is present. With --render it adds the offline renderers
# that remake the committed pictures in tools/render/ (make assets-render).
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev libmpg123-dev
  libmp3lame-dev libfreetype-dev fonts-dejavu-core fonts-urw-base35 fonts-linuxlibertine
  zlib1g-dev libgtest-dev libgmock-dev libpng-dev libbenchmark-dev libdeflate-dev libspng-dev
  xvfb xauth xdotool x11-utils xfonts-base libgl1-mesa-dri gdb
  clang libclang-rt-14-dev sox lame ffmpeg imagemagick
  ccache
)
if [ "${1:-}" = --render ]; then
  PACKAGES+=(blender povray)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
