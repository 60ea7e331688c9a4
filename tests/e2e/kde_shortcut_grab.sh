#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Under KDE Plasma's KWin: the shortcuts fire from keys typed anywhere (KWin's global shortcuts),
# the clipboard one opens the picker and the region one the capture overlay, and grabs made
# through KWin's screenshot service hold the screen's exact pixels: the whole screen from the
# command line, and a region chosen from the keyboard.
source "$(dirname "$0")/lib.sh"

e2e_kde
e2e_home
kde_trust
# Without a tray the main window shows at start: the picture goes over it.
kde_start_app
# A picture where every pixel differs from its neighbours, over the whole screen.
convert -size 1280x800 xc:black -channel R -fx 'i/w' -channel G -fx 'j/h' -channel B -fx '(i*7+j*13)%256/255' \
  +channel -depth 8 "$work/screen.png" || fail "could not draw the picture"
chmod 644 "$work/screen.png"
cp "$e2e_build/tests/platform/kiwano-test-patternwindow" "$work/programs/" && chmod a+rx "$work/programs/kiwano-test-patternwindow"
KDE_ENV=QT_QPA_PLATFORM=wayland kde_command
coproc pattern { exec "${kde_cmd[@]}" "$work/programs/kiwano-test-patternwindow" - 0 --picture="$work/screen.png" 2>&1; }
e2e_pids+=($pattern_PID)
read -r -t 15 line <&"${pattern[0]}" && [[ $line == ready ]] || fail "the picture did not show: $line"

# Shortcuts: KWin binds them once the program has registered them; a press before that is lost.
deadline=$((SECONDS + 20))
until kde_picker_active; do
  ((SECONDS >= deadline)) && fail "Shift+Super+C opened no picker ($(kde_active) is active)"
  kde_do key shift+super+c
  poll 2 kde_picker_active && break
done
kde_do key Escape
poll 10 kde_picker_closed || fail "Escape left the picker open"
pass "the clipboard shortcut opened the picker"

before=$(grabs)
e2e_app --screen || fail "--screen exited with an error"
poll 15 has_grabs $((before + 1)) || fail "--screen put no grab in the history: $(tail -3 "$work/app.log")"
grab=$(newest_grab)
[[ $(png_size "$grab") == 1280x800 ]] || fail "the screen grab is $(png_size "$grab"), not 1280x800"
differ=$(pixels_differ "$grab" "$work/screen.png")
[[ $differ == 0 ]] || fail "$differ pixels of the screen grab differ from the screen"
pass "a screen grab holds the screen's pixels"

before=$(grabs)
kde_do key shift+super+6
overlay_active() { [[ $(kde_active) == *"|kiwano-capture" ]]; }
poll 10 overlay_active || fail "Shift+Super+6 showed no capture overlay taking the keys ($(kde_active) is active)"
# The overlay takes the keys: Return starts at the pointer, Shift+arrows size by 10 px. The
# pointer moves over it first, as a hand's would.
kde_do move 190 90 move 200 100 key Return key shift+Right key shift+Right key shift+Right key shift+Down key shift+Down key Return
poll 15 has_grabs $((before + 1)) || fail "the region shortcut and the keys put no grab in the history ($(kde_active) is active)"
grab=$(newest_grab)
size=$(png_size "$grab")
read -r w h <<<"${size/x/ }"
convert "$work/screen.png" -crop "${w}x${h}+200+100" +repage "$work/expected.png"
differ=$(pixels_differ "$grab" "$work/expected.png")
((w >= 30 && w <= 31 && h >= 20 && h <= 21)) || fail "the region grab is $size, not 30x20"
[[ $differ == 0 ]] || fail "$differ pixels of the region grab differ from the screen there"
pass "the region shortcut and the keys grabbed that region's pixels"

e2e_quit; status=$?
((status == 0)) || fail "the program ended with status $status"
