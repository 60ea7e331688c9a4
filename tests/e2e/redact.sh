#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Text on the screen, grabbed, covered in the editor with the blur tool in its Redact style (the
# style the tool was left with last time) and saved: tesseract reads the words in the grab but
# none of them in the saved file.
source "$(dirname "$0")/lib.sh"

command -v tesseract >/dev/null || skip "tesseract is not installed (Debian: tesseract-ocr tesseract-ocr-eng)"
e2e_display 1920x1080 tray
e2e_home
saved=$HOME/Saved
mkdir -p "$saved" "$(dirname "$settings")"
printf '[General]\nsave.ask=false\nsave.folder=%s\ntoolDefault.blur="@ByteArray({\\"blurMode\\":\\"noise\\",\\"blurBlock\\":8})"\n' \
  "$saved" >"$settings"
e2e_start_app

# words IMAGE: the words of the text below that tesseract reads in the image, magnified twice.
text_words="harbor velvet candle marble quartz bishop oyster timber falcon meadow copper lantern"
words() {
  convert "$1" -resize 200% "$work/ocr.png" && tesseract "$work/ocr.png" - --psm 6 2>/dev/null \
    | tr 'A-Z' 'a-z' | tr -cs 'a-z' '\n' | grep -x -F -f <(tr ' ' '\n' <<<"$text_words") | sort -u
}

# 14 and 16 pixel text on the desktop, in two faces.
convert -size 1920x1080 xc:white -fill black \
  -font DejaVu-Sans -pointsize 14 -annotate +110+130 "harbor velvet candle marble quartz bishop" \
  -font DejaVu-Serif -pointsize 16 -annotate +110+170 "oyster timber falcon meadow copper lantern" \
  "$work/desktop.png"
display -window root "$work/desktop.png"
region_grab 100 100 500 200
grab=$(newest_grab)
[[ $(words "$grab" | wc -l) -ge 9 ]] || fail "tesseract reads too little of the grab itself: $(words "$grab" | xargs)"
pass "tesseract reads the grabbed text: $(words "$grab" | wc -l) of 12 words"

poll 10 main_rect || fail "the main window did not open after the grab"
poll 10 main_window_still || fail "the main window never came to rest"
read -r wx wy ww wh < <(main_rect)
# The grab sits 1:1 in the middle of the canvas (about: the toolbar's height is a guess), above
# the 104 point strip; the drag stays inside it and covers both lines.
canvas_x=$((wx + (ww - 224) / 2)) canvas_y=$((wy + 60 + (wh - 60 - 104) / 2))
# The copy shows the redaction once the drag is taken; one begun while the canvas is still busy
# coming in is not, so it is tried again.
redacted_copy() {
  e2e_clipboard_png "$work/copy.png" && (($(pixels_differ "$work/copy.png" "$grab") > 20000))
}
for attempt in 1 2 3; do
  e2e_key u
  e2e_drag $((canvas_x - 196)) $((canvas_y - 40)) $((canvas_x + 196)) $((canvas_y + 44))
  e2e_key ctrl+c
  poll 5 redacted_copy && break
  echo "the drag of attempt $attempt drew nothing"
done
redacted_copy || fail "three drags with the blur tool drew nothing"
e2e_key ctrl+s
saved_file() { ls "$saved"/Kiwano\ *.png 2>/dev/null | head -1; }
poll 10 saved_file || fail "Ctrl+S wrote nothing into $saved"
file=$(saved_file)
poll 10 bash -c "[[ \$(identify -format '%wx%h' '$file' 2>/dev/null) == 400x100 ]]" \
  || fail "the saved file is not a 400x100 PNG"
(($(pixels_differ "$file" "$grab") > 20000)) || fail "the saved file is hardly redacted"
read=$(words "$file" | xargs)
[[ -z $read ]] || fail "tesseract reads words in the redacted file: $read"
pass "tesseract reads none of the words in the saved, redacted file"
screenshot editor

e2e_quit; status=$?
((status == 0)) || fail "the program ended with status $status"
