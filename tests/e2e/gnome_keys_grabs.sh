#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Under GNOME with our shell extension: the global shortcuts fire whichever app is in front, and
# grabs land in the history without the desktop asking first: the whole screen from the command
# line, and a region chosen from the keyboard on the overlay the region shortcut brings up.
source "$(dirname "$0")/lib.sh"
e2e_gnome
e2e_home
# Without XWayland the program can only have gone through the extension.
gnome_app_env=(-u DISPLAY)
gnome_start_app
gnome_start_paste_target

# The clipboard shortcut (Shift+Super+C) while another app has the keys: the shell gives it to us
# once the app has handed it over, which it does within a moment of starting.
deadline=$((SECONDS + 10))
until gnome_focused_is Clipboard; do
  ((SECONDS >= deadline)) && fail "Shift+Super+C did not open the picker (focus: '$(gnome_focused)')"
  gnome_keys shift+super+c
  poll 1 gnome_focused_is Clipboard && break
done
pass "the clipboard shortcut opens the picker"
gnome_keys Escape
poll 10 gnome_focused_is "paste target" || fail "Escape did not close the picker (focus: '$(gnome_focused)')"

e2e_app --screen || fail "--screen exited with an error"
poll 15 has_grabs 1 || fail "the screen grab did not land in the history"
[[ $(png_size "$(newest_grab)") == 1280x960 ]] || fail "the screen grab is $(png_size "$(newest_grab)"), not the screen's 1280x960"
pass "a screen grab lands without the desktop asking"

# The region shortcut: the overlay takes the keys; Return starts a rectangle at the pointer, the
# arrows size it, Return grabs it. Keys that came before the overlay showed its picture are
# lost: then Escape ends that grab and the shortcut starts another.
for attempt in 1 2 3; do
  gnome_keys shift+super+6
  poll 10 gnome_focused_is kiwano-capture || fail "Shift+Super+6 showed no overlay taking the keys (focus: '$(gnome_focused)')"
  gnome_keys Return shift+Right shift+Right shift+Down Return
  poll 5 has_grabs 2 && break
  gnome_keys Escape
  poll 10 gnome_focused_isnt kiwano-capture
done
has_grabs 2 || fail "the region chosen from the keyboard did not land in the history"
pass "the region shortcut brings up the overlay, which takes the keys"
[[ $(png_size "$(newest_grab)") == 20x10 || $(png_size "$(newest_grab)") == 21x11 ]] \
  || fail "the region grab is $(png_size "$(newest_grab)"), not the 20x10 chosen"
pass "a region chosen on the overlay lands in the history"
