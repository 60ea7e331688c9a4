#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A timed grab: `--delay 2 --screen` counts down in a small window above the others and grabs
# about two seconds later, not before, without the countdown in the picture; Escape on the
# countdown cancels it, and a second request during a countdown takes its place.
source "$(dirname "$0")/lib.sh"

e2e_x11 1280x800 tray
e2e_home
e2e_start_app
background='#3a6ea5'
xsetroot -solid "$background"
countdown() { xdotool search --onlyvisible --name '^Kiwano Snapper Countdown$'; }
now_ms() { date +%s%3N; }
# A window under the countdown, which draws itself again only when told: until it has, the
# screen still shows the countdown where it was.
start_paste_target
xdotool windowmove --sync "$paste_target" 340 20 windowsize --sync "$paste_target" 600 260

asked=$(now_ms)
e2e_app --delay 2 --screen || fail "--delay 2 --screen exited with an error"
poll 5 countdown || fail "--delay showed no countdown"
read -r cx cy cw ch < <(xdotool getwindowgeometry --shell "$(countdown | head -1)" |
  awk -F= '/^X=/ {x = $2} /^Y=/ {y = $2} /^WIDTH=/ {w = $2} /^HEIGHT=/ {h = $2} END {print x, y, w, h}')
screenshot countdown
# Until the countdown ends the history stays empty.
while (($(now_ms) - asked < 1700)); do
  [[ $(grabs) -eq 0 ]] || fail "the grab came $(($(now_ms) - asked)) ms after --delay 2, before its time"
  sleep 0.05
done
poll 10 has_grabs 1 || fail "no grab landed after the countdown"
landed=$(now_ms)
((landed - asked >= 1900 && landed - asked <= 5000)) ||
  fail "the grab landed $((landed - asked)) ms after --delay 2"
countdown >/dev/null && fail "the countdown stayed on screen after the grab"
grab=$(newest_grab)
[[ $(png_size "$grab") == 1280x800 ]] || fail "the screen grab is $(png_size "$grab")"
# Where the countdown was, the grab has none of its face's colour (Kiwano cream).
face=$(convert "$grab" -crop "${cw}x${ch}+${cx}+${cy}" +repage -fill black +opaque 'rgb(255,248,220)' \
  -fill white -opaque 'rgb(255,248,220)' -format '%[fx:round(mean*w*h)]' info:)
[[ $face == 0 ]] || fail "the countdown (${cw}x${ch}+${cx}+${cy}) is in the grab: $face pixels of its face"
pass "--delay 2 grabbed after $((landed - asked)) ms, without the countdown in the picture"

# Escape on the countdown: nothing is grabbed, no overlay shows.
e2e_app --delay 2 --region || fail "--delay 2 --region exited with an error"
poll 5 countdown || fail "the second countdown did not show"
window=$(countdown | head -1)
# It takes the keys when it shows.
poll 5 bash -c "[[ \$(xdotool getactivewindow) == $window ]]" || fail "the countdown did not take the keys"
e2e_key Escape
poll 3 bash -c "! xdotool search --onlyvisible --name '^Kiwano Snapper Countdown$'" || fail "Escape left the countdown on screen"
sleep 2.5
capture_overlay_shown >/dev/null && fail "the cancelled countdown still showed the overlay"
[[ $(grabs) -eq 1 ]] || fail "the cancelled countdown still grabbed"
pass "Escape on the countdown cancels the grab"

# A second request during a countdown takes its place: one grab, at the second one's time.
asked=$(now_ms)
e2e_app --delay 4 --screen || fail "--delay 4 --screen exited with an error"
poll 5 countdown || fail "the third countdown did not show"
e2e_app --delay 1 --screen || fail "--delay 1 --screen exited with an error"
poll 10 has_grabs 2 || fail "the second request grabbed nothing"
((($(now_ms) - asked) < 3500)) || fail "the second request waited for the first one's countdown"
sleep 3.5
[[ $(grabs) -eq 2 ]] || fail "the replaced countdown grabbed as well ($(grabs) grabs)"
pass "a second timed request replaces the countdown"

# A grab at once during a countdown ends the countdown.
e2e_app --delay 3 --screen || fail "--delay 3 --screen exited with an error"
poll 5 countdown || fail "the fourth countdown did not show"
e2e_app --screen || fail "--screen exited with an error"
poll 5 has_grabs 3 || fail "--screen during a countdown grabbed nothing"
poll 3 bash -c "! xdotool search --onlyvisible --name '^Kiwano Snapper Countdown$'" || fail "--screen left the countdown on screen"
sleep 3.5
[[ $(grabs) -eq 3 ]] || fail "the countdown a grab at once replaced grabbed as well ($(grabs) grabs)"
pass "a grab at once during a countdown ends it"

# The tray menu's timer rows: "Grab Region After", "3 Seconds" counts down, then the overlay shows.
# The tray sits at the top right corner, our icon at its right end.
# Keys typed before the menu took them are lost: tried again then.
for _ in 1 2 3; do
  xdotool mousemove 1266 14 click 1
  sleep 0.5
  xdotool key Down Down Down Down Down Down Right Return
  asked=$(now_ms)
  poll 3 countdown && break
  xdotool key Escape Escape Escape
done
countdown >/dev/null || fail "the tray's 3 Seconds row showed no countdown"
poll 10 capture_overlay_shown || fail "the tray's timed region grab showed no overlay"
((($(now_ms) - asked) >= 2500)) || fail "the tray's 3 second countdown ended after $(($(now_ms) - asked)) ms"
e2e_key Escape
pass "the tray's timer row counts down, then shows the overlay"

# What the command line refuses.
e2e_app --delay 2 >"$work/err" 2>&1 && fail "--delay without a grab was accepted"
grep -q -- '--delay needs a grab' "$work/err" || fail "--delay without a grab said: $(cat "$work/err")"
e2e_app --delay soon --screen >"$work/err" 2>&1 && fail "--delay soon was accepted"
grep -q "not 'soon'" "$work/err" || fail "--delay soon said: $(cat "$work/err")"
pass "--delay without a grab or with no number is refused with a reason"
e2e_quit
