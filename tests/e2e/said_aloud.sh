#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Without a tray host nothing goes unsaid: a grab the capture tool could not make arrives as a
# desktop notification while no window of ours is in front, and as a notice in the main window
# while it is; the reason is on standard error either way. With no Desktop folder a save lands in
# Pictures/Screenshots and its notice names the file and offers "Show"; with no file manager to
# show it, the notice says so and offers to copy the path.
source "$(dirname "$0")/lib.sh"

e2e_x11 "${E2E_SCREEN:-1280x800}"
e2e_home
rmdir "$HOME/Desktop"
mkdir -p "$XDG_CONFIG_HOME/KiwanoSnapper"
printf '[General]\nsave.ask=false\n' >"$settings"
"$e2e_build/tools/grabs/kiwano-make-grabs" "$history" 1 >/dev/null || fail "no sample grab"

# A session bus of our own, where the desktop's notification service is a recorder.
dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
e2e_pids+=($!)
poll 10 test -s "$work/bus" || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
"$e2e_build/tests/e2e/kiwano-notifyserver" >"$work/notes" 2>/dev/null &
e2e_pids+=($!)
poll 10 grep -q ready "$work/notes" || fail "the notification recorder did not start"
[[ -n ${E2E_MONITOR:-} ]] && { stdbuf -oL dbus-monitor >"$work/monitor" 2>&1 & e2e_pids+=($!); }

# The program as installed, beside a capture tool that fails the way one does on a desktop that
# refuses screenshots: a reason on stderr and exit status 1.
mkdir -p "$work/bin"
cp "$app" "$e2e_build/src/app/kiwano-snapper-app" "$work/bin/"
printf '#!/bin/sh\necho "kiwano-capture: the desktop refused the screenshot" >&2\nexit 1\n' >"$work/bin/kiwano-capture"
chmod +x "$work/bin/kiwano-capture"
app=$work/bin/kiwano-snapper

e2e_start_app
poll 15 main_window_shown || fail "without a tray the start showed no main window"
notes() { grep -c 'refused the screenshot' "$work/notes"; }

# No window of ours in front: the desktop's notification.
main_window_gone() { ! main_window_shown; }
poll 10 main_window_active || fail "the main window did not take the keys"
e2e_key alt+F4
poll 10 main_window_gone || fail "the main window did not close"
e2e_app --screen
poll 10 grep -q 'refused the screenshot' "$work/notes" || fail "no notification told of the failed grab"
note=$(grep 'refused the screenshot' "$work/notes" | head -1)
IFS=$'\t' read -r note_app note_icon _ note_body <<<"$note"
[[ $note_app == "Kiwano Snapper" ]] || fail "the notification came from \"$note_app\""
[[ $note_icon == org.kiwanosnapper.KiwanoSnapper ]] || fail "the notification's icon is \"$note_icon\""
[[ $note_body == *"grab didn't work"* ]] || fail "the notification says \"$note_body\""
poll 5 grep -q "kiwano-snapper: The grab didn't work: the desktop refused the screenshot" "$work/app.log" ||
  fail "standard error has no reason"
pass "with no window in front a failed grab is a desktop notification and a line on stderr"

# The main window in front: a notice in it, and no notification.
e2e_app >/dev/null 2>&1
poll 10 main_window_shown || fail "the main window did not come back"
poll 10 main_window_active || fail "the main window did not take the keys"
sleep 0.5
screenshot before-warning
e2e_app --screen
poll 5 bash -c "[[ \$(grep -c 'kiwano-snapper: The grab didn' '$work/app.log') -ge 2 ]]" || fail "the second failure left no line on stderr"
sleep 0.6
screenshot warning-toast
[[ $(notes) -eq 1 ]] || fail "with the main window in front the failure went to a notification"
[[ $(pixels_differ "$work/before-warning.png" "$work/warning-toast.png") -gt 2000 ]] ||
  fail "nothing new showed in the main window"
pass "with the main window in front the failure is a notice in it"

# A save without a Desktop folder lands in Pictures/Screenshots, named in the notice.
sleep 4
screenshot before-save
e2e_key ctrl+s
shots=$HOME/Pictures/Screenshots
poll 10 bash -c "ls '$shots'/Kiwano*.png" || fail "the save did not land in Pictures/Screenshots"
saved=$(ls "$shots" | head -1)
sleep 0.6
screenshot saved-toast
# toast_button BEFORE AFTER: the middle of the notice's button, the cream face inside what
# changed between two screenshots of the window. Once a notice was found, only its band of rows
# is compared (the strip's focus and the pointer change too).
band=
toast_button() {
  local box w h x y bw bh bx by crop=()
  [[ -n $band ]] && crop=(-crop "$band" +repage)
  box=$(convert \( "$1" "${crop[@]}" \) \( "$2" "${crop[@]}" \) -compose difference -composite \
    -threshold 0 -trim -format '%w %h %X %Y' info: 2>/dev/null)
  read -r w h x y <<<"$box"
  x=${x#+}; y=${y#+}
  [[ -n $band ]] && y=$((y + ${band##*+}))
  [[ ${w:-0} -gt 40 ]] || return 1
  band=$(identify -format '%w' "$2")x${h}+0+$y
  # The notice's yellow face within what changed, then the button's cream face within that.
  box=$(convert "$2" -crop "${w}x${h}+${x}+${y}" +repage -fill black +opaque 'rgb(255,225,53)' \
    -fill white -opaque 'rgb(255,225,53)' -trim -format '%w %h %X %Y' info: 2>/dev/null)
  read -r w h bx by <<<"$box"
  x=$((x + ${bx#+})); y=$((y + ${by#+}))
  box=$(convert "$2" -crop "${w}x${h}+${x}+${y}" +repage -fill black +opaque 'rgb(255,248,220)' \
    -fill white -opaque 'rgb(255,248,220)' -trim -format '%w %h %X %Y' info: 2>/dev/null)
  read -r bw bh bx by <<<"$box"
  [[ ${bw:-0} -gt 10 && ${bw:-0} -lt $w ]] || return 1
  echo $((x + ${bx#+} + bw / 2)) $((y + ${by#+} + bh / 2)) "$band"
}
read -r show_x show_y band < <(toast_button "$work/before-save.png" "$work/saved-toast.png") || fail "no button on the save notice"
pass "the save landed in Pictures/Screenshots as $saved"

# No file manager on this bus and no folder handler: "Show" says so and offers the path.
e2e_click "$show_x" "$show_y"
poll 5 grep -q "No file manager could show $saved" "$work/app.log" || fail "Show without a file manager said nothing"
sleep 0.6
screenshot no-file-manager
read -r copy_x copy_y < <(toast_button "$work/before-save.png" "$work/no-file-manager.png") || fail "no Copy Path button"
e2e_click "$copy_x" "$copy_y"
poll 5 bash -c "[[ \$(xclip -selection clipboard -o 2>/dev/null) == '$shots/$saved' ]]" ||
  fail "Copy Path put \"$(xclip -selection clipboard -o 2>/dev/null)\" on the clipboard"
pass "without a file manager Show says so and Copy Path copies $shots/$saved"
e2e_quit
