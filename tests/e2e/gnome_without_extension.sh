#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Under GNOME with our shell extension turned off: copies made in a Wayland app still reach the
# history through XWayland's mirror; the settings write our shortcuts into GNOME's own custom
# shortcuts, which then open the picker over a Wayland app; and the settings turn the extension on.
source "$(dirname "$0")/lib.sh"
e2e_gnome without-extension
e2e_home
# GNOME runs a custom shortcut's command in its own session: the program's socket must be where
# that command looks.
export XDG_RUNTIME_DIR=$KIWANO_TEST_GNOME_RUNTIME
gnome_start_app
gnome_start_paste_target

gnome_copy_until_recorded gnome_copy_text "mirrored copy" || fail "a copy in a Wayland app did not reach the history through XWayland"
pass "a copy in a Wayland app is recorded through XWayland"

e2e_app --settings || fail "--settings exited with an error"
poll 10 gnome_focused_is "🥝 Kiwano Snapper Settings" || fail "the settings did not come to the front (focus: '$(gnome_focused)')"
# The first control is the button that turns the extension on; the next writes the shortcuts.
gnome_keys Tab space
shortcuts_written() {
  gnome_setting get org.gnome.settings-daemon.plugins.media-keys custom-keybindings | grep -q kiwano-snapper-clipboard
}
poll 10 shortcuts_written || fail "Add to GNOME Shortcuts wrote no custom shortcut"
gnome_setting get org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/kiwano-snapper-clipboard/ binding \
  | grep -qx "'<Shift><Super>c'" || fail "the clipboard's custom shortcut is not Shift+Super+C"

gnome_activate "paste target" || fail "the paste target did not come to the front"
deadline=$((SECONDS + 10))
until gnome_focused_is Clipboard; do
  ((SECONDS >= deadline)) && fail "GNOME's custom shortcut did not open the picker (focus: '$(gnome_focused)')"
  gnome_keys shift+super+c
  poll 2 gnome_focused_is Clipboard && break
done
pass "the shortcut written into GNOME's settings opens the picker over a Wayland app"
gnome_keys Escape
poll 10 gnome_focused_isnt Clipboard || fail "Escape did not close the picker"

e2e_app --settings || fail "--settings exited with an error"
# Without the extension GNOME may keep the front for the app a person last used: they click it.
poll 3 gnome_focused_is "🥝 Kiwano Snapper Settings" || gnome_activate "🥝 Kiwano Snapper Settings" \
  || fail "the settings did not come back to the front"
# Back from the Copy button the focus moved on to: the turn-on button, before the spent one.
gnome_keys shift+Tab space
poll 10 gnome_extension_is true || fail "Turn On Extension did not turn the extension on"
pass "the settings turn the extension on"
