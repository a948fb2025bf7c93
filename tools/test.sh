#!/usr/bin/env bash
# Installs what is missing, builds both programs for 64-bit and 32-bit Windows
# (warnings are errors), and runs every test under Wine: the 64-bit suite
# always, the 32-bit (shipped) suite wherever the machine executes 32-bit code.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

tools/setup.sh
cmake --preset win64 -DRAVELIN_WERROR=ON >/dev/null
cmake --build --preset win64
cmake --preset win32 -DRAVELIN_WERROR=ON >/dev/null
cmake --build --preset win32

# Both suites run even when the first fails, so that one run tells all.
status=0
ctest --preset win64 || status=1
if answer=$(tools/can-run-32bit); then
  ctest --preset win32 || status=1
else
  echo "test.sh: the 32-bit suite was skipped: ${answer#no: }"
fi
exit $status
