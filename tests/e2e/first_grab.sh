#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A first start without a tray: the main window opens on its empty state, whose Grab button
# steps the window aside for the overlay and brings it back with the grab; the tray menu's keys
# work in the window too (Ctrl+, opens the settings, which Escape and Ctrl+W close again).
source "$(dirname "$0")/lib.sh"

e2e_x11 1280x800
e2e_home
e2e_start_app
poll 15 main_window_shown || fail "without a tray the first start showed no main window"
poll 10 main_window_active || fail "the main window did not take the keys"

settings_shown() { xdotool search --onlyvisible --name 'Kiwano Snapper Settings$'; }
e2e_key ctrl+comma
poll 10 settings_shown || fail "Ctrl+, in the main window opened no settings"
e2e_key Escape
poll 10 bash -c '! xdotool search --onlyvisible --name "Kiwano Snapper Settings$"' || fail "Escape left the settings open"
e2e_key ctrl+comma
poll 10 settings_shown || fail "Ctrl+, opened no settings the second time"
e2e_key ctrl+w
poll 10 bash -c '! xdotool search --onlyvisible --name "Kiwano Snapper Settings$"' || fail "Ctrl+W left the settings open"
pass "Ctrl+, opens the settings from the main window; Escape and Ctrl+W close them"

# The Grab button is the empty window's one control: Tab reaches it, Space presses it.
poll 10 main_window_active || fail "the main window did not get the keys back"
xsetroot -solid '#3a6ea5'
for _ in 1 2 3; do
  e2e_key Tab space
  poll 3 capture_overlay_shown && break
done
capture_overlay_shown >/dev/null || fail "the empty state's Grab button started no grab"
main_window_shown && fail "the main window stayed over the screen being grabbed"
pass "the Grab button starts a region grab with the window out of the way"

e2e_drag 200 150 400 300
poll 10 has_grabs 1 || fail "the drag made no grab"
[[ $(png_size "$(newest_grab)") == 200x150 ]] || fail "the grab is $(png_size "$(newest_grab)"), the drag was 200x150"
poll 10 main_window_shown || fail "the main window did not come back with the grab"
pass "the grab landed and the window came back"

# A cancelled grab brings the window back as well.
e2e_app --quit >/dev/null 2>&1; wait "$apppid" 2>/dev/null
rm -f "$history"/grab-*.png
e2e_start_app
poll 15 main_window_shown || fail "the second start showed no main window"
poll 10 main_window_active || fail "the main window did not take the keys"
for _ in 1 2 3; do
  e2e_key Tab space
  poll 3 capture_overlay_shown && break
done
capture_overlay_shown >/dev/null || fail "the Grab button started no grab the second time"
e2e_key Escape
poll 10 main_window_shown || fail "after a cancelled grab the main window stayed away"
pass "a cancelled grab brings the window back"
e2e_quit
