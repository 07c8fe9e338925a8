#!/usr/bin/env bash
# Renders the pictures that come from offline renderers, each beside the script
# that makes it, and records both in MANIFEST.sha256 so the test suite notices
# a script that changed without its picture being rendered again.
#   NAME.pov  -> NAME.png   (POV-Ray 3.7)
#   NAME.py   -> NAME.png   (Blender 3.4: blender -b --factory-startup -P NAME.py -- NAME.png)
# usage: render.sh [NAME...]   (default: every script here)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for f in *.pov *.py; do [ -e "$f" ] && names+=("${f%.*}"); done
fi

render_one() {
  local name=$1 start=$SECONDS
  if [ -f "$name.pov" ]; then
    command -v povray >/dev/null || { echo "render: povray is missing (make assets-render installs it)" >&2; exit 1; }
    # Settings live in the scene's own header comment line "// povray: ..." so
    # a picture's size and quality travel with its script.
    local opts
    opts=$(sed -n 's|^// povray: ||p' "$name.pov" | head -n 1)
    povray -D +I"$name.pov" +O"$name.png" +FN8 $opts >"/tmp/render-$name.log" 2>&1 ||
      { tail -n 30 "/tmp/render-$name.log" >&2; echo "render: $name.pov failed" >&2; exit 1; }
  elif [ -f "$name.py" ]; then
    command -v blender >/dev/null || { echo "render: blender is missing (make assets-render installs it)" >&2; exit 1; }
    blender -b --factory-startup -noaudio -P "$name.py" -- "$here/$name.png" >"/tmp/render-$name.log" 2>&1 ||
      { tail -n 30 "/tmp/render-$name.log" >&2; echo "render: $name.py failed" >&2; exit 1; }
  else
    echo "render: no script named $name.pov or $name.py in $here" >&2; exit 1
  fi
  [ -s "$name.png" ] || { echo "render: $name produced no $name.png" >&2; exit 1; }
  echo "render: $name.png ($((SECONDS - start)) s)"
}

# A picture that another script reads (a painting hung in a rendered room)
# is rendered before the scripts that read it.
is_read_by_another() {
  local script
  for script in ./*.pov ./*.py; do
    [ -e "$script" ] || continue
    case "$script" in "./$1.pov" | "./$1.py") continue ;; esac
    if grep -q -F "\"$1.png\"" "$script"; then return 0; fi
  done
  return 1
}
for pass in read readers; do
  for n in "${names[@]}"; do
    kind=readers
    if is_read_by_another "$n"; then kind=read; fi
    if [ "$kind" = "$pass" ]; then render_one "$n"; fi
  done
done

# Every script, include file and picture here goes into the manifest.
files=()
for f in *.pov *.inc *.py *.png; do [ -e "$f" ] && files+=("$f"); done
sha256sum "${files[@]}" > MANIFEST.sha256
echo "render: MANIFEST.sha256 lists ${#files[@]} files"
