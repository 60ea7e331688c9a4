#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Keys typed the moment `kiwano-snapper --clipboard` returns belong to the picker: the filter
# typed at once picks its entry, which is pasted into the app in front; none of the keys reach
# that app themselves. Three rounds, the first opening the picker for the first time.
source "$(dirname "$0")/lib.sh"
e2e_x11
e2e_home
e2e_start_app
# Without a tray host the program shows its main window once it is up; copies come after.
poll 15 main_window_shown || fail "the main window did not show"
for text in "alpha one" "beta two" "gamma three"; do
  copy_text "$text"
  poll 10 recorded "$text" || fail "the copy \"$text\" was not recorded"
done
start_paste_target
xdotool windowactivate --sync "$paste_target" || fail "the paste target did not take the focus"
# A moment, as a person takes between going to a window and pressing the picker's shortcut: the
# main window's loss of the focus reaches Qt some tens of milliseconds after the window manager
# made the switch, and a picker opened within them is closed by Qt (known, left for its own fix).
sleep 0.5

last_line() { tail -n 1 "$work/pasted.txt"; }
shows() { [[ $(last_line) == "$1" ]]; }
for round in "beta:beta two" "alp:alpha one" "gam:gamma three"; do
  filter=${round%%:*} expected=${round#*:}
  "$app" --clipboard || fail "--clipboard exited with an error"
  xdotool type --delay 15 "$filter"
  xdotool key Return
  poll 10 shows "$expected" || fail "typed \"$filter\": the target shows \"$(last_line)\", not \"$expected\""
  # Any other line is a key that went to the target instead of the picker.
  stray=$(grep -vx -e '' -e 'alpha one' -e 'beta two' -e 'gamma three' "$work/pasted.txt")
  [[ -z $stray ]] || fail "keys reached the paste target: $(echo "$stray" | head -3 | tr '\n' '|')"
  poll 10 picker_gone || fail "the picker stayed open after Return"
  xdotool key ctrl+a BackSpace
  poll 5 shows "" || fail "the paste target was not emptied"
done
e2e_quit || fail "the program did not quit cleanly"
pass "keys typed right after --clipboard filtered the picker, three times"
