#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Delete on the strip sends a grab to the desktop's trash, and the toast's Undo brings it back,
# by keyboard and by pointer; where no trash can be had, the grab stays. Under X11, E2E_SCALE=2
# runs it at twice the scale (screenshots kept with E2E_KEEP=1).
source "$(dirname "$0")/lib.sh"
scale=${E2E_SCALE:-1}
e2e_display "$((1280 * scale))x$((800 * scale))"
e2e_home
export QT_SCALE_FACTOR=$scale
mkdir -p "$history"
QT_QPA_PLATFORM=offscreen "$e2e_build/tools/grabs/kiwano-make-grabs" "$history" 3 >/dev/null || fail "no sample grabs"
e2e_start_app
poll 15 main_rect || fail "the main window did not show"
read -r left top width height < <(main_rect)

# Newest at the left: the second thumbnail is the second newest grab. Its middle lies 14 + 123 +
# 56 from the window's left (margin, one item with its gap, half a box) and 58 above its bottom.
victim=$(ls "$history" | sort -r | sed -n 2p)
e2e_click $((left + 193 * scale)) $((top + height - 58 * scale))
sleep 0.3
e2e_screenshot strip-focused

in_trash() { [[ -f $trash/files/$victim && -f $trash/info/$victim.trashinfo ]]; }
in_history() { [[ -f $history/$victim ]]; }
back() { in_history && ! in_trash; }
gone() { ! in_history && in_trash; }

e2e_key Delete
poll 10 gone || fail "Delete did not move $victim to the trash"
grep -qxF "Path=$history/$victim" "$trash/info/$victim.trashinfo" || fail "the trash does not say where $victim was"
[[ $(grabs) -eq 2 ]] || fail "Delete took more than the focused grab"
sleep 0.4
e2e_screenshot toast
pass "Delete moved the focused grab to the trash"

# The toast's Undo comes right after the strip for Tab; focus returns to the strip after it.
e2e_key Tab space
poll 10 back || fail "Undo by keyboard did not put $victim back"
[[ $(grabs) -eq 3 ]] || fail "grabs were lost"
pass "Undo by keyboard put it back"

e2e_key BackSpace
poll 10 gone || fail "Backspace on the strip did not trash the grab put back"
sleep 0.4
e2e_screenshot toast-again
read -r x y < <(toast_button "$work/toast-again.png" "$left" "$top" "$width" "$((height - 104 * scale))") ||
  fail "no Undo button in the toast"
e2e_click "$x" "$y"
poll 10 back || fail "a click on Undo did not put $victim back"
pass "Undo by pointer put it back"

# No trash to be had: the grab stays where it was.
rm -rf "$trash"
echo "not a folder" >"$trash"
e2e_key Delete
sleep 1.5
e2e_screenshot kept
in_history || fail "$victim was lost without a trash"
[[ $(grabs) -eq 3 ]] || fail "grabs were lost without a trash"
pass "without a trash the grab is kept"

e2e_quit || fail "the program did not quit cleanly"
