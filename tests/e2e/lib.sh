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
  local size=${1:-1280x800}
  # The server takes a free display number itself: tests starting at once never share one.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  e2e_pids+=($!)
  poll 10 test -s "$work/display" || fail "no X server"
  export DISPLAY=":$(head -1 "$work/display")"
  poll 10 xdpyinfo || fail "no X server"
  unset WAYLAND_DISPLAY SWAYSOCK
  export QT_QPA_PLATFORM=xcb
  # Openbox names itself before it has read its theme and looks at new windows: a window the
  # program shows in between is never mapped. It runs the startup command once it is ready.
  openbox --sm-disable --startup "touch '$work/wm-ready'" >/dev/null 2>&1 &
  e2e_pids+=($!)
  poll 10 test -e "$work/wm-ready" || fail "no window manager"
  if [[ ${2:-} == tray ]]; then
    trayer --edge top --align right --widthtype pixel --width 100 --height 28 >/dev/null 2>&1 &
    e2e_pids+=($!)
    poll 10 xdotool search --class trayer || fail "no tray host"
    e2e_tray=1
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
  [[ $e2e_session == sway ]] && e2e_reachable
  e2e_app_command
  "${e2e_command[@]}" "$@" >>"$work/app.log" 2>&1 &
  apppid=$!
  e2e_pids+=($apppid)
  poll 15 test -S "$XDG_RUNTIME_DIR/kiwano-snapper.socket" || fail "the program did not start"
}
# The program's own process: under runuser its child (a signal to runuser would end runuser with
# that signal's status, whatever the program did with it).
e2e_app_pid() {
  if [[ $e2e_session != x11 && $e2e_user != $(id -un) ]]; then pgrep -P "$apppid" | head -1; else echo "$apppid"; fi
}
# e2e_quit: asks the running program to quit and returns its exit status.
e2e_quit() {
  e2e_app --quit || fail "--quit exited with an error"
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
# Every window of ours, mapped or not, as "WIDTHxHEIGHT MAP-STATE", for a failure to name.
our_windows() {
  local id
  for id in $(xdotool search --classname kiwano-snapper 2>/dev/null); do
    xwininfo -id "$id" | awk '/Width:/ {w = $2} /Height:/ {h = $2} /Map State:/ {m = $3} END {printf "%sx%s %s; ", w, h, m}'
  done
}
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

# --- Flows that run alike under X11 and under sway ---------------------------------------------
# A test registered with the label wayland gets KIWANO_E2E_SESSION=sway from CTest: e2e_display
# then takes the test runner's headless sway instead of a private X server, and the helpers below
# drive and look at either one the same way. Under sway the program runs as the compositor's user
# (sway does not run as root), from a copy of its own when that user cannot reach the build tree.
e2e_session=x11
e2e_user=
# e2e_display [WIDTHxHEIGHT [tray]]: the private X server (see e2e_x11), or the headless sway.
e2e_display() {
  if [[ ${KIWANO_E2E_SESSION:-x11} == sway ]]; then e2e_sway; else e2e_x11 "$@"; fi
}
e2e_sway() {
  [[ -n ${KIWANO_TEST_WAYLAND_SKIP:-} ]] && skip "$KIWANO_TEST_WAYLAND_SKIP"
  [[ -S ${KIWANO_TEST_WAYLAND_DISPLAY:-} ]] || skip "no test compositor (run the tests through scripts/run-tests.sh)"
  e2e_session=sway
  e2e_user=${KIWANO_TEST_WAYLAND_USER:-$(id -un)}
  export WAYLAND_DISPLAY=$KIWANO_TEST_WAYLAND_DISPLAY SWAYSOCK=$KIWANO_TEST_SWAYSOCK XDG_SESSION_TYPE=wayland
  export QT_QPA_PLATFORM=wayland
  unset DISPLAY
  swaymsg -t get_version >/dev/null 2>&1 || skip "the test compositor does not answer"
  # The seat has no devices of its own: a keyboard stays for the whole test (a window asks for
  # the keys only once the seat has one) and a pointer is driven a line at a time.
  wtype -s 3600000 &
  e2e_pids+=($!)
  local size
  size=$(swaymsg -t get_outputs -r | jq -r '[.[] | select(.active) | .rect] | (map(.x + .width) | max),
                                                                          (map(.y + .height) | max)' | xargs)
  coproc e2e_pointer { exec "$e2e_build/tests/platform/kiwano-test-pointerdevice" $size; }
  e2e_pids+=($e2e_pointer_PID)
  local line
  read -r -t 10 line <&"${e2e_pointer[0]}" && [[ $line == ready ]] || fail "no pointer device on the compositor"
}
# e2e_app ARGS...: the program, run as a person of this session would run it (a request to the
# running instance, or the instance itself).
e2e_app() {
  e2e_app_command
  "${e2e_command[@]}" "$@"
}
# The command line that runs the program, in e2e_command (so that a background start's $! is the
# program, or under sway the runuser that hands it signals).
e2e_app_command() {
  [[ $e2e_session == kde ]] && { kde_command; e2e_command=("${kde_cmd[@]}" "$app"); return; }
  if [[ $e2e_session == sway && $e2e_user != $(id -un) ]]; then
    e2e_command=(runuser -u "$e2e_user" -- env -i PATH="$PATH" LANG="${LANG:-C.UTF-8}" HOME="$HOME"
      XDG_DATA_HOME="$XDG_DATA_HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_CACHE_HOME="$XDG_CACHE_HOME"
      XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" SWAYSOCK="$SWAYSOCK"
      XDG_SESSION_TYPE=wayland "$app")
  elif [[ $e2e_session == sway ]]; then
    e2e_command=(env -u QT_QPA_PLATFORM "$app")
  else
    e2e_command=("$app")
  fi
}
# The compositor's user gets the private home, and the programs where it can run them.
e2e_reachable() {
  [[ $e2e_user == $(id -un) ]] && return
  chown -R "$e2e_user" "$HOME" "$XDG_RUNTIME_DIR"
  runuser -u "$e2e_user" -- test -x "$app" && return
  mkdir -p "$work/programs"
  cp "$app" "$e2e_build/src/app/kiwano-snapper-app" "$e2e_build/src/app/kiwano-capture" "$work/programs/"
  chmod -R a+rX "$work/programs"
  app=$work/programs/kiwano-snapper
  runuser -u "$e2e_user" -- test -x "$app" || skip "the compositor's user cannot run the program"
}

# Keys as xdotool names them ("ctrl+shift+z", "Return", "BackSpace"); typed text; pointer drags
# and clicks at screen positions.
e2e_key() {
  local combo
  for combo in "$@"; do
    if [[ $e2e_session == x11 ]]; then
      xdotool key --clearmodifiers "$combo"
      continue
    fi
    local parts=() held=() args=() i
    IFS=+ read -ra parts <<<"$combo"
    for ((i = 0; i < ${#parts[@]} - 1; i++)); do held+=("${parts[i]/super/logo}"); done
    for i in "${held[@]}"; do args+=(-M "$i"); done
    args+=(-k "${parts[-1]}")
    for ((i = ${#held[@]} - 1; i >= 0; i--)); do args+=(-m "${held[i]}"); done
    wtype "${args[@]}" || fail "wtype could not press $combo"
  done
}
e2e_type() {
  if [[ $e2e_session == x11 ]]; then xdotool type --delay 30 "$1"; else wtype -d 30 "$1"; fi
}
# Under sway, one line to the pointer device, answered once the compositor has it.
e2e_point() {
  local line
  printf '%s\n' "$1" >&"${e2e_pointer[1]}"
  read -r -t 5 line <&"${e2e_pointer[0]}" && [[ $line == ok ]] || fail "the pointer device did not answer"
}
e2e_drag() {
  local x1=$1 y1=$2 x2=$3 y2=$4
  if [[ $e2e_session == x11 ]]; then
    xdotool mousemove "$x1" "$y1" mousedown 1 mousemove $(((x1 + x2) / 2)) $(((y1 + y2) / 2)) \
      mousemove "$x2" "$y2" mouseup 1
  else
    e2e_point "move $x1 $y1"; e2e_point press
    e2e_point "move $(((x1 + x2) / 2)) $(((y1 + y2) / 2))"; e2e_point "move $x2 $y2"
    e2e_point release
  fi
}
e2e_click() {
  if [[ $e2e_session == x11 ]]; then
    xdotool mousemove "$1" "$2" click 1
  else
    e2e_point "move $1 $2"; e2e_point press; e2e_point release
  fi
}

# Under sway, the first window of the compositor's tree whose JSON the jq condition accepts.
sway_window() {
  swaymsg -t get_tree -r | jq -e -c "first(recurse(.nodes[]?, .floating_nodes[]?) | select(.pid != null) | select($1))"
}
# "X Y WIDTH HEIGHT" of the main window on screen; nothing while it is not shown.
main_rect() {
  if [[ $e2e_session == x11 ]]; then
    local id
    id=$(main_window)
    [[ -n $id ]] || return 1
    xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
                               /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
  else
    sway_window '.name == "🥝 Kiwano Snapper" and .visible' \
      | jq -r '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"'
  fi
}
# Whether the keys go to the main window (or to the picker).
main_window_active() {
  if [[ $e2e_session == x11 ]]; then
    [[ -n $(main_window) && $(xdotool getactivewindow 2>/dev/null) == "$(main_window)" ]]
  else
    sway_window '.focused and .name == "🥝 Kiwano Snapper"' >/dev/null
  fi
}
# On X11 the picker takes the keys by a keyboard grab and leaves the program in front active.
picker_active() {
  if [[ $e2e_session == x11 ]]; then
    [[ -n $(picker_shown) ]]
  else
    sway_window '.focused and .name == "Clipboard"' >/dev/null
  fi
}
picker_closed() {
  if [[ $e2e_session == x11 ]]; then picker_gone; else ! sway_window '.name == "Clipboard"' >/dev/null; fi
}
capture_overlay_shown() {
  if [[ $e2e_session == x11 ]]; then overlay_shown; else sway_window '.app_id == "kiwano-capture" and .visible'; fi
}
# The clipboard of the session: a text, a PNG file, and the PNG it offers now.
e2e_copy_text() {
  if [[ $e2e_session == x11 ]]; then copy_text "$1"; return; fi
  # In the foreground, so that the test ends it; it serves until the next copy replaces it.
  printf '%s' "$1" | wl-copy --foreground &
  e2e_pids+=($!)
}
# A copy made just after the start may come before the program watches the clipboard (which
# then takes it as what was there already): copies TEXT again until it is recorded.
copy_until_recorded() {
  local deadline=$((SECONDS + 20))
  until recorded "$1"; do
    ((SECONDS >= deadline)) && return 1
    e2e_copy_text "$1"
    poll 2 recorded "$1" && return
  done
}
e2e_copy_png() {
  if [[ $e2e_session == x11 ]]; then xclip -selection clipboard -t image/png -i "$1" 2>/dev/null; return; fi
  wl-copy --foreground -t image/png <"$1" &
  e2e_pids+=($!)
}
e2e_clipboard_png() {
  if [[ $e2e_session == x11 ]]; then clipboard_png "$1"; else wl-paste -n -t image/png >"$1" 2>/dev/null && [[ -s $1 ]]; fi
}
# The paste target of e2e_start_paste_target, in front and taking the keys.
paste_target_active() {
  if [[ $e2e_session == x11 ]]; then
    [[ $(xdotool getactivewindow 2>/dev/null) == "$paste_target" ]]
  else
    sway_window '.focused and .name == "paste target"' >/dev/null
  fi
}
e2e_start_paste_target() {
  # Without a tray the program shows its main window once it has started, which may be after the
  # socket is there: the paste target comes to the front after it, or that window takes the keys.
  [[ -n ${e2e_tray:-} ]] || poll 15 main_rect >/dev/null || fail "the main window did not show (ours: $(our_windows))"
  "$e2e_pastetarget" >"$work/pasted.txt" 2>"$work/pastetarget.log" &
  e2e_pids+=($!)
  local shown=(xdotool search --onlyvisible --name '^paste target$')
  [[ $e2e_session == sway ]] && shown=(sway_window '.name == "paste target"')
  poll 20 "${shown[@]}" || fail "paste target did not show ($(kill -0 $! 2>/dev/null && echo running || echo ended): $(tail -3 "$work/pastetarget.log"))"
  if [[ $e2e_session == x11 ]]; then
    paste_target=$(xdotool search --onlyvisible --name '^paste target$' | head -1)
    xdotool windowactivate --sync "$paste_target"
  else
    swaymsg '[title="^paste target$"] focus' >/dev/null
  fi
  poll 10 paste_target_active || fail "the paste target did not come to the front"
}
# "WIDTHxHEIGHT" of the whole screen, in pixels.
screen_size() {
  if [[ $e2e_session == x11 ]]; then
    xdpyinfo | awk '/dimensions:/ {print $2; exit}'
  else
    swaymsg -t get_outputs -r | jq -r '[.[] | select(.active)][0] | "\(.current_mode.width)x\(.current_mode.height)"'
  fi
}
e2e_screenshot() {
  if [[ $e2e_session == x11 ]]; then screenshot "$1"; else grim "$work/$1.png" 2>/dev/null; fi
}
# grab_rect X Y WIDTH HEIGHT FILE: that part of the screen as a PNG.
grab_rect() {
  if [[ $e2e_session == x11 ]]; then
    import -window root -crop "$3x$4+$1+$2" +repage "$5" 2>/dev/null
  else
    grim -g "$1,$2 $3x$4" "$5" 2>/dev/null
  fi
}
# Whether the main window looks the same twice, a fifth of a second apart: its animations are over.
main_window_still() {
  local rect
  rect=$(main_rect) || return 1
  grab_rect $rect "$work/still-a.png" && sleep 0.2 && grab_rect $rect "$work/still-b.png" \
    && [[ $(pixels_differ "$work/still-a.png" "$work/still-b.png") == 0 ]]
}
# pixels_differ A B: how many pixels of two pictures of the same size differ.
pixels_differ() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# --- the grab strip and the main window's toast ---
# pixels SHOT GEOMETRY: "X Y R G B" for every pixel of that part (WxH+X+Y) of the screenshot.
pixels() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[,:() ]+' -v geometry="$2" 'BEGIN {split(geometry, g, "+")} NR > 1 {print $1 + g[2], $2 + g[3], $3, $4, $5}'
}
# toast_button SHOT LEFT TOP WIDTH HEIGHT: "X Y", the middle of the button of the toast that rests
# at the bottom centre of that area of the screenshot; fails when there is none. The toast is a
# yellow box, its button a cream face within it.
toast_button() {
  local middle=$(($2 + $4 / 2)) bottom=$(($3 + $5)) span=$((100 * ${E2E_SCALE:-1})) y
  y=$(pixels "$1" "1x$span+$middle+$((bottom - span))" |
    awk '$3 >= 245 && $4 >= 215 && $4 <= 235 && $5 <= 75 {if (!n++) first = $2; last = $2} END {if (n) print int((first + last) / 2)}')
  [[ -n $y ]] || return 1
  pixels "$1" "$(($4 / 2))x1+$middle+$y" | sort -n | awk '
    function cream() { return $3 >= 245 && $4 >= 240 && $5 >= 210 && $5 <= 230 }
    function yellow() { return $3 >= 245 && $4 >= 215 && $4 <= 235 && $5 <= 75 }
    !first && cream() { first = $1 }
    first && cream() { last = $1 }
    first && yellow() { print int((first + last) / 2), $2; found = 1; exit }
    END { exit !found }'
}

# region_grab X1 Y1 X2 Y2: asks for a region grab from the command line and drags it out; a drag
# that came before the overlay took the pointer is made again.
region_grab() {
  local before=$(grabs) attempt
  e2e_app --region || fail "--region exited with an error"
  for attempt in 1 2; do
    poll 10 capture_overlay_shown || fail "--region showed no capture overlay"
    e2e_drag "$@"
    poll 10 has_grabs $((before + 1)) && return
    capture_overlay_shown >/dev/null 2>&1 || break
  done
  fail "the dragged region did not land in the history"
}

# --- KDE Plasma: the test runner's headless KWin ----------------------------------------------
# A test registered with the label kde gets KIWANO_E2E_SESSION=kde from CTest and calls e2e_kde
# (e2e_display does too). KWin runs as its own user on a session bus of its own, where it serves
# ScreenShot2 and KGlobalAccel; everything of the session (the program, wl-copy, xclip, xdotool
# on its XWayland) runs as that user with that bus, through kde_run. KWin lets only programs its
# desktop files name use its fake input and its screenshots: kde_trust writes them, from the
# templates the package installs, for this test's copies of the programs.
e2e_kde() {
  [[ -n ${KIWANO_TEST_KWIN_SKIP:-} ]] && skip "$KIWANO_TEST_KWIN_SKIP"
  [[ -S ${KIWANO_TEST_KWIN_DISPLAY:-} ]] || skip "no test KWin (run the tests through scripts/run-tests.sh)"
  e2e_session=kde
  e2e_user=${KIWANO_TEST_KWIN_USER:-$(id -un)}
  export WAYLAND_DISPLAY=$KIWANO_TEST_KWIN_DISPLAY DISPLAY=$KIWANO_TEST_KWIN_X11
  export DBUS_SESSION_BUS_ADDRESS=$KIWANO_TEST_KWIN_DBUS XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE
  unset SWAYSOCK QT_QPA_PLATFORM
  kde_input=$e2e_build/tests/e2e/kiwano-kdeinput
}
# kde_run COMMAND...: runs it in the KWin session, as its user, with the test's private home.
# In the background, run "${kde_cmd[@]}" COMMAND after kde_command, so that $! is what runs it.
kde_command() {
  kde_cmd=()
  [[ $e2e_user != $(id -un) ]] && kde_cmd=(runuser -u "$e2e_user" --)
  kde_cmd+=(env -i PATH="$PATH" LANG="${LANG:-C.UTF-8}" HOME="$HOME" LANGUAGE="${LANGUAGE:-}"
    XDG_DATA_HOME="$XDG_DATA_HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_CACHE_HOME="$XDG_CACHE_HOME"
    XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" DISPLAY="$DISPLAY"
    DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE
    ${KDE_ENV:+$KDE_ENV})
}
kde_run() { kde_command; "${kde_cmd[@]}" "$@"; }
# kde_trust: the program's desktop files for KWin (see above), and one for the test's input
# device; KWin reads them again within 1.5 s.
kde_trust() {
  local linux apps=$KIWANO_TEST_KWIN_APPLICATIONS id=kiwano-e2e-${work##*.}
  linux=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../resources/linux" && pwd)
  # KWin reads and hashes the whole executable of every client that connects, on its main
  # thread: copies without debug information, as the package ships them, keep that short.
  local dir=$work/programs program
  mkdir -p "$dir"
  for program in "$app" "$e2e_build/src/app/kiwano-snapper-app" "$e2e_build/src/app/kiwano-capture" \
                 "$kde_input" "$e2e_pastetarget"; do
    objcopy --strip-debug "$program" "$dir/$(basename "$program")" || fail "could not copy $program"
  done
  chmod -R a+rX "$dir"
  app=$dir/kiwano-snapper kde_input=$dir/kiwano-kdeinput e2e_pastetarget=$dir/$(basename "$e2e_pastetarget")
  if [[ $e2e_user != $(id -un) ]]; then
    chown -R "$e2e_user" "$HOME" "$XDG_RUNTIME_DIR"
    runuser -u "$e2e_user" -- test -x "$app" || skip "the compositor's user cannot run the program"
  fi
  sed "s|@EXEC@|$dir/kiwano-snapper-app|" "$linux/org.kiwanosnapper.KiwanoSnapper.Service.desktop.in" >"$apps/$id-service.desktop"
  sed "s|@EXEC@|$dir/kiwano-capture|" "$linux/org.kiwanosnapper.KiwanoSnapper.Capture.desktop.in" >"$apps/$id-capture.desktop"
  sed -e "s|@EXEC@|$(readlink -f "$kde_input")|" -e 's|^Name=.*|Name=Kiwano Snapper test input|' \
    "$linux/org.kiwanosnapper.KiwanoSnapper.Service.desktop.in" >"$apps/$id-input.desktop"
  chmod 644 "$apps/$id-"*.desktop
  sleep 1.6
  # The input device itself shows when KWin has read them.
  poll 5 kde_run "$kde_input" || fail "KWin gives the test's input device no fake input"
}
# kde_input_do STEPS...: keys and pointer through KWin (see kdeinput.cpp).
kde_do() { kde_run "$kde_input" "$@" || fail "KWin did not take the input: $*"; }
# "CAPTION|CLASS" of the window KWin has active, asked through a KWin script that prints it.
kde_active() {
  local name=kiwano-e2e-$$-$(date +%s%N) line=
  printf "print('%s ' + (workspace.activeClient ? workspace.activeClient.caption + '|' + workspace.activeClient.resourceClass : '|'));\n" \
    "$name" >"$work/$name.js"
  chmod 644 "$work/$name.js"
  kde_run dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript \
    string:"$work/$name.js" string:"$name" >/dev/null 2>&1 || return 1
  kde_run dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null 2>&1
  local deadline=$((SECONDS + 3))
  until line=$(grep -a -m1 "^js: $name " "$KIWANO_TEST_KWIN_LOG"); do
    ((SECONDS >= deadline)) && break
    sleep 0.05
  done
  kde_run dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.unloadScript \
    string:"$name" >/dev/null 2>&1
  [[ -n $line ]] && echo "${line#"js: $name "}"
}
kde_active_is() { [[ $(kde_active) == "$1|"* ]]; }
# kde_start_app [ARGS...]: the program, with its main window in front (there is no tray): windows
# started afterwards come over it.
kde_start_app() {
  e2e_start_app "$@"
  poll 15 kde_active_is "🥝 Kiwano Snapper" || fail "the main window did not show ($(kde_active) is active)"
}
kde_picker_active() { kde_active_is Clipboard; }
kde_picker_closed() { ! kde_picker_active; }
# kde_start_paste_target PLATFORM FILE: the paste target as a native Wayland window (wayland) or
# an XWayland one (xcb), in front: a key typed through KWin lands in it (and is taken back). It
# writes its text to FILE in the work folder.
kde_start_paste_target() {
  local out=$work/$2
  KDE_ENV=QT_QPA_PLATFORM=$1 kde_command
  "${kde_cmd[@]}" "$e2e_pastetarget" >"$out" 2>"$work/pastetarget-$1.log" &
  e2e_pids+=($!)
  local deadline=$((SECONDS + 15))
  until grep -qs 'q' "$out"; do
    ((SECONDS >= deadline)) && fail "the paste target ($1) did not come to the front: $(tail -3 "$work/pastetarget-$1.log")"
    sleep 0.3
    kde_do key q
  done
  kde_do key ctrl+a key BackSpace
  poll 5 bash -c "tail -1 '$out' | grep -qx ''" || fail "the paste target ($1) did not take BackSpace"
}

# --- GNOME: the test runner's headless gnome-shell (scripts/gnome-session.sh) ---------------------
# A test registered with the label gnome gets KIWANO_E2E_SESSION=gnome from CTest and calls
# e2e_gnome (with "without-extension" to turn our shell extension off for the test) in place of
# e2e_display. The program, its clients and the tools run as the shell's user, on its session bus;
# keys and the pointer go through the seat helper's remote desktop session, and what the shell
# shows is asked of the shell itself (the harness extension allows it).
e2e_gnome() {
  [[ -n ${KIWANO_TEST_GNOME_SKIP:-} ]] && skip "$KIWANO_TEST_GNOME_SKIP"
  [[ -S ${KIWANO_TEST_GNOME_WAYLAND_DISPLAY:-} ]] || skip "no test shell (run the tests through scripts/run-tests.sh)"
  e2e_session=gnome
  e2e_user=$KIWANO_TEST_GNOME_USER
  export WAYLAND_DISPLAY=$KIWANO_TEST_GNOME_WAYLAND_DISPLAY DISPLAY=$KIWANO_TEST_GNOME_DISPLAY
  export XAUTHORITY=$KIWANO_TEST_GNOME_XAUTHORITY DBUS_SESSION_BUS_ADDRESS=$KIWANO_TEST_GNOME_BUS
  export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
  unset SWAYSOCK QT_QPA_PLATFORM
  gnome_extension_set "${1:-with-extension}" || fail "the shell did not turn our extension ${1:-on}"
  # No custom shortcuts an earlier test wrote into GNOME's settings.
  gnome_setting reset org.gnome.settings-daemon.plugins.media-keys custom-keybindings
}
# gnome_setting ARGS...: gsettings on the shell's own settings, as GNOME's Settings app sees them.
gnome_setting() {
  local run=()
  [[ $e2e_user != $(id -un) ]] && run=(runuser -u "$e2e_user" --)
  "${run[@]}" env -i PATH="$PATH" HOME="$KIWANO_TEST_GNOME_DIR/home" XDG_CONFIG_HOME="$KIWANO_TEST_GNOME_DIR/home/.config" \
    DBUS_SESSION_BUS_ADDRESS="$KIWANO_TEST_GNOME_BUS" gsettings "$@"
}
# Brings the window with this title to the front, as a click on it would.
gnome_activate() {
  gnome_eval "global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === \"$1\").activate(global.get_current_time())" >/dev/null
  poll 5 gnome_focused_is "$1"
}
gnome_extension_set() {
  local want=true uuid=kiwano-snapper@kiwanosnapper.org
  [[ $1 == without-extension ]] && want=false
  if [[ $want == true ]]; then
    gnome_eval "Main.extensionManager.enableExtension(\"$uuid\")" >/dev/null
  else
    gnome_eval "Main.extensionManager.disableExtension(\"$uuid\")" >/dev/null
  fi
  poll 5 gnome_extension_is "$want"
}
gnome_extension_is() {
  [[ $(gnome_eval 'Main.extensionManager.lookup("kiwano-snapper@kiwanosnapper.org")?.state === 1') == "$1" ]]
}
source "$(dirname "${BASH_SOURCE[0]}")/lib-gnome-eval.sh"
# Under GNOME the program runs as the shell's user, in its session, from where that user reaches it.
eval "$(declare -f e2e_app_command | sed '1s/^e2e_app_command/e2e_app_command_elsewhere/')"
# gnome_app_env: what the program's environment differs in, as env takes it (e.g. -u DISPLAY).
gnome_app_env=()
e2e_app_command() {
  if [[ $e2e_session == gnome ]]; then
    gnome_user_command env "${gnome_app_env[@]}" "$app"
    e2e_command=("${gnome_command[@]}")
  else
    e2e_app_command_elsewhere
  fi
}
eval "$(declare -f e2e_start_app | sed '1s/^e2e_start_app/e2e_start_app_elsewhere/')"
e2e_start_app() {
  [[ $e2e_session == gnome ]] && e2e_reachable
  e2e_start_app_elsewhere "$@"
}
# gnome_user_command COMMAND...: in gnome_command, the command line that runs a command as the
# shell's user, in its session; run in the background, its $! is the process that hands on signals.
gnome_user_command() {
  gnome_command=()
  [[ $e2e_user != $(id -un) ]] && gnome_command=(runuser -u "$e2e_user" --)
  gnome_command+=(env -i PATH="$PATH" LANG="${LANG:-C.UTF-8}" HOME="$HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR"
    XDG_DATA_HOME="$XDG_DATA_HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_CACHE_HOME="$XDG_CACHE_HOME"
    WAYLAND_DISPLAY="$WAYLAND_DISPLAY" DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY"
    DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME "$@")
}
gnome_as_user() {
  gnome_user_command "$@"
  "${gnome_command[@]}"
}
# The title of the window the shell gives the keys to; empty when none.
gnome_focused() { gnome_eval 'global.display.focus_window ? global.display.focus_window.get_title() : ""'; }
gnome_focused_is() { [[ $(gnome_focused) == "$1" ]]; }
gnome_focused_isnt() { [[ $(gnome_focused) != "$1" ]]; }
# The program started; without a tray it shows its main window, which takes the keys.
gnome_start_app() {
  e2e_start_app "$@"
  poll 15 gnome_focused_is "🥝 Kiwano Snapper" || fail "the main window did not show (focus: '$(gnome_focused)')"
}
# gnome_keys COMBO...: keys as xdotool names them, pressed through the seat.
gnome_keys() {
  gnome_as_user gdbus call --session --dest org.kiwano.TestSeat --object-path /org/kiwano/TestSeat \
    --method org.kiwano.TestSeat.Keys "$*" >/dev/null || fail "the seat could not press $*"
}
gnome_copy_text() {
  gnome_user_command wl-copy --foreground
  printf '%s' "$1" | "${gnome_command[@]}" >/dev/null 2>&1 &
  e2e_pids+=($!)
}
gnome_copy_x11_text() {
  gnome_user_command xclip -selection clipboard -quiet
  printf '%s' "$1" | "${gnome_command[@]}" >/dev/null 2>&1 &
  e2e_pids+=($!)
}
# gnome_copy_until_recorded COPY TEXT: copies (gnome_copy_text or gnome_copy_x11_text) again until
# recorded, for a copy that came before the program watched the clipboard.
gnome_copy_until_recorded() {
  local deadline=$((SECONDS + 20))
  until recorded "$2"; do
    ((SECONDS >= deadline)) && return 1
    "$1" "$2"
    poll 2 recorded "$2" && return
  done
}
# The paste target as a native Wayland window of its own, in front.
gnome_start_paste_target() {
  gnome_user_command env QT_QPA_PLATFORM=wayland "$e2e_pastetarget"
  "${gnome_command[@]}" >"$work/pasted.txt" 2>"$work/pastetarget.log" &
  e2e_pids+=($!)
  poll 20 gnome_focused_is "paste target" || fail "the paste target did not come to the front (focus: '$(gnome_focused)')"
}
gnome_screenshot() {
  gnome_eval "(() => { const s = new imports.gi.Shell.Screenshot(); const f = imports.gi.Gio.File.new_for_path(\"$work/$1.png\");
    s.screenshot(false, f.replace(null, false, 0, null)).then(() => {}); return \"ok\"; })()" >/dev/null
}
