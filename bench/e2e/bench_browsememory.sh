#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Resident memory while a person browses the history: 100 grabs of 5120x2880, the main window
# open and maximized on a 3840x2160 screen, an arrow drawn on the newest grab, Right pressed
# through every grab 0.35 s apart, an arrow drawn on the oldest, and Left all the way back
# (the edits are kept, their grabs' pictures need not be). Read from /proc/PID/status of the built program: VmRSS once the strip's thumbnails are
# made (start), VmHWM at the end (peak) and VmRSS a few seconds after the last key (idle). The
# baseline, in the same run on the same display: a bare Qt program that decodes one of those
# grabs with QImage and shows it in a maximized window.
#
# bench_browsememory BUILD_DIR [COUNT] (COUNT grabs, 100 unless given); KIWANO_SNAPPER names
# another build of the program to measure (an older one, say) with this build's tools;
# BENCH_SMAPS=FILE keeps the program's /proc smaps at the oldest grab, to see where memory lies.
build=$(cd "${1:-build}" && pwd)
count=${2:-100}
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$build" /bin/true
app=${KIWANO_SNAPPER:-$app}

makegrabs=$build/tools/grabs/kiwano-make-grabs
probe=$build/bench/probes/decodeprobe
[[ -x $app && -x $makegrabs && -x $probe ]] || fail "build kiwano-snapper, kiwano-make-grabs and decodeprobe first"
command -v xdotool >/dev/null || skip "xdotool is missing"

# status PID FIELD: the field of /proc/PID/status in MB.
status() { awk -v field="$2:" '$1 == field { printf "%.0f", $2 / 1024 }' "/proc/$1/status"; }
# settle PID: waits until the resident size holds within 2 MB for 2 s (30 s at most).
settle() {
  local last=0 now steady=0 deadline=$((SECONDS + 30))
  while ((SECONDS < deadline && steady < 4)); do
    sleep 0.5
    now=$(status "$1" VmRSS)
    if ((now - last <= 2 && last - now <= 2)); then steady=$((steady + 1)); else steady=0; fi
    last=$now
  done
}

e2e_home
echo "making $count grabs of 5120x2880..."
"$makegrabs" "$history" "$count" 5120x2880 || fail "kiwano-make-grabs failed"
e2e_x11 3840x2160

# The baseline.
"$probe" "$(newest_grab)" &
probepid=$!
e2e_pids+=($probepid)
poll 20 xdotool search --onlyvisible --name '^decode probe$' || fail "the probe did not show"
settle "$probepid"
probe_rss=$(status "$probepid" VmRSS)
probe_hwm=$(status "$probepid" VmHWM)
kill "$probepid"
wait "$probepid" 2>/dev/null

e2e_start_app
poll 20 main_window_shown || fail "the main window did not show"
window=$(main_window)
xdotool windowsize "$window" 100% 100%
sleep 1
settle "$apppid"
start_rss=$(status "$apppid" VmRSS)
start_hwm=$(status "$apppid" VmHWM)

eval "$(xdotool getwindowgeometry --shell "$window")"
# An arrow dragged over the middle of the canvas, then a click on the thumbnail at one end of the
# strip (the grab shown), which gives the strip the keys: the newest at the left, the oldest at
# the right once the strip has scrolled there.
edit_and_focus_strip() {
  xdotool mousemove $((X + WIDTH * 3 / 10)) $((Y + HEIGHT * 4 / 10)) mousedown 1
  sleep 0.1
  xdotool mousemove $((X + WIDTH * 4 / 10)) $((Y + HEIGHT * 5 / 10))
  sleep 0.1
  xdotool mousemove $((X + WIDTH * 9 / 20)) $((Y + HEIGHT * 11 / 20)) mouseup 1
  sleep 0.3
  xdotool mousemove "$1" $((Y + HEIGHT - 55)) click 1
  sleep 0.5
}
walk() {
  local i
  for ((i = 1; i < count; i++)); do
    xdotool key --window "$window" "$1"
    sleep 0.35
  done
}
edit_and_focus_strip $((X + 70))
screenshot walk-first
walk Right
sleep 1
edit_and_focus_strip $((X + WIDTH - 70))
screenshot walk-oldest
[[ -n ${BENCH_SMAPS:-} ]] && cp "/proc/$apppid/smaps" "$BENCH_SMAPS"
walk Left
sleep 5
idle_rss=$(status "$apppid" VmRSS)
peak=$(status "$apppid" VmHWM)
screenshot walk-back
kill -0 "$apppid" || fail "the program ended during the walk"

printf '%-46s %8s %8s\n' "resident memory, MB" "VmRSS" "VmHWM"
printf '%-46s %8s %8s\n' "baseline: bare Qt viewer of one 5K grab" "$probe_rss" "$probe_hwm"
printf '%-46s %8s %8s\n' "app, $count grabs, window open (start)" "$start_rss" "$start_hwm"
printf '%-46s %8s %8s\n' "app after the walk, idle 5 s" "$idle_rss" "$peak"
awk -v s="$start_rss" -v p="$peak" -v i="$idle_rss" -v b="$probe_hwm" 'BEGIN {
  printf "peak %.1fx the baseline, %+d MB over the start; idle %+d MB over the start\n", p / b, p - s, i - s
  printf "goals: peak <= 600 MB (%s), idle < 400 MB (%s)\n", p <= 600 ? "met" : "missed", i < 400 ? "met" : "missed"
}'
e2e_quit >/dev/null
