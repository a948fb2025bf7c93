#!/usr/bin/env bash
# Renders the screenshot gallery with the shipped 32-bit build (the 64-bit
# build where 32-bit code cannot run) and makes the pictures the new
# references in tests/ui/gallery/. Run it when the look changes on purpose,
# look at the pictures, and commit them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/setup.sh
if tools/can-run-32bit >/dev/null; then preset=win32; else preset=win64; fi
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target gallery_tests
RAVELIN_GALLERY_UPDATE=1 tools/winebench run "build/$preset/gallery-bench" --arch $preset -- \
  "build/$preset/bin/gallery_tests.exe"
echo "References updated in tests/ui/gallery/; the gallery: build/$preset/gallery/index.html"
