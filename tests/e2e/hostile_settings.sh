#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A settings file edited by hand into nonsense, then one of random bytes: the program starts,
# records every copy, lands a grab in the history, quits cleanly, and leaves the file exactly
# as the user wrote it.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800
e2e_home

mkdir -p "$(dirname "$settings")"
: >"$HOME/not a folder"
# Every key the program reads, each holding something outside what it allows.
cat >"$settings" <<EOF
[General]
clipboard.limit=-7
clipboard.enabled=maybe
clipboard.paste=
clipboard.clearOnQuit=@Variant(\\0\\0\\0\\x7f\\xff\\xff)
clipboard.ignoredApps=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x7)
save.ask=2
save.folder=$HOME/not a folder
history.folder=$HOME/not a folder/History
hotkey.grabRegion="@ByteArray({\\"keyCode\\":99999,\\"modifiers\\":1179648})"
hotkey.grabWindow=@ByteArray({"keyCode":-1})
hotkey.grabScreen="@ByteArray({\\"keyCode\\":9,\\"modifiers\\":0})"
hotkey.clipboard=Shift+Super+nonsense
toolDefault.pen="@ByteArray({\\"width\\":1e308,\\"blurBlock\\":0})"
toolDefault.text=@ByteArray(\\xff\\0)
update.automaticChecks=17
a line without an equals sign
[\\xff\\xfe unclosed
clipboard.limit=99999999999999999999
EOF
cp "$settings" "$work/settings.before"

# copies TEXT...: copies each in turn as another application would; each must be recorded (the
# first is made again until the program watches the clipboard).
copies() {
  local text
  copy_until_recorded "$1" || fail "\"$1\" was not recorded"
  for text in "${@:2}"; do
    e2e_copy_text "$text"
    poll 10 recorded "$text" || fail "\"$text\" was not recorded"
  done
  for text in "$@"; do
    recorded "$text" || fail "\"$text\" was recorded, then dropped"
  done
}

# One run over the settings file as it is: copies, a grab from the command line, quit.
run() {
  local before
  before=$(grabs)
  e2e_start_app
  copies "$@"
  e2e_app --screen || fail "--screen exited with an error"
  poll 15 has_grabs $((before + 1)) || fail "the grab did not land in $history"
  [[ $(png_size "$(newest_grab)") == "$(screen_size)" ]] || fail "the grab is $(png_size "$(newest_grab)"), not the screen"
  poll 10 main_rect >/dev/null || fail "the editor did not show the grab"
  e2e_screenshot "grab-$(grabs)"
  e2e_quit || fail "the program ended with status $?"
  cmp -s "$settings" "$work/settings.before" || fail "the settings file was rewritten"
}

run "hostile one" "hostile two" "hostile three" "hostile four"
pass "hand-edited nonsense reads as the defaults and the file stays as written"

# Random bytes where the settings were: what was recorded before stays, new copies join it.
head -c 8192 /dev/urandom >"$settings"
cp "$settings" "$work/settings.before"
run "garbage one" "garbage two"
for text in "hostile one" "hostile four"; do
  recorded "$text" || fail "\"$text\" was lost"
done
[[ $(grabs) -eq 2 ]] || fail "$(grabs) grabs in the history, not 2"
pass "a settings file of random bytes loses nothing"
