#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The picker's clear key empties the list at once, and the Undo of the toast that follows, reached
# by Tab, brings the entries back: in the index and in the picker, looking as before. Under X11,
# E2E_SCALE=2 runs it at twice the scale (screenshots kept with E2E_KEEP=1).
source "$(dirname "$0")/lib.sh"
scale=${E2E_SCALE:-1}
e2e_display "$((1280 * scale))x$((800 * scale))"
e2e_home
export QT_SCALE_FACTOR=$scale
e2e_start_app

copy_until_recorded "alpha one" || fail "the copy \"alpha one\" was not recorded"
for text in "beta two" "gamma three"; do
  e2e_copy_text "$text"
  poll 10 recorded "$text" || fail "the copy \"$text\" was not recorded"
done
entries() { grep -o '"id":"[^"]*"' "$clips" 2>/dev/null | wc -l; }
folders() { find "$(dirname "$clips")" -mindepth 1 -maxdepth 1 -type d -name '[0-9A-F]*-*' | wc -l; }
[[ $(entries) -eq 3 && $(folders) -eq 3 ]] || fail "three copies did not make three entries"
cp "$clips" "$work/index-before.json"

e2e_app --clipboard || fail "--clipboard exited with an error"
poll 10 picker_active || fail "--clipboard showed no picker taking the keys"
sleep 0.5
picker=$(picker_shown | head -1)
eval "$(xdotool getwindowgeometry --shell "$picker")"
area="${WIDTH}x${HEIGHT}+$X+$Y"
e2e_screenshot before
convert "$work/before.png" -crop "$area" +repage "$work/picker-before.png"

e2e_key ctrl+shift+BackSpace
poll 10 eval '[[ $(entries) -eq 0 ]]' || fail "the clear key left $(entries) entries in the index"
[[ $(folders) -eq 0 ]] || fail "the cleared entries' folders stayed in the history folder"
sleep 0.5
e2e_screenshot toast
picker_shown >/dev/null || fail "the picker closed on clearing"
pass "the clear key emptied the history at once"

# After the search field come Clear (nothing left to clear), Settings and the toast's Undo.
e2e_key Tab Tab space
poll 10 eval '[[ $(entries) -eq 3 ]]' || fail "Undo by keyboard did not bring the entries back ($(entries) in the index)"
[[ $(folders) -eq 3 ]] || fail "Undo left $(folders) entry folders"
index_same() { cmp -s "$clips" "$work/index-before.json"; }
poll 5 index_same || fail "the index after Undo differs from the one before the clear"
for text in "alpha one" "beta two" "gamma three"; do
  recorded "$text" || fail "\"$text\" did not come back"
done
pass "Undo by keyboard brought the three entries back as they were"

# The picker shows them as before, once the toast has gone (the search field's caret may blink).
sleep 1
e2e_screenshot after
convert "$work/after.png" -crop "$area" +repage "$work/picker-after.png"
differ=$(pixels_differ "$work/picker-before.png" "$work/picker-after.png")
((differ < 60 * scale * scale)) || fail "the picker after Undo looks different from before ($differ pixels)"
pass "the picker lists the entries again"

e2e_key Escape
poll 10 picker_closed || fail "Escape left the picker open"
e2e_quit; status=$?
((status == 0)) || fail "the program ended with status $status"
