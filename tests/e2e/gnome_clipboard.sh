#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Under GNOME with our shell extension: copies made in a native Wayland app and in an X11 app are
# recorded (and other programs cannot read them through the extension), the picker takes the keys
# when asked for, and the entry chosen with them is pasted
# into the app in front.
source "$(dirname "$0")/lib.sh"
e2e_gnome
e2e_home
# Without XWayland the program can only have gone through the extension.
gnome_app_env=(-u DISPLAY)
gnome_start_app
# Another app in front: copies are recorded without a window of ours having the keys.
gnome_start_paste_target

gnome_copy_until_recorded gnome_copy_text "native gnome copy" || fail "a copy in a Wayland app was not recorded"
pass "a copy in a Wayland app is recorded"
gnome_copy_x11_text "x11 gnome copy"
poll 10 recorded "x11 gnome copy" || fail "a copy in an X11 app was not recorded"
pass "a copy in an X11 app is recorded"
# The extension reads the clipboard for our programs only.
others=$(gnome_as_user gdbus call --session --dest org.kiwanosnapper.KiwanoSnapper.Shell \
  --object-path /org/kiwanosnapper/KiwanoSnapper/Shell --method org.kiwanosnapper.KiwanoSnapper.Shell1.ClipboardTypes 2>&1)
[[ $others == *AccessDenied* ]] || fail "another program read the clipboard through the extension: $others"
pass "other programs cannot read the clipboard through the extension"

gnome_focused_is "paste target" || fail "the paste target lost the focus (focus: '$(gnome_focused)')"
e2e_app --clipboard || fail "--clipboard exited with an error"
poll 10 gnome_focused_is Clipboard || fail "the picker did not take the keys (focus: '$(gnome_focused)')"
pass "the picker takes the keys"
# The newest entry is the X11 copy: the second one is the native copy.
gnome_keys Down Return
poll 10 grep -qx "native gnome copy" "$work/pasted.txt" || fail "the entry was not pasted (got: $(tail -1 "$work/pasted.txt"))"
gnome_focused_is "paste target" || fail "the paste target lost the focus"
pass "the chosen entry is pasted into the app in front"
