#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Brings in the pixel icons from the pixelarticons set (MIT), renamed to the names the views ask
# for, and writes where each icon came from beside them. The few icons the set lacks are drawn by
# scripts/draw-art.py on the same 24-pixel grid; this script leaves those alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dest="$here/../resources/Icons"
package="pixelarticons@2.4.1"

# Our name, then the name in the set. Where the set's own name differs, the choice is by look:
# "card" is the widest plain rectangle, "collapse" the arrows that press together, and the two
# bar arrows point at the end of the stack a layer moves to.
mapping=(
  "hand hand"
  "pencil pencil"
  "magic-wand-sparkles wand"
  "arrow-right arrow-right"
  "rectangle square"
  "font letter-a"
  "eye-slash eye-off"
  "eye eye"
  "scissors scissors"
  "image image"
  "images images"
  "rectangle-wide card"
  "desktop monitor"
  "clone copy"
  "lock lock"
  "lock-open unlock"
  "folder folder"
  "sliders sliders"
  "arrow-down-to-bracket download"
  "arrow-right-from-bracket logout"
  "undo undo"
  "redo redo"
  "arrow-up arrow-up"
  "arrow-down arrow-down"
  "trash trash"
  "compress collapse"
  "arrow-up-from-line arrow-bar-up"
  "arrow-down-to-line arrow-bar-down"
  "xmark close"
  "check check"
  "minus minus"
  "plus plus"
  "bookmark bookmark"
)
drawn=(kiwano layer-group palette expand)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package" >/dev/null && tar xzf ./*.tgz)

mkdir -p "$dest"
provenance="$dest/PROVENANCE.tsv"
printf 'icon\tsource\n' > "$provenance"
for pair in "${mapping[@]}"; do
  read -r ours theirs <<<"$pair"
  cp "$work/package/svg/$theirs.svg" "$dest/$ours.svg"
  printf '%s\t%s svg/%s.svg (MIT, LICENSE-pixelarticons.txt)\n' "$ours" "$package" "$theirs" >> "$provenance"
done
for ours in "${drawn[@]}"; do
  printf '%s\tdrawn for Kiwano Snapper by scripts/draw-art.py (MIT)\n' "$ours" >> "$provenance"
done
cp "$work/package/LICENSE" "$dest/LICENSE-pixelarticons.txt"
echo "Icons written to $dest"
