#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the README's screenshots: starts a private Xvfb with openbox and runs the screenshot
# driver there over a private home, once at scale 1 and once at scale 2. The driver builds the
# real views, drives them and writes docs/screenshots/NAME@1x.png and NAME@2x.png, in English,
# then the main window and the settings in German (NAME-de@1x.png).
# Usage: scripts/screenshots.sh [BUILD]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
driver=$build/tools/screenshots/kiwano-screenshots
makegrabs=$build/tools/grabs/kiwano-make-grabs
capture=$build/src/app/kiwano-capture
out=$here/docs/screenshots
for tool in Xvfb openbox xdpyinfo xprop xdotool display import; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
done
[[ -x $driver && -x $makegrabs ]] || { echo "screenshots: build kiwano-screenshots and kiwano-make-grabs first" >&2; exit 1; }
mkdir -p "$out" "$build/screenshots"

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
work=$(mktemp -d "$build/screenshots/run.XXXXXX")

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
  # Openbox runs the startup command once it manages new windows (it names itself before that).
  local ready
  ready=$(mktemp -u)
  openbox --sm-disable --startup "touch '$ready'" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 200); do [[ -e $ready ]] && break; sleep 0.05; done
  rm -f "$ready"
}

# The capture overlay over a desktop of one of the generated grabs, the pointer partway through a
# drag: its hint line and its size label. The overlay is its own program, so it is taken from the
# screen here rather than by the driver.
overlay() { # scale width height home
  local picture i
  mkdir -p "$4/overlay"
  "$makegrabs" "$4/overlay" 1 >/dev/null
  picture=$(ls "$4/overlay"/*.png | head -1)
  display -window root -resize "$2x$3!" "$picture" >/dev/null 2>&1
  QT_SCALE_FACTOR=$1 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$4/runtime "$capture" -i "$4/overlay/grab.png" &
  local pid=$!
  for i in $(seq 100); do xdotool search --onlyvisible --classname kiwano-capture >/dev/null 2>&1 && break; sleep 0.05; done
  xdotool mousemove $(( $2 * 30 / 100 )) $(( $3 * 30 / 100 )) mousedown 1
  for i in 1 2 3 4 5 6; do xdotool mousemove $(( $2 * (30 + i * 5) / 100 )) $(( $3 * (30 + i * 4) / 100 )); sleep 0.05; done
  sleep 0.3
  import -window root "$out/capture-overlay@${1}x.png"
  xdotool mouseup 1 key Escape
  for i in $(seq 60); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "  capture-overlay@${1}x.png"
}

status=0
take() { # scale screen-width screen-height [language]
  local scale=$1 home=$work/home-$1${4:+-$4} language=${4:-en} locale=C.UTF-8
  [[ $language != en ]] && locale=${language}_$(tr a-z A-Z <<<"$language").UTF-8
  start_display "$2" "$3"
  echo "scale $scale on $DISPLAY"
  mkdir -p "$home"
  HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache \
    XDG_RUNTIME_DIR=$home/runtime QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb \
    LANGUAGE=$language LANG=$locale LC_ALL= LC_MESSAGES= \
    timeout -k 3 50 "$driver" "$out" "$scale" "$makegrabs" || status=1
  [[ $language == en ]] && { overlay "$scale" "$2" "$3" "$home" || status=1; }
  stop_all
  unset DISPLAY
}

take 1 1920 1080
take 2 3840 2160
# The main window and the settings in German, for the README.
take 1 1920 1080 de
echo "screenshots in $out"
exit $status
