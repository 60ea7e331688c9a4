#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the README's screenshots: runs the real app on a private Xvfb with openbox, over a
# private home with generated grabs, drives it with xdotool and writes PNGs into
# docs/screenshots/, at scale 1 and 2. Usage: scripts/screenshots.sh [BUILD]
#
# The editor's controls are found by their place in the layout (points from the window's
# edges, see the layout constants below), so a change of the toolbar or sidebar layout may
# need these numbers changed too.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
app=$build/src/app/kiwano-snapper
makegrabs=$build/tools/grabs/kiwano-make-grabs
out=$here/docs/screenshots
for tool in Xvfb openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
done
[[ -x $app && -x $makegrabs ]] || { echo "screenshots: build kiwano-snapper and kiwano-make-grabs first" >&2; exit 1; }
mkdir -p "$out"

# Layout constants, in points.
toolbar_pad=10; tool_step=70; tool_half=31; toolbar_mid=31   # tool buttons, left to right
toolbar_height=66; sidebar_width=224; strip_height=104; canvas_pad=20
thumb_first=70; thumb_step=123; thumb_mid=50                  # strip items, from the strip's top
tools=(move pen highlighter arrow rect text blur focus stamp crop)
actions=(Watermark Resize Undo Redo Copy Save)                  # right end of the toolbar

pids=()
stop_all() {
  local i
  # The window manager first, then the X server.
  for (( i = ${#pids[@]} - 1; i >= 0; i-- )); do kill "${pids[$i]}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}
cleanup() { stop_all; rm -rf "${work:-}"; }
trap cleanup EXIT
work=$(mktemp -d)

start_display() { # width height
  local n
  for n in $(seq 151 199); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 "$1x$2x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
}

# The window's place on the screen in pixels: sets X Y WIDTH HEIGHT. (xwininfo, as xdotool's
# getwindowgeometry counts the window manager's title bar twice.)
where() {
  local info
  info=$(xwininfo -id "$window")
  X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  WIDTH=$(awk '/^ *Width:/ {print $2}' <<<"$info")
  HEIGHT=$(awk '/^ *Height:/ {print $2}' <<<"$info")
}

# The window's picture (popovers included) once two captures in a row are the same.
shoot() { # name
  local geometry shot previous=""
  where
  geometry="${WIDTH}x${HEIGHT}+${X}+${Y}"
  for _ in $(seq 40); do
    shot=$(import -window root -crop "$geometry" +repage png:- | md5sum)
    [[ $shot == "$previous" ]] && break
    previous=$shot
    sleep 0.25
  done
  import -window root -crop "$geometry" +repage "$out/$1@${scale}x.png"
  echo "  $1@${scale}x.png"
}

# Points in the window to pixels of the screen; negative x or y count from the right or bottom.
px() { # x y
  where
  local x=$(( $1 * scale )) y=$(( $2 * scale ))
  if (( $1 < 0 )); then x=$(( WIDTH + $1 * scale )); fi
  if (( $2 < 0 )); then y=$(( HEIGHT + $2 * scale )); fi
  echo "$(( X + x )) $(( Y + y ))"
}
click() { xdotool mousemove $(px "$1" "$2") click 1; sleep 0.2; }
drag() { # x1 y1 x2 y2
  xdotool mousemove $(px "$1" "$2") mousedown 1
  local i
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $(px $(( $1 + ($3 - $1) * i / 8 )) $(( $2 + ($4 - $2) * i / 8 )))
    sleep 0.02
  done
  xdotool mouseup 1
  sleep 0.2
}
tool() { # name
  local i
  for i in "${!tools[@]}"; do
    if [[ ${tools[$i]} == "$1" ]]; then click $(( toolbar_pad + i * tool_step + tool_half )) $toolbar_mid; fi
  done
}
action() { # title
  local i last=$(( ${#actions[@]} - 1 ))
  for i in "${!actions[@]}"; do
    if [[ ${actions[$i]} == "$1" ]]; then click $(( -toolbar_pad - (last - i) * tool_step - tool_half )) $toolbar_mid; fi
  done
}

start_app() { # data folder
  rm -rf "$work/config"
  XDG_DATA_HOME=$1 XDG_CONFIG_HOME=$work/config "$app" >/dev/null 2>&1 &
  app_pid=$!
  pids+=($app_pid)
  window=$(xdotool search --sync --onlyvisible --name "Kiwano Snapper" | head -1)
  xdotool windowactivate --sync "$window" 2>/dev/null || true
}
stop_app() { kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; }

# Where the canvas of a w x h image lies in the editor (points): sets cx cy cw ch.
canvas() { # w h
  where
  local W=$(( WIDTH / scale - sidebar_width - 2 * canvas_pad ))
  local H=$(( HEIGHT / scale - toolbar_height - strip_height - 2 * canvas_pad ))
  read -r cw ch < <(awk -v w="$1" -v h="$2" -v W=$W -v H=$H -v s="$scale" 'BEGIN {
    f = W / w; if (H / h < f) f = H / h; if (1 / s < f) f = 1 / s
    printf "%d %d\n", w * f, h * f }')
  cx=$(( canvas_pad + (W - cw) / 2 )); cy=$(( toolbar_height + canvas_pad + (H - ch) / 2 ))
}

take() { # scale screen-width screen-height
  scale=$1
  export QT_SCALE_FACTOR=$scale
  start_display "$2" "$3"
  echo "scale $scale on $DISPLAY"

  mkdir -p "$work/empty"
  start_app "$work/empty"
  shoot empty-state
  stop_app

  rm -rf "$work/data"
  "$makegrabs" "$work/data/KiwanoSnapper/History" 8
  start_app "$work/data"
  # The second thumbnail: a 960 x 640 grab.
  click $(( thumb_first + thumb_step )) $(( -strip_height + thumb_mid ))
  shoot main-window

  canvas 960 640
  tool rect;  drag $(( cx + cw / 10 )) $(( cy + ch / 8 )) $(( cx + cw * 4 / 10 )) $(( cy + ch * 4 / 10 ))
  tool arrow; drag $(( cx + cw * 7 / 10 )) $(( cy + ch * 7 / 10 )) $(( cx + cw * 45 / 100 )) $(( cy + ch * 45 / 100 ))
  tool pen;   drag $(( cx + cw / 8 )) $(( cy + ch * 8 / 10 )) $(( cx + cw * 4 / 10 )) $(( cy + ch * 6 / 10 ))
  # Select the box by its edge with the move tool.
  tool move;  click $(( cx + cw / 10 )) $(( cy + ch / 4 ))
  shoot editor-layers

  tool text;  click $(( cx + cw * 6 / 10 )) $(( cy + ch / 6 ))
  xdotool type --delay 30 "Kiwano!"
  tool move;  click $(( cx + cw * 6 / 10 + 10 )) $(( cy + ch / 6 + 5 ))
  shoot properties-text

  action Resize
  shoot resize-popover
  xdotool key Escape; sleep 0.3

  tool crop;  drag $(( cx + 1 )) $(( cy + 1 )) $(( cx + cw / 5 )) $(( cy + ch / 6 ))
  shoot crop
  stop_app

  stop_all
  unset DISPLAY
}

take 1 1920 1080
take 2 3840 2160
echo "screenshots in $out"
