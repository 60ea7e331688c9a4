#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Under KDE Plasma's KWin: copies made in a native Wayland app and in an X11 app are recorded,
# the picker takes the keys, and the chosen entry is pasted into the app in front, a native
# Wayland one first and then an X11 one, through KWin's own fake input.
source "$(dirname "$0")/lib.sh"

e2e_kde
e2e_home
kde_trust
kde_start_app
kde_start_paste_target wayland pasted.txt

# wl-copy serves its copy until the next one replaces it.
kde_copy() {
  kde_command
  printf '%s' "$1" | "${kde_cmd[@]}" wl-copy --foreground &
  e2e_pids+=($!)
}
deadline=$((SECONDS + 20))
until recorded "alpha one"; do
  ((SECONDS >= deadline)) && fail "the copy \"alpha one\" was not recorded"
  kde_copy "alpha one"
  poll 2 recorded "alpha one"
done
kde_copy "beta two"
poll 10 recorded "beta two" || fail "the copy \"beta two\" was not recorded"
pass "copies made in a native Wayland app were recorded"

e2e_app --clipboard || fail "--clipboard exited with an error"
poll 10 kde_picker_active || fail "--clipboard showed no picker taking the keys ($(kde_active) is active)"
kde_do type alpha key Return
poll 10 kde_picker_closed || fail "the picker stayed open after Return"
poll 10 grep -qx "alpha one" "$work/pasted.txt" \
  || fail "Return pasted \"$(tail -1 "$work/pasted.txt")\" instead of \"alpha one\""
kde_active_is "paste target" || fail "the paste target did not get the front back ($(kde_active) is active)"
pass "the picker took the keys and pasted the chosen entry into a native Wayland app"

# A person copies in an X11 app in front: KWin hands the copy on to Wayland's clipboard.
kde_start_paste_target xcb pasted-x11.txt
kde_do type "gamma three" key ctrl+a key ctrl+c
poll 10 recorded "gamma three" || fail "the copy \"gamma three\" made in an X11 app was not recorded"
pass "a copy made in an X11 app was recorded"

e2e_app --clipboard || fail "--clipboard exited with an error"
poll 10 kde_picker_active || fail "--clipboard showed no picker taking the keys ($(kde_active) is active)"
kde_do type beta key Return
poll 10 grep -qx "beta two" "$work/pasted-x11.txt" \
  || fail "Return pasted \"$(tail -1 "$work/pasted-x11.txt")\" into the X11 app instead of \"beta two\""
pass "the chosen entry was pasted into an X11 app in front"

e2e_quit; status=$?
((status == 0)) || fail "the program ended with status $status"
