#!/usr/bin/env bash
# The demo: builds the suite, lays out an installed suite in a Wine prefix of
# its own (tools/demo-suite.sh), starts the stand-in update service offering
# newer versions of it, and starts Ravelin_Launcher from the suite's folder,
# so that one update can be watched on its whole road: the important notice,
# the new-version window, 開始, the downloads and installation, the launch
# window. It runs the shipped 32-bit build where the machine executes 32-bit
# code. With $DISPLAY a person watches and clicks; without one the road runs
# by itself on a private Xvfb display (tools/demo-tour.sh): a screenshot of
# each stage, an index page, everything stopped at the end.
#   tools/run.sh [--offer FLAGS] [--build DIR]
#                                  components offered (default 0x0003: the launcher and the update manager);
#                                  DIR: the build tree (default build/win32, or build/win64)
#   tools/run.sh stop [--build DIR]   stop the launcher and everything started for it
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if [ "${1:-}" = "stop" ]; then
  shift
  tools/demo-suite.sh stop "$@"
  exit 0
fi

tools/setup.sh
answer=$(tools/can-run-32bit) || echo "run.sh: the 64-bit build runs: ${answer#no: }."
[ -n "${DISPLAY:-}" ] || exec tools/demo-tour.sh "$@"
display=()
[ -n "${DISPLAY:-}" ] && display=(--display "$DISPLAY")
tools/demo-suite.sh setup "$@"
tools/demo-suite.sh start --no-build --launcher "${display[@]}" "$@"
