#!/usr/bin/env bash
# Fails when a render script, include or picture here differs from what
# MANIFEST.sha256 recorded at the last render, or is missing from it: a script
# changed without its picture being rendered again (make assets-render).
set -uo pipefail
cd "$(dirname "$0")"
status=0
for f in *.pov *.inc *.py *.png; do
  [ -e "$f" ] || continue
  grep -q "  $f\$" MANIFEST.sha256 || { echo "render check: $f is not in MANIFEST.sha256 (run make assets-render)"; status=1; }
done
if ! sha256sum --check --quiet MANIFEST.sha256; then
  echo "render check: the files above changed since their last render (run make assets-render)"
  status=1
fi
[ $status -eq 0 ] && echo "render check: $(wc -l < MANIFEST.sha256) files match their last render"
exit $status
