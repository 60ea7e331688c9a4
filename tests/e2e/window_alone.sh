#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A window grab holds the window alone where the desktop keeps each window's own pixels (an X11
# compositing manager): the part another window covers comes out as the window drew it.
source "$(dirname "$0")/lib.sh"
command -v xcompmgr >/dev/null || skip "xcompmgr is not installed"
command -v display >/dev/null || skip "ImageMagick's display is not installed"

e2e_x11 1280x800 tray
e2e_home
xcompmgr >/dev/null 2>&1 &
e2e_pids+=($!)
poll 10 bash -c 'xprop -root _NET_SUPPORTED >/dev/null && xdpyinfo -ext Composite | grep -q Composite' \
  || fail "no Composite extension"

# Below: a red-to-blue gradient; above it and covering its middle: plain green.
convert -size 400x300 gradient:red-blue "$work/under.png"
convert -size 200x120 xc:'#00ff00' "$work/over.png"
display -title under -geometry +100+100 "$work/under.png" &
e2e_pids+=($!)
poll 10 xdotool search --onlyvisible --name '^under$' || fail "the lower window did not show"
sleep 0.5
display -title over -geometry +200+180 "$work/over.png" &
e2e_pids+=($!)
poll 10 xdotool search --onlyvisible --name '^over$' || fail "the covering window did not show"
sleep 0.5

e2e_start_app
"$app" --window || fail "--window exited with an error"
poll 10 capture_overlay_shown || fail "--window showed no capture overlay"
sleep 0.3
# A corner of the lower window that nothing covers.
e2e_click 130 150
poll 10 has_grabs 1 || fail "picking the window made no grab"
grab=$(newest_grab)
green=$(convert "$grab" -fill black +opaque '#00ff00' -fill white -opaque '#00ff00' -format '%[fx:int(mean*w*h)]' info:)
size=$(png_size "$grab")
[[ ${size%x*} -ge 400 ]] || fail "the grab is $size, smaller than the window"
((green == 0)) || fail "the grab holds $green pixels of the window that covered it"
pass "the window grab holds the window as it drew itself, not what covered it"
e2e_quit
