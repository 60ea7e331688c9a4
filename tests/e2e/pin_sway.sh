#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Under sway, --pin FILE floats the pinned picture at its own size and keeps it on every workspace
# (sticky), above a tiled window that has the focus; Ctrl+C copies it and Esc closes it.
source "$(dirname "$0")/lib.sh"
e2e_display
[[ $e2e_session == sway ]] || skip "this test runs under sway"
e2e_home
picture=$work/pinned.png
convert -size 320x200 gradient:'#2060c0-#f0d040' -fill black -draw 'rectangle 20,20 120,90' -depth 8 "$picture" ||
  fail "no sample picture"
chmod a+r "$picture"

pin() { sway_window '.name == "Pinned pinned.png" and .visible'; }
e2e_start_app
e2e_start_paste_target
e2e_app --pin "$picture" || fail "--pin exited with an error"
poll 10 pin >/dev/null || fail "--pin showed no pinned window"
poll 5 sway_window '.name == "Pinned pinned.png" and .type == "floating_con" and .sticky' >/dev/null ||
  fail "sway did not float the pin and keep it sticky: $(pin | jq -c '{type, sticky, floating}')"
read -r x y w h < <(pin | jq -r '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"')
[[ ${w}x$h == 320x200 ]] || fail "the pin is ${w}x$h, not the picture's 320x200"
pass "sway floats the pin at the picture's size and keeps it sticky"

# The tiled paste target takes the focus; the pin stays over it.
swaymsg '[title="^paste target$"] focus' >/dev/null
poll 10 paste_target_active || fail "the paste target did not take the focus"
convert "$picture" -crop 304x184+8+8 +repage "$work/expected.png"
# The pin's focus ring goes when the focus does; then the picture shows whole.
# Its place is read again each time: sway may still be moving the new floating window.
pin_uncovered() {
  read -r x y w h < <(pin | jq -r '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"')
  grab_rect $((x + 8)) $((y + 8)) 304 184 "$work/on-screen.png" \
    && [[ $(pixels_differ "$work/on-screen.png" "$work/expected.png") == 0 ]]
}
poll 5 pin_uncovered || fail "the focused window covers the pin (at $x,$y)"
pass "a focused window does not cover the pin"

swaymsg '[title="^Pinned pinned.png$"] focus' >/dev/null
poll 5 sway_window '.focused and .name == "Pinned pinned.png"' >/dev/null || fail "the pin did not take the focus"
e2e_key ctrl+c
poll 5 e2e_clipboard_png "$work/copied.png" || fail "Ctrl+C put no PNG on the clipboard"
[[ $(pixels_differ "$work/copied.png" "$picture") == 0 ]] || fail "the copy is not the pinned picture"
e2e_key Escape
poll 5 bash -c "! swaymsg -t get_tree -r | jq -e 'first(recurse(.nodes[]?, .floating_nodes[]?) | select(.name == \"Pinned pinned.png\"))' >/dev/null" ||
  fail "Esc did not close the pin"
pass "Ctrl+C copies the pin and Esc closes it"

e2e_quit || fail "the program did not quit cleanly"
