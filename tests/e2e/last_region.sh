#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `--last-region` grabs the place of the last grab again without the overlay: the same region
# (also after a restart), the same screen, the same window while it stays where it was; with no
# grab yet it says so and shows the overlay.
source "$(dirname "$0")/lib.sh"

e2e_x11 1280x800 tray
e2e_home
# A desktop whose every place looks different, so that the same pixels mean the same place.
convert -size 1280x800 gradient:'#c03020-#2040c0' \( -size 1280x800 gradient:'#000000-#00ff00' -rotate 90 -resize 1280x800! \) \
  -compose plus -composite "$work/desktop.png"
display -window root "$work/desktop.png" 2>/dev/null
screenshot desktop-set
[[ $(convert "$work/desktop-set.png" -format %k info:) -gt 1000 ]] || fail "could not set the desktop picture"
e2e_start_app
seen_overlay() { [[ -s $work/overlay-seen ]]; }
# Notes in overlay-seen whether the capture overlay shows while one grab request runs.
watch_overlay() {
  : >"$work/overlay-seen"
  (for _ in $(seq 60); do overlay_shown >/dev/null 2>&1 && echo seen; sleep 0.05; done) >"$work/overlay-seen" &
  watcher=$!
}
# The editor opens with each grab; it goes out of the way before the next, as a person would.
minimize_main_window() {
  local window
  poll 10 main_window_shown || fail "the grab did not open the editor"
  window=$(main_window)
  xdotool windowminimize --sync "$window"
  poll 5 bash -c "! xwininfo -id $window | grep -q IsViewable" || fail "the editor did not go away"
  # The window manager draws the minimizing for a moment after.
  poll 5 desktop_shows_again || fail "the desktop did not show again where the editor was"
}
convert "$work/desktop-set.png" -crop 300x180+100+120 +repage "$work/desktop-region.png"
desktop_shows_again() {
  grab_rect 100 120 300 180 "$work/now.png" && [[ $(pixels_differ "$work/now.png" "$work/desktop-region.png") == 0 ]]
}
again() {
  local before=$(grabs)
  watch_overlay
  e2e_app --last-region || fail "--last-region exited with an error"
  poll 10 has_grabs $((before + 1)) || fail "--last-region made no grab ($1)"
  wait "$watcher"
  seen_overlay && fail "--last-region showed the overlay ($1)"
  return 0
}

e2e_app --last-region || fail "--last-region exited with an error"
poll 10 capture_overlay_shown || fail "--last-region before any grab showed no overlay"
poll 5 grep -q 'There is no region to grab again yet' "$work/app.log" || fail "--last-region before any grab said nothing"
e2e_key Escape
poll 5 bash -c '! xdotool search --onlyvisible --classname kiwano-capture' || fail "Escape left the overlay"
[[ $(grabs) -eq 0 ]] || fail "the cancelled overlay grabbed"
pass "before any grab, --last-region says so and shows the overlay"

region_grab 100 120 400 300
first=$(newest_grab)
[[ $(png_size "$first") == 300x180 ]] || fail "the region grab is $(png_size "$first")"
minimize_main_window
again "region"
[[ $(pixels_differ "$first" "$(newest_grab)") == 0 ]] ||
  fail "--last-region grabbed $(png_size "$(newest_grab)") that differs from the region before"
pass "--last-region grabs the same region, without the overlay"

e2e_quit >/dev/null
e2e_start_app
again "after a restart"
[[ $(pixels_differ "$first" "$(newest_grab)") == 0 ]] || fail "after a restart --last-region grabbed another place"
pass "the last region is remembered across a restart"

e2e_app --screen || fail "--screen exited with an error"
poll 10 has_grabs 4 || fail "--screen made no grab"
minimize_main_window
again "screen"
[[ $(png_size "$(newest_grab)") == 1280x800 ]] || fail "after a screen grab --last-region grabbed $(png_size "$(newest_grab)")"
pass "after a screen grab --last-region grabs the screen"

start_paste_target
xdotool windowmove --sync "$paste_target" 500 400
minimize_main_window
e2e_app --window || fail "--window exited with an error"
poll 10 capture_overlay_shown || fail "--window showed no overlay"
e2e_click 700 420
poll 10 has_grabs 6 || fail "picking the window made no grab"
picked=$(png_size "$(newest_grab)")
minimize_main_window
again "window"
[[ $(png_size "$(newest_grab)") == "$picked" ]] || fail "--last-region grabbed $(png_size "$(newest_grab)"), the window was $picked"
minimize_main_window
xdotool windowmove --sync "$paste_target" 200 200
e2e_app --last-region || fail "--last-region exited with an error"
poll 10 grep -q 'no longer where it was' "$work/app.log" || fail "a moved window was not said to be gone"
[[ $(grabs) -eq 7 ]] || fail "--last-region grabbed something for a window that moved"
pass "after a window grab --last-region grabs the same window, and says so when it moved"
e2e_quit
