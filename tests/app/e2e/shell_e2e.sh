#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the program into a temporary root and walks through it as a person would, on a
# private X server with openbox and a tray host: a region grab by its shortcut, a copy recorded
# and pasted back from the picker, a grab asked for from the command line, pausing and skipping
# a copy from the tray menu, and quitting with nothing lost.
set -uo pipefail
build=$1
pastetarget=$2
work=$(mktemp -d "$build/e2e.XXXXXX")
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [[ -f $work/app.log ]] && sed 's/^/app: /' "$work/app.log"; exit 1; }
pass() { echo "PASS: $*"; }
# poll SECONDS COMMAND...: true once the command succeeds, false when the deadline passes first.
poll() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS >= deadline)) && return 1
    sleep 0.05
  done
}

DESTDIR=$work/root cmake --install "$build" --prefix /usr >/dev/null || fail "install"
app=$work/root/usr/bin/kiwano-snapper
[[ -x $work/root/usr/libexec/kiwano-snapper/kiwano-capture ]] || fail "capture tool not installed"
[[ -f $work/root/usr/share/gnome-shell/extensions/kiwano-snapper@kiwanosnapper.org/metadata.json ]] \
  || fail "GNOME Shell extension not installed"

for n in $(seq 160 220); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  break
done
poll 10 xdpyinfo || fail "no X server"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
poll 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' || fail "no window manager"
trayer --edge top --align right --widthtype pixel --width 100 --height 28 >/dev/null 2>&1 &
pids+=($!)
poll 10 xdotool search --class trayer || fail "no tray host"

export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
history=$XDG_DATA_HOME/KiwanoSnapper/History
clips=$XDG_DATA_HOME/KiwanoSnapper/Clipboard/index.json

grabs() { ls "$history"/grab-*.png 2>/dev/null | wc -l; }
has_grabs() { [[ $(grabs) -ge $1 ]]; }
recorded() { grep -qF "\"title\":\"$1\"" "$clips" 2>/dev/null; }
# The status item: a small window of ours inside the tray host.
tray_icon() { xwininfo -root -tree | awk '/"kiwano-snapper" "Kiwano Snapper"/ && $0 ~ / (1[0-9]|2[0-9]|3[0-9])x[0-9]+\+/ {print $1; exit}'; }
has_tray_icon() { [[ -n $(tray_icon) ]]; }
main_window_shown() {
  local id
  for id in $(xdotool search --onlyvisible --classname kiwano-snapper 2>/dev/null); do
    [[ $(xwininfo -id "$id" | awk '/Width:/ {print $2}') -gt 300 ]] && return 0
  done
  return 1
}
picker_shown() { xdotool search --onlyvisible --name '^Clipboard$'; }
picker_gone() { ! picker_shown; }
# Opens the tray menu and picks the row this many steps down (separators are skipped).
menu_row() {
  local icon=$(tray_icon) shown
  shown=$(xdotool search --onlyvisible --classname kiwano-snapper | wc -l)
  eval "$(xdotool getwindowgeometry --shell "$icon")"
  xdotool mousemove $((X + 5)) $((Y + 5)) click 3
  poll 5 bash -c "[[ \$(xdotool search --onlyvisible --classname kiwano-snapper | wc -l) -gt $shown ]]" \
    || fail "the tray menu did not open"
  xdotool key --delay 40 $(printf 'Down %.0s' $(seq "$1")) Return
}
copy() { printf '%s' "$1" | xclip -selection clipboard; }

"$app" >"$work/app.log" 2>&1 &
apppid=$!
pids+=($apppid)
poll 15 has_tray_icon || fail "tray icon did not appear"
pass "tray icon shown"

# The region shortcut (Shift+Super+6) starts a grab; a drag selects and the grab lands.
xdotool key super+shift+6
poll 10 xdotool search --onlyvisible --classname kiwano-capture || fail "region shortcut started no grab"
sleep 0.3
xdotool mousemove 100 120 mousedown 1 mousemove 200 200 mousemove 300 260 mouseup 1
poll 10 has_grabs 1 || fail "region grab did not land in the history"
poll 10 main_window_shown || fail "main window did not show the grab"
pass "region grab landed and the window shows it"

# A copy made elsewhere is recorded, shows in the picker, and choosing it pastes.
"$pastetarget" >"$work/pasted.txt" 2>/dev/null &
pids+=($!)
poll 10 xdotool search --onlyvisible --name '^paste target$' || fail "paste target did not show"
copy "kiwano e2e words"
poll 10 recorded "kiwano e2e words" || fail "copy was not recorded"
pass "copy recorded"
copy "something else"
poll 10 recorded "something else" || fail "second copy was not recorded"
xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^paste target$')"
xdotool key super+shift+c
poll 10 picker_shown || fail "clipboard shortcut did not open the picker"
xdotool type --delay 30 "e2e"
xdotool key Return
poll 10 picker_gone || fail "picker stayed open"
poll 10 grep -qF "kiwano e2e words" "$work/pasted.txt" || fail "choosing the entry did not paste it"
pass "picker pasted the entry into the window in front"

# A second process asks the running one for a grab.
before=$(grabs)
"$app" --screen || fail "--screen exited with an error"
poll 10 has_grabs $((before + 1)) || fail "--screen made no grab"
[[ $(pgrep -c -f "^$app") -eq 1 ]] || fail "a second instance kept running"
pass "--screen grabbed through the running instance"

# Pause from the menu: copies are not recorded until resumed.
menu_row 9
sleep 0.5
copy "while paused"
menu_row 9
sleep 0.5
copy "after resume"
poll 10 recorded "after resume" || fail "copying after resume was not recorded"
# Copies are taken in order, so the later one being in means the earlier one was seen.
recorded "while paused" && fail "a copy was recorded while paused"
pass "pause and resume from the menu"

# Ignore Next Copy: the next copy is skipped, the one after is kept.
menu_row 8
sleep 0.5
copy "skipped once"
sleep 0.2
copy "kept again"
poll 10 recorded "kept again" || fail "the copy after the ignored one was not recorded"
recorded "skipped once" && fail "the ignored copy was recorded"
pass "ignore next copy from the menu"

# Quit from the command line: the app ends normally and the history is all there.
total=$(grabs)
"$app" --quit || fail "--quit exited with an error"
poll 10 bash -c "! kill -0 $apppid" || fail "--quit did not end the app"
wait "$apppid"; status=$?
[[ $status -eq 0 ]] || fail "the app ended with status $status"
[[ $(grabs) -eq $total ]] || fail "grabs were lost"
for title in "kiwano e2e words" "something else" "after resume" "kept again"; do
  recorded "$title" || fail "clip \"$title\" lost at quit"
done
[[ -e $XDG_RUNTIME_DIR/kiwano-snapper.socket ]] && fail "socket left behind"
pass "--quit ended the app with nothing lost"
