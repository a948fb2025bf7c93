#!/usr/bin/env bash
# Installs what is missing, builds both programs for 64-bit and 32-bit Windows
# (warnings are errors), and runs every test under Wine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

tools/setup.sh
cmake --preset win64 -DRAVELIN_WERROR=ON >/dev/null
cmake --build --preset win64
cmake --preset win32 -DRAVELIN_WERROR=ON >/dev/null
cmake --build --preset win32
ctest --preset win64
