#!/usr/bin/env bash
# Builds Ravelin_Launcher and starts it under Wine, on $DISPLAY when there is
# one, otherwise on a private Xvfb display.
#   tools/run.sh        build and start
#   tools/run.sh stop   stop the launcher and everything started for it
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
demo="$top/build/win64/demo"

stop_demo() {
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
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Ravelin_Launcher
stop_demo

if [ -n "${DISPLAY:-}" ]; then
  tools/winebench start "$demo" --display "$DISPLAY"
else
  tools/winebench start "$demo"
fi
tools/winerun "$demo" "$top/build/win64/bin/Ravelin_Launcher.exe" </dev/null >/dev/null 2>&1 &
echo $! >"$demo/launcher.pid"

echo "Ravelin_Launcher is running under Wine (PID $!, display $(cat "$demo/display"))."
echo "Its log: $demo/prefix/drive_c/users/$(id -un)/AppData/Roaming/Halvard/Ravelin/Log/Ravelin_Launcher_sys.log"
echo "Stop it with: tools/run.sh stop"
