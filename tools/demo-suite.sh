#!/usr/bin/env bash
# The demo suite: an installed Ravelin suite in a Wine prefix of its own, and
# the stand-in update service offering newer packages of it over HTTPS.
#
#   demo-suite.sh setup [OPTIONS]         build, then lay out the suite afresh; leaves nothing running
#   demo-suite.sh start [OPTIONS] [--launcher]
#                                         start the service and the prefix's Wine (and the launcher
#                                         from the suite's folder); prints PIDs and the stop command
#   demo-suite.sh offer FLAGS [OPTIONS]   change what the service offers (read per request: no restart)
#   demo-suite.sh check [OPTIONS] [--fetch]
#                                         the launcher's update check from the suite's folder, without
#                                         its windows (starts and stops what is not running)
#   demo-suite.sh status [OPTIONS]
#   demo-suite.sh stop [OPTIONS]          stop everything the demo started, by PID
#
# Options:
#   --preset win32|win64   default: win32 where the machine executes 32-bit code, else win64
#   --build DIR            build tree (default build/PRESET); its architecture decides the prefix's
#   --offer FLAGS          components offered, as the launcher's update flags: 0x0001 the launcher
#                          (its setup program), 0x0002 update manager, 0x0004 MSV title editor
#                          (default 0x0003). The camera-unit manager (0x0008) has no reply fields.
#   --absent FLAGS         setup: leave these components uninstalled, for a first installation
#                          (0x0002 update manager, 0x0004 MSV title editor, 0x0008 camera-unit manager)
#   --no-build             use the build tree as it is
#   --display :N           use this X display instead of a private Xvfb
#
# The installed suite: C:\Program Files\Ravelin\ソフト表示 (its name holds Shift-JIS
# characters whose trail byte is 0x5C) with Ravelin_Launcher.exe, RavelinUpdate.exe,
# the old versions of the sibling programs (installed from their packages),
# and a Connection.info whose entry 30 names the service. The folder is also
# recorded as HKLM\SOFTWARE\Halvard\Ravelin "InstallDir". The service's test CA is
# trusted in this prefix only. State lives in BUILD/demo/bench (the Wine bench)
# and BUILD/demo/service (CA, signing certificates, served files, config,
# requests, log). The suite's launcher and updater and the packages served are
# signed with a test code-signing certificate, so the updater checks each
# package's signer as it would in the field.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)

suite_windows='C:\Program Files\Ravelin\ソフト表示'
suite_relative='Program Files/Ravelin/ソフト表示'
suite_key='HKLM\SOFTWARE\Halvard\Ravelin'
service_path=/pcapp/GetLatestPCAplCommonAPI

die() { echo "demo-suite: $*" >&2; exit 1; }
note() { echo "demo-suite: $*"; }

alive() {
  [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" 2>/dev/null | cut -c1)" != Z ]
}

usage() { sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2; }

# ---- options ---------------------------------------------------------------
cmd=${1:-}; [ -n "$cmd" ] || usage
shift
preset=""; build=""; offer=0x0003; offer_given=""; absent=0; do_build=yes; display=""; launcher=""; fetch=""
if [ "$cmd" = offer ]; then
  [ $# -gt 0 ] || die "offer needs FLAGS"
  offer=$1; offer_given=yes; shift
fi
while [ $# -gt 0 ]; do
  case "$1" in
    --preset) preset=${2:-}; shift 2 ;;
    --build) build=${2:-}; shift 2 ;;
    --offer) offer=${2:-}; offer_given=yes; shift 2 ;;
    --absent) absent=${2:-}; shift 2 ;;
    --no-build) do_build=""; shift ;;
    --display) display=${2:-}; shift 2 ;;
    --launcher) launcher=yes; shift ;;
    --fetch) fetch=yes; shift ;;
    -h|--help) usage ;;
    *) die "unknown option $1" ;;
  esac
done

# A given build tree keeps the architecture it was configured for.
if [ -z "$preset" ] && [ -n "$build" ] && [ -f "$build/demo/demo-suite.env" ]; then
  preset=$(sed -n 's/^DEMO_ARCH=//p' "$build/demo/demo-suite.env")
elif [ -z "$preset" ] && [ -n "$build" ] && [ -f "$build/CMakeCache.txt" ]; then
  case "$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$build/CMakeCache.txt")" in
    */mingw-x86_64.cmake) preset=win64 ;;
    */mingw-i686.cmake) preset=win32 ;;
  esac
fi
if [ -z "$preset" ]; then
  if "$here/can-run-32bit" >/dev/null 2>&1; then preset=win32; else preset=win64; fi
fi
case "$preset" in win32|win64) ;; *) die "--preset takes win32 or win64" ;; esac
if [ "$preset" = win32 ] && [ "${RAVELIN_32BIT:-}" != no ] && ! answer=$("$here/can-run-32bit"); then
  die "the win32 suite cannot run here (${answer#no: })"
fi
[ -n "$build" ] || build="$top/build/$preset"
mkdir -p "$build"
build=$(cd "$build" && pwd)
demo="$build/demo"
bench="$demo/bench"
service="$demo/service"

offer_flags() { # validates $offer and prints it as a number
  local value
  [[ "$offer" =~ ^(0[xX][0-9a-fA-F]+|[0-9]+)$ ]] || die "--offer takes a number such as 0x0003"
  value=$((offer))
  [ $((value & 0x0008)) -eq 0 ] || die "component 4 (0x0008) cannot be offered: the service reply has no fields for it and the launcher never installs it"
  [ $((value & ~0x0007)) -eq 0 ] || die "--offer takes 0x0001, 0x0002, 0x0004 or their sum"
  echo "$value"
}

absent_flags() { # validates $absent and prints it as a number
  [[ "$absent" =~ ^(0[xX][0-9a-fA-F]+|[0-9]+)$ ]] || die "--absent takes a number such as 0x0004"
  [ $((absent & ~0x000E)) -eq 0 ] || die "--absent takes 0x0002, 0x0004, 0x0008 or their sum"
  echo $((absent))
}

load_env() {
  [ -f "$demo/demo-suite.env" ] || die "no demo in $build (run: $0 setup --build $build)"
  # shellcheck disable=SC1091
  . "$demo/demo-suite.env"
  [ "$DEMO_ARCH" = "$preset" ] || die "$build is a $DEMO_ARCH build, not $preset"
}

# Runs a Windows program in the demo prefix.
in_prefix() { "$here/winerun" "$bench" "$@"; }
prefix_root() { echo "$bench/prefix/drive_c"; }
suite_unix() { echo "$(prefix_root)/$suite_relative"; }

# ---- the service -----------------------------------------------------------
service_pid() { cat "$service/service.pid" 2>/dev/null || true; }
service_port() { cat "$service/port" 2>/dev/null || true; }

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

write_connection_file() { # port
  local folder; folder=$(suite_unix)
  [ -d "$folder" ] || return 0
  printf '30,https://localhost:%s%s\r\n' "$1" "$service_path" >"$folder/Connection.info"
}

write_config() { # flags
  local flags=$1 dl_version um_version me_version dl um me
  dl=$DEMO_SETUP
  if [ $((flags & 1)) -ne 0 ]; then dl_version=$DEMO_LAUNCHER_NEW_VERSION; else dl_version=$DEMO_LAUNCHER_VERSION; fi
  if [ $((flags & 2)) -ne 0 ]; then um_version=$DEMO_NEW_VERSION; um=$DEMO_PACKAGE_2_V2
  else um_version=$DEMO_OLD_VERSION; um=$DEMO_PACKAGE_2_V1; fi
  if [ $((flags & 4)) -ne 0 ]; then me_version=$DEMO_NEW_VERSION; me=$DEMO_PACKAGE_3_V2
  else me_version=$DEMO_OLD_VERSION; me=$DEMO_PACKAGE_3_V1; fi
  mkdir -p "$service"
  # Written aside and moved into place: the service reads it per request.
  cat >"$service/config.json.new" <<EOF
{
  "offer": "$(printf '0x%04X' "$flags")",
  "reply": {
    "RET": 0,
    "DLVER": "$dl_version", "DLURL": "{base}/$dl",
    "UMVER": "$um_version", "UMURL": "{base}/$um",
    "MEVER": "$me_version", "MEURL": "{base}/$me"
  }
}
EOF
  mv "$service/config.json.new" "$service/config.json"
}

start_service() {
  local pid port tenths
  pid=$(service_pid)
  if alive "$pid"; then return 0; fi
  rm -f "$service/service.pid" "$service/ready"
  port=$(service_port)
  for attempt in saved free; do
    [ "$attempt" = saved ] && [ -n "$port" ] || port=$(free_port)
    python3 "$here/update_service.py" --port "$port" --ready-file "$service/ready" \
      --config "$service/config.json" --requests "$service/requests.jsonl" --files "$service/files" \
      --cert "$service/ca/valid.pem" --key "$service/ca/server.key" \
      </dev/null >>"$service/service.log" 2>&1 &
    pid=$!
    tenths=100
    while [ ! -s "$service/ready" ] && alive "$pid" && [ "$tenths" -gt 0 ]; do sleep 0.1; tenths=$((tenths - 1)); done
    if [ -s "$service/ready" ]; then
      echo "$pid" >"$service/service.pid"
      if [ "$port" != "$(service_port)" ]; then
        echo "$port" >"$service/port"
        write_connection_file "$port"
      fi
      return 0
    fi
    kill -KILL "$pid" 2>/dev/null || true
  done
  die "the service did not start (see $service/service.log)"
}

stop_service() {
  local pid tenths
  pid=$(service_pid)
  if alive "$pid"; then
    kill -TERM "$pid" 2>/dev/null || true
    tenths=50
    while alive "$pid" && [ "$tenths" -gt 0 ]; do sleep 0.1; tenths=$((tenths - 1)); done
    alive "$pid" && kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -f "$service/service.pid" "$service/ready"
}

# Signs a program or package with the demo's test signer (made by setup).
sign_in_place() {
  osslsigncode sign -certs "$service/signing/signer.pem" -key "$service/signing/signer.key" -h sha256 \
    -in "$1" -out "$1.signing" >/dev/null || die "$1 could not be signed"
  mv "$1.signing" "$1"
}

# ---- the Wine bench --------------------------------------------------------
bench_running() { [ -f "$bench/wineserver.pid" ] && alive "$(cat "$bench/wineserver.pid")"; }

start_bench() {
  bench_running && return 0
  "$here/winebench" start "$bench" --arch "$preset" ${display:+--display "$display"}
}

stop_bench() { "$here/winebench" stop "$bench"; rm -f "$demo/launcher.pid"; }

# ---- commands --------------------------------------------------------------
build_demo() {
  [ -n "$do_build" ] || return 0
  note "building the demo in $build"
  (cd "$top" && cmake --preset "$preset" -B "$build" >/dev/null && cmake --build "$build" --target ravelin_demo)
}

setup() {
  local flags missing
  flags=$(offer_flags)
  missing=$(absent_flags)
  build_demo
  load_env
  stop_service
  stop_bench
  start_bench
  trap 'stop_bench' EXIT

  local folder root appdata number code package program
  folder=$(suite_unix)
  root=$(prefix_root)
  note "laying out the suite in $bench/prefix"
  # Afresh: the old layout's products, files and downloads go first.
  for number in 2 3 4; do
    code=DEMO_PRODUCT_$number
    in_prefix msiexec /x "${!code}" /qn </dev/null >/dev/null 2>&1 || true
  done
  rm -rf "$root/Program Files/Ravelin"
  appdata=$(in_prefix cmd /c 'echo %APPDATA%' </dev/null 2>/dev/null | tr -d '\r')
  [ -n "$appdata" ] && rm -rf "$(WINEPREFIX="$bench/prefix" winepath -u "$appdata" 2>/dev/null)/Halvard/Ravelin/Download"
  mkdir -p "$folder"
  in_prefix reg add "$suite_key" /v InstallDir /t REG_SZ /d "$suite_windows" /f </dev/null >/dev/null 2>&1 \
    || die "the suite's folder could not be recorded in the registry"

  for number in 2 3 4; do
    [ $((missing & (1 << (number - 1)))) -eq 0 ] || continue
    package=DEMO_PACKAGE_${number}_V1
    in_prefix msiexec /i "$(WINEPREFIX="$bench/prefix" winepath -w "$demo/packages/${!package}")" /qn \
      </dev/null >/dev/null 2>&1 || die "${!package} did not install"
    program=DEMO_PROGRAM_$number
    cmp -s "$folder/${!program}" "$demo/v1/${!program}" || die "${!program} is not in $folder after installing ${!package}"
  done
  cp "$build/bin/Ravelin_Launcher.exe" "$build/bin/RavelinUpdate.exe" "$folder/"
  # A signed updater installs only packages of its own signer: the suite's
  # programs and the packages the service offers carry the demo's test signature.
  [ -f "$service/signing/signer.pem" ] || "$here/make-signing-cert.sh" "$service/signing" >/dev/null
  sign_in_place "$folder/Ravelin_Launcher.exe"
  sign_in_place "$folder/RavelinUpdate.exe"

  mkdir -p "$service"
  [ -f "$service/ca/valid.pem" ] || "$here/make-test-ca.sh" "$service/ca" >/dev/null
  in_prefix "$demo/tools/demo_trust_ca.exe" "$(WINEPREFIX="$bench/prefix" winepath -w "$service/ca/ca.pem")" \
    </dev/null >/dev/null 2>&1 || die "the test CA could not be trusted in the prefix"
  rm -rf "$service/files"
  mkdir -p "$service/files"
  cp "$demo/packages/"* "$service/files/"
  for package in "$service/files/"*; do sign_in_place "$package"; done
  rm -f "$service/requests.jsonl"
  write_config "$flags"
  [ -n "$(service_port)" ] || free_port >"$service/port"
  write_connection_file "$(service_port)"

  stop_bench
  trap - EXIT
  note "suite laid out in $suite_windows ($folder)"
  note "offering $(printf '0x%04X' "$flags"); start it with: $0 start --build $build"
}

start() {
  load_env
  [ -f "$(suite_unix)/Ravelin_Launcher.exe" ] || die "no suite laid out in $bench (run: $0 setup --build $build)"
  local flags
  if [ -n "$offer_given" ]; then flags=$(offer_flags); write_config "$flags"; fi
  start_service
  start_bench
  if [ -n "$launcher" ]; then
    if ! alive "$(cat "$demo/launcher.pid" 2>/dev/null || true)"; then
      in_prefix "$suite_windows\\Ravelin_Launcher.exe" </dev/null >>"$demo/launcher.log" 2>&1 &
      echo $! >"$demo/launcher.pid"
    fi
  fi
  status
}

status() {
  local pid
  echo "suite:      $suite_windows"
  echo "            $(suite_unix)"
  pid=$(service_pid)
  if alive "$pid"; then
    echo "service:    PID $pid, https://localhost:$(service_port)$service_path, offering $(sed -n 's/.*"offer": "\(.*\)".*/\1/p' "$service/config.json")"
    echo "            config $service/config.json, requests $service/requests.jsonl"
  else
    echo "service:    not running"
  fi
  if bench_running; then
    echo "wine:       wineserver PID $(cat "$bench/wineserver.pid"), prefix $bench/prefix, DISPLAY $(cat "$bench/display" 2>/dev/null)"
    [ -f "$bench/xvfb.pid" ] && echo "            Xvfb PID $(cat "$bench/xvfb.pid")"
    echo "            run a program: tools/winerun $bench 'C:\\...\\PROGRAM.exe'"
  else
    echo "wine:       not running"
  fi
  pid=$(cat "$demo/launcher.pid" 2>/dev/null || true)
  if alive "$pid"; then echo "launcher:   PID $pid (log $demo/launcher.log)"; fi
  echo "stop with:  $0 stop --build $build"
}

stop() {
  load_env
  stop_bench
  stop_service
  note "stopped"
}

offer_command() {
  local flags
  flags=$(offer_flags)
  load_env
  write_config "$flags"
  note "offering $(printf '0x%04X' "$flags")"
}

check() {
  load_env
  local folder started_service="" started_bench="" result=0
  folder=$(suite_unix)
  [ -f "$folder/Connection.info" ] || die "no suite laid out in $bench (run: $0 setup --build $build)"
  alive "$(service_pid)" || { start_service; started_service=yes; }
  bench_running || { start_bench; started_bench=yes; }
  cp "$demo/tools/demo_update_check.exe" "$folder/"
  in_prefix "$suite_windows\\demo_update_check.exe" ${fetch:+--fetch} </dev/null 2>&1 || result=$?
  rm -f "$folder/demo_update_check.exe"
  [ -z "$started_bench" ] || stop_bench
  [ -z "$started_service" ] || stop_service
  return "$result"
}

case "$cmd" in
  setup) setup ;;
  start) start ;;
  offer) offer_command ;;
  check) check ;;
  status) load_env; status ;;
  stop) stop ;;
  *) usage ;;
esac
