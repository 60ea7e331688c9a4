#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What a person waits for, timed from outside the built program by X events alone
# (kiwano-mapwatch: the clock starts just before the command, the click or the key, and stops at
# the MapNotify, the window going away or the clipboard's owner change and PNG transfer), on a
# private 3840x2160 Xvfb with openbox and a tray, a private home and session bus, each figure
# beside a peer or a baseline measured in the same rounds:
#   region request -> full-screen overlay mapped       beside `flameshot gui` (its daemon running)
#   --clipboard -> picker mapped, 1,000 texts          beside `copyq show` with 1,000 items
#   drag released -> editor mapped with the grab       beside the overlay going away (no peer
#                                                      opens an editor after a grab)
#   Ctrl+C in the editor -> clipboard owner, PNG read  beside flameshot's Ctrl+C (1080p) and
#                                                      xclip serving the same file (1080p, 5K)
#
# bench_felt BUILD_DIR [ROUNDS] (7 rounds unless given)
build=$(cd "${1:-build}" && pwd)
rounds=${2:-7}
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$build" /bin/true

watch=$build/bench/probes/kiwano-mapwatch
clipfill=$build/bench/probes/kiwano-clipfill
makegrabs=$build/tools/grabs/kiwano-make-grabs
[[ -x $app && -x $watch && -x $clipfill && -x $makegrabs ]] \
  || fail "build kiwano-snapper, kiwano-capture, kiwano-make-grabs, kiwano-mapwatch and kiwano-clipfill first"
for tool in xdotool xclip convert trayer dbus-daemon flameshot copyq; do
  command -v "$tool" >/dev/null || skip "$tool is missing (bash scripts/install-deps.sh scripts/bench-packages.txt)"
done

# --- figures ----------------------------------------------------------------------------------
declare -A samples=()
# add NAME VALUE: one more sample of a figure.
add() { samples[$1]+="$2 "; }
median() { tr ' ' '\n' <<<"${samples[$1]:-}" | grep . | sort -g | awk '{v[NR]=$1} END {if (NR) print v[int((NR+1)/2)]; else print "nan"}'; }
# row NAME LABEL: the median, the spread and the number of runs.
row() {
  tr ' ' '\n' <<<"${samples[$1]:-}" | grep . | sort -g \
    | awk -v label="$2" '{v[NR]=$1} END {
        if (!NR) { printf "  %-58s %9s\n", label, "no run"; exit }
        printf "  %-58s %7.1f ms  (%.1f..%.1f, %d runs)\n", label, v[int((NR+1)/2)], v[1], v[NR], NR }'
}
# ratio A B LABEL GOAL: the medians' ratio.
ratio() {
  awk -v a="$(median "$1")" -v b="$(median "$2")" -v label="$3" -v goal="$4" \
    'BEGIN { if (a == "nan" || b == "nan" || b == 0) printf "  %-58s %9s\n", label, "n/a";
             else printf "  %-58s %7.2f x   (%s)\n", label, a / b, goal }'
}
# measure PREFIX WATCH-ARGS...: runs the watch; each "event ms" line becomes a sample PREFIX.event.
measure() {
  local prefix=$1 out event ms rest; shift
  last_png_bytes=
  out=$("$watch" --timeout 5000 "$@" 2>>"$work/watch.log")
  while read -r event ms rest; do
    [[ -n $event && $ms =~ ^[0-9.]+$ ]] || continue
    add "$prefix.$event" "$ms"
    [[ $event == png ]] && last_png_bytes=$rest
  done <<<"$out"
}

# --- the session ------------------------------------------------------------------------------
e2e_home
e2e_x11 3840x2160 tray
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
e2e_pids+=($!)
poll 10 test -s "$work/bus" || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")

# A desktop worth grabbing: generated grabs and a photo-like picture tiled over the whole screen
# as its background, and a 5120x2880 grab made the same way.
mkdir -p "$work/pictures"
"$makegrabs" "$work/pictures" 12 >/dev/null || fail "kiwano-make-grabs failed"
convert -seed 7 -size 1280x1080 plasma:fractal -blur 0x1 "$work/photo.png" || fail "convert failed"
mapfile -t pictures < <(ls "$work"/pictures/grab-*.png)
pictures=("${pictures[0]}" "$work/photo.png" "${pictures[@]:1}")
tile() { # tile COLUMNS ROWS CELL OUT
  local c r line=() rows=() i=0
  for ((r = 0; r < $2; r++)); do
    line=()
    for ((c = 0; c < $1; c++)); do line+=("(" "${pictures[i++ % ${#pictures[@]}]}" -resize "$3!" ")"); done
    convert "${line[@]}" +append +repage "$work/row$r.png"
    rows+=("$work/row$r.png")
  done
  convert "${rows[@]}" -append +repage "$4"
}
tile 3 2 1280x1080 "$work/desktop.png"
tile 4 3 1280x960 "$work/grab5k.png"
display -window root "$work/desktop.png" 2>/dev/null
[[ $(import -window root -crop 1x1+20+1000 -format '%[hex:p{0,0}]' info: 2>/dev/null) != 000000 ]] \
  || fail "could not set the desktop's picture"
mkdir -p "$history"
cp "$work/grab5k.png" "$history/grab-20260101-120000-BENCH5.png"

"$clipfill" 1000 >/dev/null || fail "could not record 1,000 texts"

# The peers, configured not to talk over the figures.
mkdir -p "$XDG_CONFIG_HOME/flameshot"
cat >"$XDG_CONFIG_HOME/flameshot/flameshot.ini" <<'INI'
[General]
showHelp=false
showStartupLaunchMessage=false
showDesktopNotification=false
showSidePanelButton=false
disabledTrayIcon=true
checkForUpdates=false
startupLaunch=false
INI
flameshot >"$work/flameshot.log" 2>&1 &
e2e_pids+=($!)
copyq >"$work/copyq.log" 2>&1 &
e2e_pids+=($!)
poll 20 copyq count || fail "CopyQ did not start"
copyq config maxitems 1000 >/dev/null
copyq config check_clipboard false >/dev/null
copyq eval 'for (var i = 0; i < 1000; ++i) add("clip number " + i + " of the bench, copied from somewhere else")' >/dev/null
[[ $(copyq count) -eq 1000 ]] || fail "CopyQ holds $(copyq count) items, not 1000"

e2e_start_app
sleep 1

# Closes the main window as a person would (Alt+F4) and waits until it is gone.
close_main_window() {
  local id
  id=$(main_window)
  [[ -z $id ]] && return 0
  xdotool windowactivate --sync "$id" key alt+F4 >/dev/null 2>&1
  poll 5 bash -c "! xdotool search --onlyvisible --classname kiwano-snapper | grep -qx '$id'" \
    || fail "the main window did not close"
}
# drag_to X Y: presses at 100,100 and moves to X,Y; the release is left to the caller.
drag_from_corner() {
  xdotool mousemove 100 100 mousedown 1 mousemove 600 400 mousemove 1500 900 mousemove "$1" "$2"
  sleep 0.15
}
# The editor gets the keys: the Move tool, then a click on the canvas beside the picture (the
# strip keeps them after a grab otherwise, and other tools would draw).
focus_editor() {
  local id
  id=$(main_window)
  [[ -n $id ]] || return 1
  xdotool windowactivate --sync "$id" mousemove --window "$id" 32 32 click 1 \
    mousemove --window "$id" 60 400 click 1 >/dev/null 2>&1
  sleep 0.2
}
# The size of the picture the clipboard holds now.
clipboard_size() { xclip -selection clipboard -o -t image/png 2>/dev/null | identify -format '%wx%h' - 2>/dev/null; }
# Someone else copies a text, so the next copy is a change of owner.
copy_elsewhere() {
  copy_text "between rounds $RANDOM"
  sleep 0.3
}

echo "Felt figures at 3840x2160, timed by X events ($rounds rounds; median, spread and runs)"

# --- 5K: Ctrl+C in the editor, beside xclip serving the same file ------------------------------
"$app" >/dev/null 2>&1
poll 10 main_window_shown || fail "the main window did not show the 5K grab"
for ((i = 0; i < rounds; i++)); do
  copy_elsewhere
  measure xclip5k --clipboard -- xclip -selection clipboard -t image/png -i "$work/grab5k.png"
  copy_elsewhere
  focus_editor
  measure copy5k --clipboard --keys ctrl+c
  [[ $i -eq 0 ]] && copy5k_bytes="$(clipboard_size), $last_png_bytes"
done
close_main_window

# --- region request, grab, 1080p Ctrl+C, beside Flameshot --------------------------------------
for ((i = 0; i < rounds; i++)); do
  # Ours: the request, the drag, the editor, the copy.
  measure overlay --class kiwano-capture --min-size 3840x2160 -- "$app" --region
  drag_from_corner 2020 1180
  measure grab --gone kiwano-capture --class kiwano-snapper --min-size 600x400 --release 1
  poll 5 main_window_shown
  copy_elsewhere
  focus_editor
  measure copy1080 --clipboard --keys ctrl+c
  [[ $i -eq 0 ]] && { copy1080_bytes="$(clipboard_size), $last_png_bytes"; grab1080=$(png_size "$(newest_grab)"); }
  close_main_window
  cp "$(newest_grab)" "$work/grab1080.png"
  copy_elsewhere
  measure xclip1080 --clipboard -- xclip -selection clipboard -t image/png -i "$work/grab1080.png"

  # Flameshot: the request, the drag, its Ctrl+C.
  measure flameshot --class flameshot --min-size 3840x2160 -- flameshot gui
  drag_from_corner 2020 1180
  xdotool mouseup 1
  sleep 0.3
  copy_elsewhere
  measure flameshotcopy --clipboard --gone flameshot --keys ctrl+c
  sleep 0.5
done

# --- the clipboard picker with 1,000 texts, beside CopyQ ---------------------------------------
for ((i = 0; i < rounds; i++)); do
  measure picker --title Clipboard -- "$app" --clipboard
  sleep 0.3
  xdotool key Escape
  poll 5 picker_gone
  sleep 0.2
  measure copyq --class copyq --min-size 300x200 -- copyq show
  sleep 0.3
  copyq hide >/dev/null
  poll 5 bash -c '! xdotool search --onlyvisible --class copyq | while read -r w; do xwininfo -id $w | grep -q "Width: [3-9][0-9][0-9]" && echo; done | grep -q .'
  sleep 0.2
done

# --- the figures ------------------------------------------------------------------------------
echo
echo "Region request to the full-screen overlay mapped"
row overlay.map "kiwano-snapper --region (running app)"
row flameshot.map "flameshot gui (daemon running)"
ratio overlay.map flameshot.map "ours vs Flameshot" "goal: at most 100 ms and 0.25 x"
echo
echo "Clipboard picker mapped, 1,000 texts in the history (including the command line's start)"
row picker.map "kiwano-snapper --clipboard"
row copyq.map "copyq show (1,000 items)"
ratio picker.map copyq.map "ours vs CopyQ" "goal: at most 60 ms and 0.5 x"
echo
echo "Drag released to the grab shown (a ${grab1080:-?} grab)"
row grab.gone "ours: overlay gone"
row grab.map "ours: editor mapped with the grab"
echo
echo "Ctrl+C in the editor to the clipboard answering with the PNG"
row copy1080.owner "ours, ${grab1080:-?}: owner changed"
row copy1080.png "ours: PNG read (${copy1080_bytes:-?} bytes)"
row flameshotcopy.owner "flameshot Ctrl+C, same region: owner changed"
row flameshotcopy.png "flameshot Ctrl+C, same region: PNG read"
row xclip1080.png "xclip -i of our grab file: PNG read"
ratio copy1080.png flameshotcopy.png "ours vs Flameshot" "goal: at most 100 ms"
row copy5k.owner "ours, 5120x2880: owner changed"
row copy5k.png "ours: PNG read (${copy5k_bytes:-?} bytes)"
row xclip5k.png "xclip -i of the same 5K file: PNG read"
ratio copy5k.png xclip5k.png "ours vs xclip" "the file served as it is"
if [[ -s $work/watch.log ]]; then
  echo
  echo "Runs that missed an event:"
  sort "$work/watch.log" | uniq -c | sed 's/^/  /'
fi
e2e_quit >/dev/null
