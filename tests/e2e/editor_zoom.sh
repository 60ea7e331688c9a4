#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Zooming the editor: after a grab, Ctrl+= twice shows it at 400 %, where a drag on the canvas
# draws a layer a quarter of the dragged length in the grab's own pixels (checked in the Ctrl+C
# copy); Ctrl+0 fits it again, pixel for pixel as before.
source "$(dirname "$0")/lib.sh"

e2e_display 1920x1080 tray
e2e_home
e2e_start_app

window_shot() { grab_rect $(main_rect) "$work/$1.png"; }
# The width and height of what differs between two pictures of the same size.
changed_extent() {
  convert "$1" "$2" -compose difference -composite -colorspace gray -threshold 5% -trim \
    -format '%w %h' info: 2>/dev/null
}

# A 240 by 180 grab of a plain blue desktop.
xsetroot -solid '#3a6ea5'
region_grab 100 100 340 280
grab=$(newest_grab)
[[ $(png_size "$grab") == 240x180 ]] || fail "the grab is $(png_size "$grab"), the drag was 240x180"
poll 10 main_rect || fail "the main window did not open after the grab"
poll 10 main_window_active || fail "the main window did not take the keys"
poll 10 main_window_still || fail "the main window never came to rest"
window_shot fitted

read -r wx wy ww wh < <(main_rect)
canvas_x=$((wx + (ww - 224) / 2)) canvas_y=$((wy + 60 + (wh - 60 - 104) / 2))
e2e_key ctrl+equal ctrl+equal
poll 10 main_window_still || fail "the window did not settle after zooming"
window_shot zoomed
(($(pixels_differ "$work/fitted.png" "$work/zoomed.png") > 1000)) || fail "Ctrl+= twice did not zoom"
pass "Ctrl+= zooms in"

# A level drag of 200 screen pixels, from the middle of the canvas, at 400 %.
e2e_drag $((canvas_x - 100)) "$canvas_y" $((canvas_x + 100)) "$canvas_y"
e2e_key ctrl+c
poll 10 bash -c "xclip -selection clipboard -o -t image/png >'$work/copy.png' 2>/dev/null \
  && [[ \$(identify -format '%wx%h' '$work/copy.png') == 240x180 ]]" || fail "Ctrl+C put no 240x180 PNG on the clipboard"
read -r w h < <(changed_extent "$work/copy.png" "$grab")
[[ -n ${w:-} ]] || fail "the drag drew nothing into the copy"
# An arrow 50 pixels long, give or take its stroke and head.
((w >= 48 && w <= 62)) || fail "a 200 pixel drag at 400 % drew a layer $w pixels wide, not about 50"
pass "a drag at 400 % draws a quarter of its screen length ($w by $h pixels)"

# The canvas's part of the window, between the toolbar and the strip, left of the sidebar.
canvas_part=$((ww - 224))x$((wh - 70 - 110))+0+70
convert "$work/fitted.png" -crop "$canvas_part" +repage "$work/fitted-canvas.png"
refitted() {
  window_shot refitted && convert "$work/refitted.png" -crop "$canvas_part" +repage "$work/refitted-canvas.png" \
    && [[ $(pixels_differ "$work/fitted-canvas.png" "$work/refitted-canvas.png") == 0 ]]
}
e2e_key ctrl+z ctrl+0
# The toast of the copy fades meanwhile.
poll 10 refitted || fail "after Ctrl+0 the canvas differs from the fitted one in $(pixels_differ "$work/fitted-canvas.png" "$work/refitted-canvas.png") pixels"
pass "Ctrl+0 fits the grab again"

e2e_quit; status=$?
((status == 0)) || fail "the program ended with status $status"
