#!/usr/bin/env bash
# Fails when a source under src/ includes a folder above its own, or a folder
# beside it that is not below it: the folders form one stack, top first.
set -euo pipefail
cd "$(dirname "$0")/../src"

LAYERS=(app loading timeline segments geometry gfx imaging anim platform glext)

rank() {
  local i
  for i in "${!LAYERS[@]}"; do
    if [ "${LAYERS[$i]}" = "$1" ]; then
      echo "$i"
      return
    fi
  done
  echo -1
}

status=0
for dir in */; do
  dir=${dir%/}
  own=$(rank "$dir")
  if [ "$own" -lt 0 ]; then
    echo "check_layers: src/$dir is not in the layer order (add it to scripts/check_layers.sh)" >&2
    status=1
    continue
  fi
  while IFS=: read -r file line include; do
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
    [ "$target" = "$dir" ] && continue
    other=$(rank "$target")
    if [ "$other" -lt 0 ]; then
      echo "src/$file:$line: includes unknown folder '$target'" >&2
      status=1
    elif [ "$other" -le "$own" ]; then
      echo "src/$file:$line: '$dir' may not include '$target' (above it)" >&2
      status=1
    fi
  done < <(grep -Hn '^#include "[a-z_]*/' "$dir"/*.h "$dir"/*.cpp 2>/dev/null || true)
done
if [ "$status" -eq 0 ]; then
  echo "check_layers: every include goes downward"
fi
exit "$status"
