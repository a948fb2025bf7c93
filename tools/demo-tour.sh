#!/usr/bin/env bash
# The update demo without a person at the screen: lays out the demo suite
# afresh (tools/demo-suite.sh setup), starts the service and the launcher on a
# private Xvfb display, answers the launcher's windows with xdotool and takes
# a screenshot of each stage of the road: the important notice, the
# new-version window, the downloads, the installation, 次へ＞＞ or 完了, and
# the launch window (after the replaced launcher's restart when the launcher
# itself was offered). The pictures and an index.html go to BUILD/demo/tour/;
# everything started for the tour is stopped at the end, also after an error,
# and the index's path is printed. Exits nonzero when a stage did not come.
#
#   tools/demo-tour.sh [--build DIR] [--preset win32|win64] [--offer FLAGS] [--absent FLAGS] [--no-build]
#
# --offer as in demo-suite.sh (default 0x0003); it must include 0x0002 or
# 0x0004, so that the window has something to install before it ends.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
skins="$top/resources/skin/src"

say() { echo "demo-tour: $*"; }
die() { echo "demo-tour: $*" >&2; exit 1; }

# ---- options ---------------------------------------------------------------
preset=""; build=""; offer=0x0003; suite_options=()
while [ $# -gt 0 ]; do
  case "$1" in
    --preset) preset=${2:-}; suite_options+=(--preset "$preset"); shift 2 ;;
    --build) build=${2:-}; shift 2 ;;
    --offer) offer=${2:-}; shift 2 ;;
    --absent) suite_options+=(--absent "${2:-}"); shift 2 ;;
    --no-build) suite_options+=(--no-build); shift ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2 ;;
    *) die "unknown option $1" ;;
  esac
done
[[ "$offer" =~ ^(0[xX][0-9a-fA-F]+|[0-9]+)$ ]] || die "--offer takes a number such as 0x0003"
flags=$((offer))
[ $((flags & 0x0006)) -ne 0 ] || die "--offer must include 0x0002 or 0x0004 (the window installs them before it ends)"
for tool in xdotool import convert python3; do
  command -v "$tool" >/dev/null || die "$tool is missing (run tools/setup.sh)"
done
# The same default build tree as demo-suite.sh.
if [ -z "$build" ]; then
  if [ -z "$preset" ]; then
    if "$here/can-run-32bit" >/dev/null 2>&1; then preset=win32; else preset=win64; fi
  fi
  build="$top/build/$preset"
fi
mkdir -p "$build"
build=$(cd "$build" && pwd)
demo="$build/demo"
bench="$demo/bench"
service="$demo/service"
tour="$demo/tour"
suite() { "$here/demo-suite.sh" "$1" --build "$build" "${@:2}"; }

# ---- time ------------------------------------------------------------------
now_us() { echo "${EPOCHREALTIME/./}"; }
tour_start=$(now_us)
launch_start=""   # when the launcher was first started: the index's times count from here
seconds_since() { # microseconds → "12.3"
  local base=${2:-$launch_start}
  [ -n "$base" ] || base=$tour_start
  local tenths=$(( ($1 - base) / 100000 ))
  echo "$((tenths / 10)).$((tenths % 10))"
}

# ---- the index -------------------------------------------------------------
stage="the layout"   # the stage the tour is at; named in errors
error=""
tour_display=""     # the private display, once the bench runs
fig_file=(); fig_ja=(); fig_en=(); fig_time=(); fig_note=()

figure() { # file-or-empty ja en time-us note-html
  fig_file+=("$1"); fig_ja+=("$2"); fig_en+=("$3"); fig_time+=("$4"); fig_note+=("${5:-}")
}

html() { sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g'; }

write_index() {
  local k time status
  mkdir -p "$tour"
  if [ -n "$error" ]; then status="<p class=\"error\">Stopped: $(printf '%s' "$error" | html)</p>"
  else status="<p>Every stage came.</p>"; fi
  {
    cat <<EOF
<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<title>Ravelin update demo, offer $(printf '0x%04X' "$flags")</title>
<style>
body { font-family: sans-serif; background: #f4f6f9; color: #1e2b3c; margin: 2em; }
figure { background: #fff; border: 1px solid #c8d2de; padding: 1em; margin: 0 0 1.5em 0; }
figure img { max-width: 100%; border: 1px solid #8898aa; }
figcaption { margin-top: .5em; }
.time { color: #5a708c; }
.note, pre { color: #5a708c; font-size: 90%; }
.error { color: #b00020; font-weight: bold; }
</style>
</head>
<body>
<h1>Ravelin アップデートの流れ / the update road</h1>
<p>Offer $(printf '0x%04X' "$flags"), build $(printf '%s' "$build" | html), $(date '+%Y-%m-%d %H:%M:%S').
Times count from the launcher's start. Whole-screen pictures are <code>import -window root</code> of the
private Xvfb display; the quick stages are pictures of the window alone, from a burst of captures.</p>
$status
EOF
    for k in "${!fig_ja[@]}"; do
      time=""
      [ -n "${fig_time[$k]}" ] && time=" <span class=\"time\">(+$(seconds_since "${fig_time[$k]}") s)</span>"
      echo "<figure>"
      [ -n "${fig_file[$k]}" ] && echo "<img src=\"${fig_file[$k]}\" alt=\"${fig_en[$k]}\">"
      echo "<figcaption>${fig_ja[$k]}<br>${fig_en[$k]}$time"
      [ -n "${fig_note[$k]}" ] && echo "<div class=\"note\">${fig_note[$k]}</div>"
      echo "</figcaption></figure>"
    done
    echo "<p>Logs of this run: <a href=\"tour.log\">tour.log</a>"
    for k in "$tour"/logs/*.txt; do
      [ -f "$k" ] && echo ", <a href=\"logs/${k##*/}\">${k##*/}</a>"
    done
    echo "</p>"
    echo "</body></html>"
  } >"$tour/index.html"
}

finish() {
  local code=$?
  trap - EXIT
  if [ "$code" -ne 0 ] && [ -z "$error" ]; then error="$stage: the tour ended unexpectedly (exit $code; see $tour/tour.log)"; fi
  if [ -n "$error" ]; then
    echo "demo-tour: $error" >&2
    # What the screen showed when the tour gave up.
    if [ -n "$tour_display" ] && import -window root "$tour/stopped.png" 2>/dev/null; then
      figure stopped.png "停止したときの画面" "The screen when the tour stopped." "$(now_us)"
    fi
  fi
  copy_logs || true
  write_index || true
  rm -rf "$tour/burst"
  suite stop >>"$tour/tour.log" 2>&1 || true
  say "$( [ -n "$error" ] && echo "stopped early" || echo "done") in $(seconds_since "$(now_us)" "$tour_start") s"
  echo "$tour/index.html"
  [ -z "$error" ] || exit 1
  exit "$code"
}

fail() { error="$stage: $*"; exit 1; }

# ---- the skin --------------------------------------------------------------
# Prints "X Y WIDTH HEIGHT LAYOUTWIDTH LAYOUTHEIGHT" of an item of a skin file:
# its Position and Size (through its Class chain) and the window's LayoutSize
# (for the block "Base", the window itself at 0, 0).
skin_item() { # file block
  python3 - "$skins/$1" "$2" <<'EOF'
import os, re, sys

def blocks(path):
    text = open(path, encoding="utf-8").read()
    found = {}
    for name in re.findall(r'^#include\s+"([^"]+)"', text, re.M):
        found.update(blocks(os.path.join(os.path.dirname(path), name)))
    text = re.sub(r"//[^\n]*", "", text)
    for name, body in re.findall(r"(\w+)\s*\{([^{}]*)\}", text):
        values = {}
        for statement in body.split(";"):
            if "=" in statement:
                key, value = statement.split("=", 1)
                values[key.strip()] = value.strip()
        found[name] = values
    return found

def numbers(items, name, key):
    while name in items:
        if items[name].get(key):
            return [int(v) for v in items[name][key].split(",")[:2]]
        name = items[name].get("Class")
    sys.exit(f"{sys.argv[1]}: no {key} for {sys.argv[2]}")

items = blocks(sys.argv[1])
layout = numbers(items, "Base", "LayoutSize")
if sys.argv[2] == "Base":
    position, size = [0, 0], layout
else:
    position = numbers(items, sys.argv[2], "Position")
    size = numbers(items, sys.argv[2], "Size")
print(*position, *size, *layout)
EOF
}

# The notice is an OK/Cancel box of the online-help kind: its left button
# opens the help page, the right one (the Cancel slot, captioned OK by
# %Common315%) answers OK.
notice_skin=MessageBoxWindowForURL.txt
notice_ok=CancelButton
install_skin=SilentInstallWindow.txt
install_button=CancelButton     # one button: 開始, then キャンセル, 次へ＞＞ or 完了
install_message=MessageText     # where the window's message is centred
launch_skin=LaunchWindow.txt

read -r _ _ notice_width notice_height _ _ < <(skin_item "$notice_skin" Base) || die "cannot read $notice_skin"
read -r _ _ install_width install_height _ _ < <(skin_item "$install_skin" Base) || die "cannot read $install_skin"
read -r _ _ launch_width launch_height _ _ < <(skin_item "$launch_skin" Base) || die "cannot read $launch_skin"
read -r message_x message_y message_w message_h _ _ < <(skin_item "$install_skin" "$install_message") \
  || die "cannot read $install_skin"

# ---- windows ---------------------------------------------------------------
# Wine's windows are unmanaged X windows here, named after their titles.
# Prints the visible launcher windows as "ID X Y WIDTH HEIGHT NAME".
launcher_windows() {
  # shellcheck disable=SC2034  # set by getwindowgeometry --shell
  local id WINDOW X Y WIDTH HEIGHT SCREEN
  for id in $(xdotool search --onlyvisible --class ravelin_launcher 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    echo "$id $X $Y $WIDTH $HEIGHT $(xdotool getwindowname "$id" 2>/dev/null || true)"
  done
}

# Prints "ID X Y WIDTH HEIGHT" of a visible launcher window whose name matches
# NAME (an extended regex) and whose size is WIDTH × HEIGHT (HEIGHT "+N": at least N).
find_window() { # name width height
  local id x y w h name
  while read -r id x y w h name; do
    [[ "$name" =~ $1 ]] || continue
    [ "$w" -eq "$2" ] || continue
    case "$3" in
      +*) [ "$h" -ge "${3#+}" ] || continue ;;
      *) [ "$h" -eq "$3" ] || continue ;;
    esac
    echo "$id $x $y $w $h"
    return 0
  done < <(launcher_windows)
  return 1
}

# Waits (at most SECONDS) until COMMAND succeeds; its output is kept in $found.
found=""
wait_for() { # seconds description command...
  local limit=$1 what=$2 deadline
  deadline=$(( $(now_us) + limit * 1000000 ))
  shift 2
  while :; do
    if found=$("$@"); then return 0; fi
    [ "$(now_us)" -lt "$deadline" ] || fail "$what did not come within $limit s"
    sleep 0.1
  done
}

window_gone() { ! launcher_windows | grep -q "^$1 "; }

# Waits until two captures of the window 0.2 s apart are the same picture: it has been painted.
settle() { # id
  local tries=50
  import -window "$1" -depth 8 "$tour/settle-a.miff" 2>/dev/null || true
  while [ "$tries" -gt 0 ]; do
    sleep 0.2
    import -window "$1" -depth 8 "$tour/settle-b.miff" 2>/dev/null || true
    cmp -s "$tour/settle-a.miff" "$tour/settle-b.miff" && break
    mv "$tour/settle-b.miff" "$tour/settle-a.miff"
    tries=$((tries - 1))
  done
  rm -f "$tour/settle-a.miff" "$tour/settle-b.miff"
}

shot_time=""
shoot() { # file: the whole screen
  shot_time=$(now_us)
  import -window root "$tour/$1" 2>/dev/null || fail "the screenshot $1 could not be taken"
}

# Clicks the middle of a skin item of the window "ID X Y WIDTH HEIGHT". With
# "corner" the item keeps its distance from the window's bottom-right corner
# (a message box lays its buttons out from there and grows with its text).
click_item() { # window skin block [corner]
  local id x y w h bx by bw bh lw lh cx cy
  read -r id x y w h <<<"$1"
  read -r bx by bw bh lw lh < <(skin_item "$2" "$3")
  if [ "${4:-}" = corner ]; then
    cx=$((x + w - (lw - bx) + bw / 2)); cy=$((y + h - (lh - by) + bh / 2))
  else
    cx=$((x + bx + bw / 2)); cy=$((y + by + bh / 2))
  fi
  echo "click $3 of window $id at $cx,$cy" >>"$tour/tour.log"
  # The pointer leaves at once (the button takes the release's own position),
  # so that no button is shown hot in the pictures.
  xdotool mousemove --sync "$cx" "$cy" sleep 0.2 click 1 mousemove 0 0
}

# ---- what the suite does ---------------------------------------------------
log_dir=""
log_offset_launcher=0; log_offset_updater=0
find_logs() {
  local file
  file=$(find "$bench/prefix/drive_c/users" -path '*/Halvard/Ravelin/Log/Ravelin_Launcher_sys.log' 2>/dev/null | head -1)
  [ -n "$file" ] || return 1
  log_dir=$(dirname "$file")
}
size_of() { stat -c %s "$1" 2>/dev/null || echo 0; }
# Prints the part of a log written since the launcher started, as UTF-8.
new_log() { # file offset
  [ -f "$1" ] || return 0
  local offset=$2
  [ "$(size_of "$1")" -ge "$offset" ] || offset=0   # the log started afresh
  tail -c +$((offset + 1)) "$1" | iconv -c -f CP932 -t UTF-8
}
copy_logs() {
  [ -n "$log_dir" ] || return 0
  mkdir -p "$tour/logs"
  new_log "$log_dir/Ravelin_Launcher_sys.log" "$log_offset_launcher" >"$tour/logs/Ravelin_Launcher_sys.txt"
  new_log "$log_dir/RavelinUpdate_sys.log" "$log_offset_updater" >"$tour/logs/RavelinUpdate_sys.txt"
  [ -f "$download_dir/Ravelin_LauncherSetup.log" ] &&
    iconv -c -f UTF-8 -t UTF-8 "$download_dir/Ravelin_LauncherSetup.log" | tr -d '\r' >"$tour/logs/Ravelin_LauncherSetup.txt"
  return 0
}

# The packages the launcher downloads and the programs they install.
packages=(); programs=()
declare -A package_size=()
download_dir=""
plan() {
  # shellcheck disable=SC1091
  . "$demo/demo-suite.env"
  [ $((flags & 1)) -eq 0 ] || packages+=("$DEMO_SETUP")
  [ $((flags & 2)) -eq 0 ] || { packages+=("$DEMO_PACKAGE_2_V2"); programs+=("$DEMO_PROGRAM_2"); }
  [ $((flags & 4)) -eq 0 ] || { packages+=("$DEMO_PACKAGE_3_V2"); programs+=("$DEMO_PROGRAM_3"); }
  local name
  for name in "${packages[@]}"; do package_size[$name]=$(size_of "$service/files/$name"); done
}
suite_folder() { echo "$bench/prefix/drive_c/Program Files/Ravelin/ソフト表示"; }

# True while some package is not yet wholly in the download folder: then the
# launcher has not begun installing and shows no installation text yet.
downloads_incomplete() {
  local name
  for name in "${packages[@]}"; do
    [ "$(size_of "$download_dir/$name")" -ge "${package_size[$name]}" ] || return 0
  done
  return 1
}
installs_done() {
  local program
  for program in "${programs[@]}"; do cmp -s "$(suite_folder)/$program" "$demo/v2/$program" || return 1; done
}
gets_seen() { grep -c '"method": "GET"' "$service/requests.jsonl" 2>/dev/null || true; }
# When the updater logged the first install request (microseconds), or nothing.
install_request_time() {
  local line stamp
  line=$(new_log "$log_dir/RavelinUpdate_sys.log" "$log_offset_updater" | grep -m1 'OnCopyData  APLType' || true)
  [ -n "$line" ] || return 0
  stamp=${line%%$'\t'*}                                   # 2026/12/08 02:40:01:888
  echo $(( $(date -d "$(echo "${stamp:0:19}" | tr / -)" +%s) * 1000000 + 10#${stamp:20:3} * 1000 ))
}

launcher_gone() { ! launcher_alive; }
launcher_alive() {
  local pid
  pid=$(cat "$demo/launcher.pid" 2>/dev/null || true)
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && [ "$(ps -o stat= -p "$pid" 2>/dev/null | cut -c1)" != Z ]
}
start_launcher() {
  suite start --no-build --launcher >>"$tour/tour.log" 2>&1 || fail "the launcher could not be started"
}

# ---- the stages ------------------------------------------------------------
notice() { # stage file ja en
  local window
  stage="$1"; shift
  wait_for 60 "a ${notice_width}-pixel-wide box of the launcher" find_window '^(Ravelin)?$' "$notice_width" "+$notice_height"
  window=$found
  settle "${window%% *}"
  shoot "$1"
  figure "$1" "$2" "$3" "$shot_time"
  say "${stage}: shot; answering OK"
  click_item "$window" "$notice_skin" "$notice_ok" corner
  wait_for 15 "the box's end after OK" window_gone "${window%% *}"
}

# Captures the silent-install window as fast as it goes from the 開始 click
# until the end state has stayed unchanged for a while; keeps each new
# picture with when it was taken and whether a download was still under way
# right after it.
# While it installs, the window's bar creeps every 0.2 s (up to 97 %), so a
# picture unchanged for 1.5 s with every program in place is the end state.
quiet_end=1500000      # µs
no_change_limit=60     # seconds without any change of the picture: something hangs
burst() { # id
  local id=$1 dir="$tour/burst" kept=-1 t0 t1 changed
  mkdir -p "$dir"
  burst_t0=(); burst_t1=(); burst_last_t0=(); burst_incomplete=()
  changed=$(now_us)
  while :; do
    t0=$(now_us)
    import -window "$id" -depth 8 "$dir/frame.miff" 2>/dev/null || fail "the silent-install window went away"
    t1=$(now_us)
    local incomplete=0
    downloads_incomplete && incomplete=1
    if [ "$kept" -ge 0 ] && cmp -s "$dir/frame.miff" "$dir/$kept.miff"; then
      burst_last_t0[kept]=$t0
      [ "$incomplete" = 0 ] || burst_incomplete[kept]=1
      if [ $((t1 - changed)) -ge "$quiet_end" ] && installs_done; then break; fi
      if [ $((t1 - changed)) -ge $((no_change_limit * 1000000)) ]; then
        if [ "$(gets_seen)" -eq 0 ]; then fail "no download began within $no_change_limit s of 開始"
        elif downloads_incomplete; then stage="stage 3 (the downloads)"; fail "they stood still for $no_change_limit s"
        elif ! installs_done; then
          stage="stage 4 (the installation)"
          [ -n "$(install_request_time)" ] || fail "the updater logged no install request; the window stood still for $no_change_limit s"
          fail "it stood still for $no_change_limit s"
        else stage="stage 5 (the end state)"; fail "the window did not settle"; fi
      fi
    else
      kept=$((kept + 1))
      mv "$dir/frame.miff" "$dir/$kept.miff"
      burst_t0[kept]=$t0; burst_t1[kept]=$t1; burst_last_t0[kept]=$t0; burst_incomplete[kept]=$incomplete
      changed=$t1
    fi
  done
  burst_count=$((kept + 1))
}

message_hash() { # picture of the silent-install window
  convert "$1" -crop "${message_w}x${message_h}+${message_x}+${message_y}" +repage rgb:- | md5sum | cut -c1-32
}

# Sorts the burst's pictures by the window's message. Its texts come in a
# fixed order: found, downloading, installing, the end. A picture is a
# download's when a package was still incomplete right after it was taken, or
# when it was taken well before the updater logged the install request; an
# installation's when it was taken well after that (the launcher shows the
# installation text just before it sends the request: a few milliseconds).
# With both middle texts seen, their order tells them apart as well.
request_margin=50000   # µs: "well" before or after the install request
pick_burst_frames() { # found-hash → sets download_frame, install_frame ("" when not seen)
  local found_hash=$1 end_hash k hash request groups=() group_dl=() group_inst=() members=() g
  declare -A group_of=()
  end_hash=$(message_hash "$tour/burst/$((burst_count - 1)).miff")
  request=$(install_request_time)
  echo "burst: $burst_count different pictures; install request at ${request:-none}" >>"$tour/tour.log"
  for ((k = 0; k < burst_count; k++)); do
    hash=$(message_hash "$tour/burst/$k.miff")
    [ -z "$request" ] || echo "  picture $k (message ${hash:0:8}): taken $(( (burst_t0[k] - request) / 1000 )) to $(( (burst_last_t0[k] - request) / 1000 )) ms after the install request" >>"$tour/tour.log"
    if [ "$hash" = "$found_hash" ] || [ "$hash" = "$end_hash" ]; then continue; fi
    if [ -z "${group_of[$hash]:-}" ]; then
      groups+=("$hash"); group_of[$hash]=$(( ${#groups[@]} - 1 )); group_dl+=(0); group_inst+=(0); members+=("")
    fi
    g=${group_of[$hash]}
    members[g]="${members[g]} $k"
    [ "${burst_incomplete[k]}" = 0 ] || group_dl[g]=1
    if [ -n "$request" ]; then
      [ "${burst_t1[k]}" -ge $((request - request_margin)) ] || group_dl[g]=1
      [ "${burst_last_t0[k]}" -le $((request + request_margin)) ] || group_inst[g]=1
    fi
  done
  echo "  found ${found_hash:0:8}, end ${end_hash:0:8}, other messages: ${#groups[@]}" >>"$tour/tour.log"
  download_frame=""; install_frame=""
  if [ "${#groups[@]}" -eq 2 ] && [ "${group_inst[0]}" = 0 ] && [ "${group_dl[1]}" = 0 ]; then
    group_dl[0]=1; group_inst[1]=1
  fi
  for g in "${!groups[@]}"; do
    echo "  group $g: pictures${members[g]}; download ${group_dl[g]}, installation ${group_inst[g]}" >>"$tour/tour.log"
    [ "${group_dl[g]}" != "${group_inst[g]}" ] || continue   # neither, or contradicting: not shown
    read -ra list <<<"${members[g]}"
    k=${list[$(( (${#list[@]} - 1) / 2 ))]}                  # the middle one: the bar under way
    if [ "${group_dl[g]}" = 1 ]; then download_frame=$k; else install_frame=$k; fi
  done
}

burst_figure() { # frame file ja en
  if [ -n "$1" ]; then
    convert "$tour/burst/$1.miff" "$tour/$2"
    figure "$2" "$3" "$4" "${burst_t0[$1]}" "The window alone, one of $burst_count different pictures taken in a burst."
  else
    figure "" "$3" "$4" "" "通過が速すぎて撮影できませんでした — passed too quickly to be caught."
  fi
}

# ---- the road --------------------------------------------------------------
rm -rf "$tour"
mkdir -p "$tour"
trap finish EXIT
: >"$tour/tour.log"

say "laying out the demo suite in $build (offer $(printf '0x%04X' "$flags"))"
if ! suite setup --offer "$offer" "${suite_options[@]}" 2>&1 | tee -a "$tour/tour.log"; then
  fail "the demo suite could not be laid out (see $tour/tour.log)"
fi
plan

stage="the launcher's start"
# The logs go on from earlier runs: this run's part starts here.
find_logs || true
if [ -n "$log_dir" ]; then
  log_offset_launcher=$(size_of "$log_dir/Ravelin_Launcher_sys.log")
  log_offset_updater=$(size_of "$log_dir/RavelinUpdate_sys.log")
fi
launch_start=$(now_us)
start_launcher
tour_display=$(cat "$bench/display") || fail "the bench has no display"
export DISPLAY=$tour_display
say "the launcher runs on the private display $DISPLAY"
xdotool mousemove 0 0

# (1) The important notice.
notice "stage 1 (the important notice)" 1-notice.png "＜重要なお知らせ＞（OK で閉じる）" "The important notice, a skinned message box; answered OK."
find_logs || fail "the launcher wrote no log"
download_dir="$(dirname "$log_dir")/Download"

# (2) The silent-install window with the new version.
stage="stage 2 (the new-version window)"
wait_for 60 "the window \"Ravelin_Launcher\" of ${install_width}×${install_height}" \
  find_window '^Ravelin_Launcher$' "$install_width" "$install_height"
install_window=$found
settle "${install_window%% *}"
shoot 2-new-version.png
figure 2-new-version.png "新しいバージョンが見つかりました（［開始］）" \
  "The silent-install window: a new version was found; 開始 (start)." "$shot_time"
import -window "${install_window%% *}" -depth 8 "$tour/found.miff"
found_hash=$(message_hash "$tour/found.miff")
rm -f "$tour/found.miff"
say "${stage}: shot; pressing 開始"

# (3) and (4): the downloads and the installation pass in a moment here.
stage="stage 3 (the downloads)"
click_item "$install_window" "$install_skin" "$install_button"
burst "${install_window%% *}"
pick_burst_frames "$found_hash"
burst_figure "$download_frame" 3-downloading.png "ダウンロード中（進行状況バー）" "Downloading, with the progress bar."
burst_figure "$install_frame" 4-installing.png "インストール中" "Installing."
caught() { if [ -n "$1" ]; then echo shot; else echo "passed too quickly"; fi; }
say "downloads and installation: $burst_count different pictures; downloading $(caught "$download_frame"), installing $(caught "$install_frame")"

# (5) The end state.
stage="stage 5 (the end state)"
shoot 5-end.png
if [ $((flags & 1)) -ne 0 ]; then
  figure 5-end.png "［次へ＞＞］: ランチャー自身の更新が残っている" \
    "The end state: 次へ＞＞, the launcher's own update remains." "$shot_time"
  say "${stage}: shot; pressing 次へ＞＞"
  click_item "$install_window" "$install_skin" "$install_button"

  # The launcher hands its setup to the updater and ends; the setup replaces it.
  stage="stage 5 (the launcher's end after 次へ＞＞)"
  wait_for 60 "the launcher's end" launcher_gone
  stage="stage 5 (the launcher's replacement)"
  wait_for 60 "Ravelin_Launcher.exe replaced by the setup" \
    cmp -s "$(suite_folder)/Ravelin_Launcher.exe" "$demo/v2/Ravelin_Launcher.exe"
  replaced=$(now_us)
  copy_logs
  figure "" "ランチャーが終了し、セットアップが Ravelin_Launcher.exe を置き換えた" \
    "The launcher ended; the updater ran its setup, which replaced Ravelin_Launcher.exe ($DEMO_LAUNCHER_VERSION → $DEMO_LAUNCHER_NEW_VERSION)." \
    "$replaced" "<pre>$(html <"$tour/logs/Ravelin_LauncherSetup.txt" 2>/dev/null || true)</pre>"
  say "the launcher was replaced; starting it again"

  # (6) The new launcher finds nothing to do: the notice again, then the launch window.
  start_launcher
  notice "stage 6 (the notice after the restart)" 6a-notice-again.png "再起動: ＜重要なお知らせ＞ ふたたび" "The replaced launcher started again: the notice once more."
else
  figure 5-end.png "［完了］: バージョンアップ完了" "The end state: 完了 (done)." "$shot_time"
  say "${stage}: shot; pressing 完了"
  click_item "$install_window" "$install_skin" "$install_button"
fi

stage="stage 6 (the launch window)"
wait_for 60 "the window \"Ravelin_Launcher\" of ${launch_width}×${launch_height}" \
  find_window '^Ravelin_Launcher$' "$launch_width" "$launch_height"
settle "${found%% *}"
shoot 6-launch-window.png
figure 6-launch-window.png "ランチャーのウィンドウ" "The launch window." "$shot_time"
say "${stage}: shot"
stage="the end"
