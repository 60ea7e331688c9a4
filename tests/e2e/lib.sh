#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sourced by every end-to-end test: the built program on a private X server (or the headless
# sway of the test runner) over a private home, driven only from outside, as a person would.
# A test calls e2e_x11 (or e2e_sway), e2e_home, e2e_start_app, then drives and checks.
#
# Arguments every test gets from CTest: BUILD_DIR PASTE_TARGET.
set -uo pipefail
e2e_build=$(cd "$1" && pwd)
e2e_pastetarget=$2
app=$e2e_build/src/app/kiwano-snapper
work=$(mktemp -d "${TMPDIR:-/tmp}/kiwano-e2e.XXXXXX")
chmod 755 "$work"
e2e_pids=()
e2e_cleanup() {
  local i
  for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do kill "${e2e_pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  [[ -n ${E2E_KEEP:-} ]] && { echo "kept $work"; return; }
  rm -rf "$work"
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*"
  [[ -f $work/app.log ]] && sed 's/^/app: /' "$work/app.log" | tail -40
  exit 1
}
pass() { echo "PASS: $*"; }
skip() { echo "SKIP: $*"; exit 77; }
# poll SECONDS COMMAND...: true once the command succeeds, false when the deadline passes first.
poll() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS >= deadline)) && return 1
    sleep 0.05
  done
}

# e2e_x11 [WIDTHxHEIGHT [tray]]: a private Xvfb with openbox, and trayer as tray host if asked.
e2e_x11() {
  local size=${1:-1280x800} n
  for n in $(seq 300 399); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    e2e_pids+=($!)
    export DISPLAY=":$n"
    poll 10 xdpyinfo && break
    kill "${e2e_pids[-1]}" 2>/dev/null
  done
  poll 10 xdpyinfo || fail "no X server"
  unset WAYLAND_DISPLAY SWAYSOCK
  export QT_QPA_PLATFORM=xcb
  openbox --sm-disable >/dev/null 2>&1 &
  e2e_pids+=($!)
  poll 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' || fail "no window manager"
  if [[ ${2:-} == tray ]]; then
    trayer --edge top --align right --widthtype pixel --width 100 --height 28 >/dev/null 2>&1 &
    e2e_pids+=($!)
    poll 10 xdotool search --class trayer || fail "no tray host"
  fi
}

# e2e_home: private HOME and XDG folders; the paths a test checks are set here.
e2e_home() {
  export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
  export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime
  mkdir -p "$HOME/Desktop" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  history=$XDG_DATA_HOME/KiwanoSnapper/History
  clips=$XDG_DATA_HOME/KiwanoSnapper/Clipboard/index.json
  settings=$XDG_CONFIG_HOME/KiwanoSnapper/KiwanoSnapper.ini
  trash=$XDG_DATA_HOME/Trash
  # English, whatever the machine's session speaks; a test may set LANG or LANGUAGE after this.
  export LANG=C.UTF-8 LANGUAGE=
  unset LC_ALL LC_MESSAGES
}

# e2e_start_app [ARGS...]: starts the program in the background; its output goes to app.log.
e2e_start_app() {
  "$app" "$@" >>"$work/app.log" 2>&1 &
  apppid=$!
  e2e_pids+=($apppid)
  poll 15 test -S "$XDG_RUNTIME_DIR/kiwano-snapper.socket" || fail "the program did not start"
}
# e2e_quit: asks the running program to quit and returns its exit status.
e2e_quit() {
  "$app" --quit || fail "--quit exited with an error"
  poll 15 bash -c "! kill -0 $apppid" || fail "--quit did not end the program"
  wait "$apppid"
}

grabs() { ls "$history"/grab-*.png 2>/dev/null | wc -l; }
has_grabs() { [[ $(grabs) -ge $1 ]]; }
newest_grab() { ls -t "$history"/grab-*.png 2>/dev/null | head -1; }
# png_size FILE: "WIDTHxHEIGHT" read from the file's header.
png_size() { identify -format '%wx%h' "$1" 2>/dev/null; }
recorded() { grep -qF "\"title\":\"$1\"" "$clips" 2>/dev/null; }
copy_text() { printf '%s' "$1" | xclip -selection clipboard; }
clipboard_targets() { xclip -selection clipboard -o -t TARGETS 2>/dev/null; }
clipboard_png() { xclip -selection clipboard -o -t image/png >"$1" 2>/dev/null && [[ -s $1 ]]; }

# Windows of ours that are mapped and larger than WIDTH pixels.
shown_wider_than() {
  local id
  for id in $(xdotool search --onlyvisible --classname kiwano-snapper 2>/dev/null); do
    [[ $(xwininfo -id "$id" | awk '/Width:/ {print $2}') -gt $1 ]] && echo "$id"
  done
}
main_window() { shown_wider_than 600 | head -1; }
main_window_shown() { [[ -n $(main_window) ]]; }
picker_shown() { xdotool search --onlyvisible --name '^Clipboard$'; }
picker_gone() { ! picker_shown; }
overlay_shown() { xdotool search --onlyvisible --classname kiwano-capture; }
# A window with one line edit that prints every change of its text to pasted.txt.
start_paste_target() {
  "$e2e_pastetarget" >"$work/pasted.txt" 2>/dev/null &
  e2e_pids+=($!)
  poll 10 xdotool search --onlyvisible --name '^paste target$' || fail "paste target did not show"
  paste_target=$(xdotool search --onlyvisible --name '^paste target$' | head -1)
}
# screenshot NAME: the whole screen as a PNG in the work folder (kept with E2E_KEEP=1).
screenshot() { import -window root "$work/$1.png" 2>/dev/null; }
