#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The clipboard shortcut, pressed as a person presses it while another program is in front, opens
# the picker over that program; Escape closes it and the program gets the keys back. Under X11 the
# program holds the keys itself. Under sway they are bound the way the settings tell a sway user
# to bind them: a bindsym that runs our command line.
source "$(dirname "$0")/lib.sh"

e2e_display
e2e_home
e2e_start_app
e2e_start_paste_target
poll 10 paste_target_active || fail "the paste target did not come to the front"

if [[ $e2e_session == sway ]]; then
  # The line the settings show, run by sway in this test's private home.
  e2e_app_command
  swaymsg "bindsym Mod4+Shift+c exec env HOME='$HOME' XDG_DATA_HOME='$XDG_DATA_HOME' \
XDG_CONFIG_HOME='$XDG_CONFIG_HOME' XDG_CACHE_HOME='$XDG_CACHE_HOME' XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR' \
'${e2e_command[-1]}' --clipboard" >/dev/null || fail "sway did not take the binding"
  trap 'swaymsg "unbindsym Mod4+Shift+c" >/dev/null 2>&1; e2e_cleanup' EXIT
fi

e2e_key shift+super+c
poll 10 picker_active || fail "Shift+Super+C did not open the picker"
e2e_key Escape
poll 10 picker_closed || fail "Escape did not close the picker"
front() { if [[ $e2e_session == x11 ]]; then xdotool getactivewindow getwindowname 2>/dev/null; else swaymsg -t get_tree | jq -r '.. | objects | select(.focused) | .name' | head -1; fi; }
poll 10 paste_target_active || fail "the program in front did not get the keys back (in front: '$(front)')"
pass "the clipboard shortcut opened the picker over the program in front"
