#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# --pin FILE shows the picture at its own size in a window that stays above another program's
# window raised over it; the pin moves by drag and arrow keys, zooms by wheel, copies its picture
# by Ctrl+C and closes by Esc or a double click; several are pinned at once, and a file that holds
# no picture pins nothing and leaves the program running. E2E_SCALE=2 runs it at twice the scale.
source "$(dirname "$0")/lib.sh"
scale=${E2E_SCALE:-1}
e2e_x11 "$((1280 * scale))x$((800 * scale))"
e2e_home
export QT_SCALE_FACTOR=$scale
picture=$work/pinned.png
other=$work/other.png
convert -size 320x200 gradient:'#2060c0-#f0d040' -fill black -draw 'rectangle 20,20 120,90' \
  -fill white -draw 'circle 240,120 270,150' -depth 8 "$picture" || fail "no sample picture"
convert -size 90x60 xc:'#c03020' "$other" || fail "no second picture"
printf 'not a picture' >"$work/broken.png"
mkdir -p "$history"
QT_QPA_PLATFORM=offscreen "$e2e_build/tools/grabs/kiwano-make-grabs" "$history" 2 400x300 >/dev/null || fail "no sample grabs"

pins() { xdotool search --onlyvisible --name "^Pinned $1\$" 2>/dev/null; }
# "X Y WIDTH HEIGHT" of a window on screen.
rect_of() {
  local x y w h
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  echo "$X $Y $WIDTH $HEIGHT"
}
# Windows of the whole screen, bottom first, as the window manager stacks them.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g' | while read -r id; do printf '%d\n' "$id"; done; }
# Whether window A is stacked above window B.
above() {
  local order
  order=$(stacking)
  local a b
  a=$(grep -nx "$1" <<<"$order" | cut -d: -f1)
  b=$(grep -nx "$2" <<<"$order" | cut -d: -f1)
  [[ -n $a && -n $b && $a -gt $b ]]
}
# How many pixels differ between the picture and the pin at X Y on screen, within the focus ring.
differs_from() {
  grab_rect "$(($1 + 8))" "$(($2 + 8))" 304 184 "$work/on-screen.png"
  convert "$3" -crop 304x184+8+8 +repage "$work/expected.png"
  pixels_differ "$work/on-screen.png" "$work/expected.png"
}

e2e_start_app
e2e_app --pin "$picture" || fail "--pin exited with an error"
poll 10 pins pinned.png || fail "--pin showed no pinned window ($(our_windows))"
pin=$(pins pinned.png | head -1)
read -r x y w h < <(rect_of "$pin")
[[ ${w}x$h == 320x200 ]] || fail "the pin is ${w}x$h, not the picture's 320x200"
xprop -id "$pin" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the window manager does not keep the pin above"
sleep 0.3
d=$(differs_from "$x" "$y" "$picture")
[[ $d -eq 0 ]] || fail "the pin does not show the picture ($d pixels differ)"
pass "--pin shows the picture at its own size"

# Another program's window, activated and raised right over the pin, stays under it.
start_paste_target
xdotool windowsize "$paste_target" 500 400 windowmove "$paste_target" "$((x - 50))" "$((y - 50))"
xdotool windowactivate --sync "$paste_target" windowraise "$paste_target"
sleep 0.5
above "$pin" "$paste_target" || fail "the raised window went above the pin"
[[ $(differs_from "$x" "$y" "$picture") -eq 0 ]] || fail "the raised window covers the pin"
e2e_screenshot raised-over
pass "a window raised over the pin does not cover it"

# Drag, arrows and the wheel.
e2e_drag "$((x + 160))" "$((y + 100))" "$((x + 260))" "$((y + 140))"
poll 5 bash -c "[[ \$(xdotool getwindowgeometry '$pin' | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p') == '$((x + 100)) $((y + 40))' ]]" ||
  fail "a drag did not move the pin by 100,40 (now at $(rect_of "$pin"))"
read -r x y w h < <(rect_of "$pin")
e2e_key Left Up
poll 5 bash -c "[[ \$(xdotool getwindowgeometry '$pin' | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p') == '$((x - 10 * scale)) $((y - 10 * scale))' ]]" ||
  fail "Left and Up did not move the pin"
read -r x y w h < <(rect_of "$pin")
# The picture's point under the pointer, 100,50 into it, stays there: the pin grows 20,10 up and left.
xdotool mousemove "$((x + 100))" "$((y + 50))" click 4
poll 5 bash -c "[[ \$(xdotool getwindowgeometry '$pin' | sed -n 's/.*Geometry: //p') == 384x240 ]]" ||
  fail "the wheel did not zoom the pin to 120 % ($(rect_of "$pin"))"
read -r x2 y2 _ < <(rect_of "$pin")
(( x2 >= x - 21 && x2 <= x - 19 && y2 >= y - 11 && y2 <= y - 9 )) || fail "the zoom did not keep the point under the pointer ($x,$y to $x2,$y2)"
e2e_key minus
poll 5 bash -c "[[ \$(xdotool getwindowgeometry '$pin' | sed -n 's/.*Geometry: //p') == 320x200 ]]" ||
  fail "- did not zoom the pin back"
pass "the pin moves by drag and arrows and zooms by wheel and keys"

# Ctrl+C puts the picture on the clipboard as PNG.
xdotool windowactivate --sync "$pin"
e2e_key ctrl+c
poll 5 clipboard_png "$work/copied.png" || fail "Ctrl+C put no PNG on the clipboard ($(clipboard_targets))"
[[ $(png_size "$work/copied.png") == 320x200 && $(pixels_differ "$work/copied.png" "$picture") == 0 ]] ||
  fail "the copy is not the pinned picture"
pass "Ctrl+C copies the pinned picture"

# Several at once; Esc and a double click each close one.
e2e_app --pin "$other" || fail "a second --pin exited with an error"
poll 10 pins other.png || fail "a second pin did not show"
[[ -n $(pins pinned.png) ]] || fail "the first pin went when the second came"
second=$(pins other.png | head -1)
xdotool windowactivate --sync "$second"
e2e_key Escape
poll 5 bash -c "[[ -z \$(xdotool search --onlyvisible --name '^Pinned other.png\$') ]]" || fail "Esc did not close the pin"
[[ -n $(pins pinned.png) ]] || fail "Esc closed the other pin too"
read -r x y w h < <(rect_of "$pin")
xdotool mousemove "$((x + w / 2))" "$((y + h / 2))" click --repeat 2 --delay 80 1
poll 5 bash -c "[[ -z \$(xdotool search --onlyvisible --name '^Pinned pinned.png\$') ]]" || fail "a double click did not close the pin"
pass "several pins show at once; Esc and a double click close one each"

# A file without a picture pins nothing; the program goes on.
e2e_app --pin "$work/broken.png" || fail "--pin of a broken file exited with an error"
sleep 1
[[ -z $(pins broken.png) ]] || fail "a broken file was pinned"
kill -0 "$apppid" || fail "the program ended over a broken file"
pass "a file without a picture pins nothing"

# The strip's menu pins a grab as its file holds it.
main=$(main_window)
[[ -n $main ]] || fail "no main window"
xdotool windowactivate --sync "$main"
read -r left top width height < <(main_rect)
older=$(ls "$history" | sort -r | sed -n 2p)
e2e_click $((left + 193 * scale)) $((top + height - 58 * scale))
sleep 0.3
e2e_key Menu
sleep 0.3
e2e_key Down Return
poll 10 pins "$older" || fail "the strip's Pin showed no pin of $older"
pin=$(pins "$older" | head -1)
read -r x y w h < <(rect_of "$pin")
[[ ${w}x$h == 400x300 ]] || fail "the strip's pin is ${w}x$h, not the grab's 400x300"
xdotool windowactivate --sync "$pin"
e2e_key ctrl+c
poll 5 clipboard_png "$work/from-strip.png" || fail "Ctrl+C in the strip's pin copied nothing"
[[ $(pixels_differ "$work/from-strip.png" "$history/$older") == 0 ]] || fail "the strip pinned another picture than $older"
e2e_key Escape
poll 5 bash -c "[[ -z \$(xdotool search --onlyvisible --name '^Pinned $older\$') ]]" || fail "Esc did not close the strip's pin"
pass "the strip's menu pins a grab"

# The editor's Pin pins the grab shown with its layers: an arrow drawn across it.
xdotool windowactivate --sync "$main"
cx=$((left + (width - 222 * scale) / 2))
cy=$((top + (70 * scale + height - 104 * scale) / 2))
e2e_key a
e2e_drag $((cx - 60)) $((cy - 40)) $((cx + 60)) $((cy + 40))
sleep 0.3
e2e_click $((left + width - 89 * scale)) $((top + 33 * scale))
poll 10 pins "$older" || fail "the editor's Pin showed no pin"
pin=$(pins "$older" | head -1)
read -r x y w h < <(rect_of "$pin")
[[ ${w}x$h == 400x300 ]] || fail "the editor's pin is ${w}x$h, not the grab's 400x300"
xdotool windowactivate --sync "$pin"
e2e_key ctrl+c
poll 5 clipboard_png "$work/from-editor.png" || fail "Ctrl+C in the editor's pin copied nothing"
e2e_screenshot editor-pin
[[ $(pixels_differ "$work/from-editor.png" "$history/$older") -gt 500 ]] || fail "the editor's pin lacks the arrow drawn on the grab"
pass "the editor's Pin pins the grab with its layers"

e2e_quit || fail "the program did not quit cleanly"
