#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What a person waits for when pinning, timed from outside the built program by X events alone
# (kiwano-mapwatch: the clock starts just before the command and stops at the window's MapNotify),
# on a private 1920x1080 Xvfb with openbox and a private home, beside ImageMagick's `display`
# opening the same file in the same rounds:
#   kiwano-snapper --pin FILE (running instance) -> pin mapped    beside `display FILE` mapped
# for a 1280x720 and a 3840x2160 picture (the larger one shown shrunk to fit the screen).
#
# bench_pin BUILD_DIR [ROUNDS] (7 rounds unless given)
build=$(cd "${1:-build}" && pwd)
rounds=${2:-7}
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$build" /bin/true

watch=$build/bench/probes/kiwano-mapwatch
[[ -x $app && -x $watch ]] || fail "build kiwano-snapper, kiwano-capture and kiwano-mapwatch first"
for tool in xdotool convert display; do
  command -v "$tool" >/dev/null || skip "$tool is missing"
done

declare -A samples=()
add() { samples[$1]+="$2 "; }
median() { tr ' ' '\n' <<<"${samples[$1]:-}" | grep . | sort -g | awk '{v[NR]=$1} END {if (NR) print v[int((NR+1)/2)]; else print "nan"}'; }
row() {
  tr ' ' '\n' <<<"${samples[$1]:-}" | grep . | sort -g \
    | awk -v label="$2" '{v[NR]=$1} END {
        if (!NR) { printf "  %-50s %9s\n", label, "no run"; exit }
        printf "  %-50s %7.1f ms  (%.1f..%.1f, %d runs)\n", label, v[int((NR+1)/2)], v[1], v[NR], NR }'
}
ratio() {
  awk -v a="$(median "$1")" -v b="$(median "$2")" -v label="$3" \
    'BEGIN { if (a == "nan" || b == "nan" || b == 0) printf "  %-50s %9s\n", label, "n/a";
             else printf "  %-50s %7.2f x\n", label, a / b }'
}
# measure NAME WATCH-ARGS...: one sample of NAME, the time to the first map.
measure() {
  local name=$1 event ms; shift
  read -r event ms _ < <("$watch" --timeout 5000 "$@" 2>>"$work/watch.log" | grep '^map ')
  [[ $ms =~ ^[0-9.]+$ ]] && add "$name" "$ms"
}

e2e_x11 1920x1080
e2e_home
# Photograph-like pictures: noise blurred into shapes, which PNG cannot squeeze to nothing.
convert -size 1280x720 plasma:fractal -depth 8 "$work/small.png" || fail "no picture"
convert -size 3840x2160 plasma:fractal -depth 8 "$work/large.png" || fail "no picture"
e2e_start_app
sleep 1

# Debian's ImageMagick names its display window by its version.
display_class=$(basename "$(readlink -f "$(command -v display)")")
closed_class() { [[ -z $(xdotool search --onlyvisible --class "$1" 2>/dev/null) ]]; }
closed() { [[ -z $(xdotool search --onlyvisible --name "$1" 2>/dev/null) ]]; }
for ((i = 0; i < rounds; i++)); do
  for size in small large; do
    measure "pin.$size" --title "Pinned $size.png" -- "$app" --pin "$work/$size.png"
    xdotool search --onlyvisible --name "^Pinned $size.png\$" windowactivate --sync key Escape 2>/dev/null
    poll 5 closed "^Pinned $size.png\$" || fail "the pin did not close"
    measure "display.$size" --class "$display_class" -- display -geometry +0+0 -resize '1728x972>' "$work/$size.png"
    # The window's client is the display just started, on this private server.
    xdotool search --onlyvisible --class "$display_class" windowkill 2>/dev/null
    poll 5 closed_class "$display_class" || fail "display did not close"
  done
done

echo "Pinning at 1920x1080, timed by X events ($rounds rounds; median, spread and runs)"
row pin.small "--pin 1280x720 PNG -> pin mapped"
row display.small "display 1280x720 PNG -> window mapped"
ratio pin.small display.small "pin against display, 1280x720"
row pin.large "--pin 3840x2160 PNG -> pin mapped (shrunk)"
row display.large "display 3840x2160 PNG -> window mapped (shrunk)"
ratio pin.large display.large "pin against display, 3840x2160"
e2e_quit >/dev/null || fail "the program did not quit cleanly"
