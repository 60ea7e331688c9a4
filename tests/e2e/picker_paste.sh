#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copies made in another program are recorded; `--clipboard` opens the picker over the program in
# front, the typed words filter the list, and Return pastes the chosen entry (not the newest)
# into that program: a plain Qt line edit.
source "$(dirname "$0")/lib.sh"

e2e_display
e2e_home
e2e_start_app
e2e_start_paste_target

copy_until_recorded "alpha one" || fail "the copy \"alpha one\" was not recorded"
for text in "beta two" "gamma three"; do
  e2e_copy_text "$text"
  poll 10 recorded "$text" || fail "the copy \"$text\" was not recorded"
done
pass "copies made in another program were recorded"

poll 10 paste_target_active || fail "the paste target lost the front"
e2e_app --clipboard || fail "--clipboard exited with an error"
poll 10 picker_active || fail "--clipboard showed no picker taking the keys"
e2e_type beta
e2e_key Return
poll 10 picker_closed || fail "the picker stayed open after Return"
poll 10 grep -qx "beta two" "$work/pasted.txt" \
  || fail "Return pasted \"$(tail -1 "$work/pasted.txt")\" instead of \"beta two\""
poll 5 paste_target_active || fail "the paste target did not get the front back"
pass "the filtered entry was pasted into the program in front"

e2e_quit; status=$?
((status == 0)) || fail "the program ended with status $status"
