#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A region grab asked for on the command line, dragged with the pointer, lands in the history at
# the dragged size and opens in the editor, whose commands then work from the keyboard at once:
# Ctrl+C puts the grab on the clipboard without a click anywhere first. After a click on another
# thumbnail (the strip then holds the focus) Ctrl+C, Delete on a drawn layer, Ctrl+Z,
# Ctrl+Shift+Z and Ctrl+S all do what they say, checked on the clipboard and in the save folder.
source "$(dirname "$0")/lib.sh"

e2e_display 1920x1080 tray
e2e_home
saved=$HOME/Saved
mkdir -p "$saved" "$(dirname "$settings")"
# Saving asks for a place unless told to go straight to the folder.
printf '[General]\nsave.ask=false\nsave.folder=%s\n' "$saved" >"$settings"
e2e_start_app

# copied NAME SIZE: the clipboard offers a PNG of SIZE (kept as NAME.png).
copied() {
  e2e_clipboard_png "$work/$1.png" && [[ $(png_size "$work/$1.png") == "$2" ]]
}
# Whether the clipboard's PNG is now the grab as it was taken (same) or drawn on (changed).
copy_matches() {
  local wanted=$1 grab=$2 n
  e2e_clipboard_png "$work/copy.png" && [[ $(png_size "$work/copy.png") == "$(png_size "$grab")" ]] || return 1
  n=$(pixels_differ "$work/copy.png" "$grab")
  [[ $n =~ ^[0-9]+$ ]] || return 1
  if [[ $wanted == same ]]; then ((n == 0)); else ((n > 100)); fi
}

# The first grab: 240 by 180 pixels of a plain blue desktop.
[[ $e2e_session == x11 ]] && xsetroot -solid '#3a6ea5'
region_grab 100 100 340 280
first=$(newest_grab)
[[ $(png_size "$first") == 240x180 ]] || fail "the grab is $(png_size "$first"), the drag was 240x180"
pass "--region and a drag made a grab of the dragged size"

poll 10 main_rect || fail "the main window did not open after the grab"
poll 10 main_window_active || fail "the main window did not take the keys after the grab"
if [[ $e2e_session == x11 ]]; then
  # The editor shows the grab: its blue fills a 240 by 180 canvas in the window.
  poll 10 bash -c "import -window '$(main_window)' '$work/window.png' 2>/dev/null \
    && (( \$(convert '$work/window.png' -fill black +opaque '#3a6ea5' -fill white -opaque '#3a6ea5' \
         -format '%[fx:int(mean*w*h)]' info:) >= 240 * 180 ))" || fail "the editor does not show the grab"
fi

e2e_key ctrl+c
poll 10 copied first 240x180 || fail "Ctrl+C right after the grab put no 240x180 PNG on the clipboard"
[[ $(pixels_differ "$work/first.png" "$first") == 0 ]] || fail "the copied PNG is not the grab"
pass "Ctrl+C right after the grab copied it"

# A second grab, of another size and colour, beside the window.
[[ $e2e_session == x11 ]] && xsetroot -solid '#a5463a'
region_grab 20 300 320 450
second=$(newest_grab)
[[ $(png_size "$second") == 300x150 ]] || fail "the second grab is $(png_size "$second"), the drag was 300x150"
poll 10 main_window_active || fail "the main window did not take the keys after the second grab"
e2e_key ctrl+c
poll 10 copied second 300x150 || fail "Ctrl+C after the second grab put no 300x150 PNG on the clipboard"

# The strip: newest at the left, 14 in from the window's edge, thumbnails 110 wide 10 apart.
read -r wx wy ww wh < <(main_rect)
thumb_x=$((wx + 14 + 113 + 10 + 55)) thumb_y=$((wy + wh - 104 + 45))
e2e_click "$thumb_x" "$thumb_y"
# A grab shown again is read back from its file first; Ctrl+C acts once it is in the editor.
copy_older() { e2e_key ctrl+c; poll 2 copied older 240x180; }
poll 10 copy_older || fail "after a click on the older thumbnail, Ctrl+C did not copy its grab"
pass "Ctrl+C copies the grab chosen in the strip"

# Draw on it with the tool the editor starts with (an arrow) once the canvas has come in (a
# stroke begun while it grows in is not taken), then give the strip the focus.
poll 10 main_window_still || fail "the main window never came to rest"
canvas_x=$((wx + (ww - 224) / 2)) canvas_y=$((wy + 60 + (wh - 60 - 104) / 2))
e2e_drag $((canvas_x - 70)) $((canvas_y - 50)) $((canvas_x + 70)) $((canvas_y + 50))
e2e_click "$thumb_x" "$thumb_y"
e2e_key ctrl+c
poll 10 copy_matches changed "$first" || fail "the drawn layer is not in the copy made from the strip"

# The new layer is selected: Delete takes it, not the grab under the focused strip.
e2e_key Delete ctrl+c
poll 10 copy_matches same "$first" || fail "Delete with the strip focused did not delete the selected layer"
[[ -f $first && $(grabs) -eq 2 ]] || fail "Delete removed a grab while a layer was selected"
pass "a selected layer takes Delete before the strip"

e2e_key ctrl+z ctrl+c
poll 10 copy_matches changed "$first" || fail "Ctrl+Z did not bring the deleted layer back"
e2e_key ctrl+shift+z ctrl+c
poll 10 copy_matches same "$first" || fail "Ctrl+Shift+Z did not delete the layer again"
e2e_key ctrl+z
pass "Ctrl+Z and Ctrl+Shift+Z act with the strip focused"

e2e_key ctrl+s
saved_file() { ls "$saved"/Kiwano\ *.png 2>/dev/null | head -1; }
poll 10 saved_file || fail "Ctrl+S wrote nothing into $saved"
file=$(saved_file)
poll 10 bash -c "[[ \$(identify -format '%wx%h' '$file' 2>/dev/null) == 240x180 ]]" \
  || fail "the saved file is not a 240x180 PNG"
(($(pixels_differ "$file" "$first") > 100)) || fail "the saved file lacks the drawn layer"
pass "Ctrl+S saved the edited grab as \"$(basename "$file")\""

e2e_quit; status=$?
((status == 0)) || fail "the program ended with status $status"
