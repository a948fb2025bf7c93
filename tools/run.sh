#!/usr/bin/env bash
# Builds Ravelin_Launcher and starts it under Wine, on $DISPLAY when there is
# one, otherwise on a private Xvfb display. It runs the shipped 32-bit build
# where the machine executes 32-bit code, and the 64-bit build elsewhere.
#   tools/run.sh        build and start
#   tools/run.sh stop   stop the launcher and everything started for it
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if answer=$(tools/can-run-32bit); then build=win32; else build=win64; fi
demo="$top/build/$build/demo"

stop_demo() {
  [ -d "$demo" ] || return 0
  if [ -f "$demo/launcher.pid" ]; then
    pid=$(cat "$demo/launcher.pid")
    kill -TERM "$pid" 2>/dev/null || true
    rm -f "$demo/launcher.pid"
  fi
  tools/winebench stop "$demo"
}

if [ "${1:-}" = "stop" ]; then
  stop_demo
  echo "Ravelin_Launcher stopped."
  exit 0
fi

tools/setup.sh
cmake --preset $build >/dev/null
cmake --build --preset $build --target Ravelin_Launcher
stop_demo

tools/winebench start "$demo" --arch $build ${DISPLAY:+--display "$DISPLAY"}
tools/winerun "$demo" "$top/build/$build/bin/Ravelin_Launcher.exe" </dev/null >/dev/null 2>&1 &
echo $! >"$demo/launcher.pid"

[ $build = win32 ] || echo "The 64-bit build runs: ${answer#no: }."
echo "Ravelin_Launcher ($build) is running under Wine (PID $!, display $(cat "$demo/display"))."
echo "Its log: $demo/prefix/drive_c/users/$(id -un)/AppData/Roaming/Halvard/Ravelin/Log/Ravelin_Launcher_sys.log"
echo "Stop it with: tools/run.sh stop"
