#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# gnome_eval JAVASCRIPT: what the headless test shell makes of it, unquoted; nothing when it fails.
# Sourced by lib.sh and by scripts/gnome-session.sh.
gnome_eval() {
  local run=()
  [[ $(id -un) != "$KIWANO_TEST_GNOME_USER" ]] && run=(runuser -u "$KIWANO_TEST_GNOME_USER" --)
  "${run[@]}" env DBUS_SESSION_BUS_ADDRESS="$KIWANO_TEST_GNOME_BUS" gdbus call --session \
    --dest org.gnome.Shell --object-path /org/gnome/Shell --method org.gnome.Shell.Eval "$1" 2>/dev/null \
    | sed -n "s/^(true, '\(.*\)')\$/\1/p" | sed 's/^"\(.*\)"$/\1/' || true
}
