#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The editor from the keyboard and by its handles, on two plain grabs opened from files:
# - T chooses the text tool; what is typed stays as a layer when another thumbnail is chosen,
#   and Escape still throws it away;
# - Tab reaches the canvas, which shows that it has the focus; the arrow keys then move the
#   selected layer by one image pixel (Shift: ten), one undo step per press;
# - a box is resized by its corner and an arrow reshaped by its end.
# What the editor shows is checked on the copies Ctrl+C puts on the clipboard.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800
e2e_home
e2e_start_app

background='#3a6ea5'
convert -size 400x300 "xc:$background" "$work/older.png"
convert -size 400x300 "xc:$background" "$work/newer.png"
e2e_app "$work/older.png" || fail "opening a file exited with an error"
e2e_app "$work/newer.png" || fail "opening a file exited with an error"
poll 10 has_grabs 2 || fail "the files did not become grabs"
poll 10 main_rect || fail "the main window did not open"
poll 10 main_window_still || fail "the main window never came to rest"
read -r wx wy ww wh < <(main_rect)

# The canvas: where the grab's colour fills a 400 by 300 rectangle in the window (cx, cy).
canvas_at() {
  grab_rect $(main_rect) "$work/window.png" || return 1
  local found
  # Above the strip, whose thumbnails show the same colour.
  found=$(convert "$work/window.png" -crop "${ww}x$((wh - 120))+0+0" +repage -fill black +opaque "$background" -fill white -opaque "$background" \
    -trim -format '%w %h %X %Y' info:) || return 1
  read -r cw ch cx cy <<<"${found//+/}"
  # The frame's 2-point border lies over the image's edge.
  ((cw == 396 && ch == 296)) || return 1
  cx=$((wx + cx - 2)) cy=$((wy + cy - 2))
}
poll 10 canvas_at || fail "the editor does not show the grab at full size"

# The strip: newest at the left, 14 in from the window's edge, thumbnails 110 wide 10 apart.
newer_thumb="$((wx + 14 + 55)) $((wy + wh - 104 + 45))"
older_thumb="$((wx + 14 + 113 + 10 + 55)) $((wy + wh - 104 + 45))"

# copy NAME: Ctrl+C, and the clipboard's PNG as NAME.png.
copy() {
  rm -f "$work/$1.png"
  # The clipboard first holds a text, so that the copy before this one is not taken for it.
  e2e_copy_text "copy $1"
  poll 10 bash -c "! xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -q image/png" || return 1
  e2e_key ctrl+c
  poll 10 copied "$1"
}
copied() { e2e_clipboard_png "$work/$1.png" && [[ $(png_size "$work/$1.png") == 400x300 ]]; }
# drawn NAME: the extent of what is drawn on the plain grab, "WIDTH HEIGHT X Y"; nothing when
# nothing is.
drawn() {
  local extent
  extent=$(convert "$work/$1.png" -fuzz 4% -fill black -opaque "$background" -fill white +opaque black \
    -trim -format '%w %h %X %Y' info: 2>/dev/null)
  extent=${extent//+/}
  [[ $extent == "1 1 -1 -1" || -z $extent ]] && return
  echo "$extent"
}
# same A B: two copies show the same picture.
same() { [[ $(pixels_differ "$work/$1.png" "$work/$2.png") == 0 ]]; }
near() { (($1 - $2 <= $3 && $2 - $1 <= $3)); }

# --- Text typed, then another thumbnail chosen ----------------------------------------------------
# M: the move tool, whose click on the empty canvas only gives the canvas the keys.
e2e_key m
e2e_click $((cx + 200)) $((cy + 280))
e2e_key t
e2e_click $((cx + 40)) $((cy + 40))
e2e_type "Kept"
e2e_click $older_thumb
poll 10 canvas_at || fail "the older grab did not open"
e2e_click $newer_thumb
poll 10 canvas_at || fail "the newer grab did not open again"
copy kept || fail "Ctrl+C put no copy of the grab on the clipboard"
# The word, some 70 pixels wide, where the click was: a stray mark or a lost text fails.
read -r kw kh kx ky < <(drawn kept)
((${kw:-0} >= 40 && ${kh:-0} >= 10)) && near ${kx:-0} 40 6 && near ${ky:-0} 40 10 \
  || fail "the text typed before choosing another thumbnail was lost: $(drawn kept)"
pass "the text typed before another thumbnail was chosen stayed as a layer"

e2e_key ctrl+z
copy undone && [[ -z $(drawn undone) ]] || fail "Ctrl+Z did not take the kept text away"
e2e_key m
e2e_click $((cx + 200)) $((cy + 280))
e2e_key t
e2e_click $((cx + 40)) $((cy + 40))
e2e_type "Dropped"
e2e_key Escape
e2e_click $older_thumb
poll 10 canvas_at || fail "the older grab did not open"
e2e_click $newer_thumb
poll 10 canvas_at || fail "the newer grab did not open again"
copy dropped && [[ -z $(drawn dropped) ]] || fail "Escape did not throw the typed text away"
pass "Escape still throws the typed text away"

# --- Tab to the canvas, arrow keys --------------------------------------------------------------
e2e_key b
e2e_drag $((cx + 100)) $((cy + 100)) $((cx + 180)) $((cy + 160))
copy box || fail "no copy after drawing a box"
[[ -n $(drawn box) ]] || fail "B and a drag drew no box"
# The box is selected; the strip takes the focus, and Tab goes round to the canvas.
e2e_click $newer_thumb
poll 10 canvas_at || fail "the grab did not open again"
# The canvas shows it has the focus with a ripe dashed line inside its edge.
focus_shown() {
  grab_rect $cx $cy 400 6 "$work/edge.png" \
    && (($(convert "$work/edge.png" -fuzz 6% -fill white -opaque '#fac71a' -fill black +opaque white \
           -format '%[fx:int(mean*w*h)]' info:) > 40))
}
for ((tabs = 0; tabs < 40; tabs++)); do
  focus_shown && break
  e2e_key Tab
  sleep 0.1
done
focus_shown || fail "Tab never reached the canvas (no focus shown on it)"
pass "Tab reaches the canvas after $tabs presses, and the canvas shows its focus"

e2e_key Right Right Right shift+Down
copy nudged || fail "no copy after the arrow keys"
convert "$work/box.png" -roll +3+10 "$work/expected.png"
same nudged expected || fail "Right x3 and Shift+Down did not move the box by 3 and 10 pixels: $(drawn box) -> $(drawn nudged)"
e2e_key ctrl+z
copy step
convert "$work/box.png" -roll +3+0 "$work/expected.png"
same step expected || fail "one Ctrl+Z did not undo exactly the Shift+Down: $(drawn step)"
e2e_key ctrl+z ctrl+z ctrl+z
copy back
same back box || fail "four Ctrl+Z did not bring the box back: $(drawn back)"
pass "the arrow keys move the selected layer, one undo step per press"

# --- Handles --------------------------------------------------------------------------------------
# The move tool (M), a click on the box's edge selects it, its bottom-right corner is dragged.
read -r bw bh bx by < <(drawn box)
e2e_key m
e2e_click $((cx + bx + 1)) $((cy + by + bh / 2))
e2e_drag $((cx + bx + bw - 1)) $((cy + by + bh - 1)) $((cx + 300)) $((cy + 250))
copy resized || fail "no copy after resizing the box"
read -r rw rh rx ry < <(drawn resized)
near $rx $bx 1 && near $ry $by 1 && near $((rx + rw)) 300 2 && near $((ry + rh)) 250 2 \
  || fail "the box's corner did not follow the drag: $bw x $bh at $bx,$by became $rw x $rh at $rx,$ry"
pass "a box is resized by its corner"
e2e_key Delete

# An arrow from (60, 220) to (160, 220); its head is dragged to (340, 40).
e2e_key a
e2e_drag $((cx + 60)) $((cy + 220)) $((cx + 160)) $((cy + 220))
e2e_key m
e2e_click $((cx + 100)) $((cy + 220))
e2e_drag $((cx + 160)) $((cy + 220)) $((cx + 340)) $((cy + 40))
copy reshaped || fail "no copy after reshaping the arrow"
read -r aw ah ax ay < <(drawn reshaped)
# The tail stays where it was; the head reaches the new end.
near $ax 60 12 && near $((ay + ah)) 220 12 && near $((ax + aw)) 340 4 && near $ay 40 4 \
  || fail "the arrow's end did not follow the drag: it covers $aw x $ah at $ax,$ay"
pass "an arrow is reshaped by its end"

e2e_quit; status=$?
((status == 0)) || fail "the program ended with status $status"
