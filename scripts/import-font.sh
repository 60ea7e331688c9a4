#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Brings in the pixel font: Pixelify Sans Regular (SIL Open Font License 1.1), taken from the npm
# package that ships its TTF files, with its digits redrawn by distinct-digits.py (Debian's
# python3-fonttools) so that none reads as a letter. The file keeps the name the code looks for,
# Minecraft.ttf; the code uses whatever family name registering it returns.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dest="$here/../resources/Fonts"
package="@expo-google-fonts/pixelify-sans@0.4.2"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package" >/dev/null && tar xzf ./*.tgz)

mkdir -p "$dest"
cp "$work/package/400Regular/PixelifySans_400Regular.ttf" "$dest/Minecraft.ttf"
/usr/bin/python3 "$here/distinct-digits.py" "$dest/Minecraft.ttf"
cp "$work/package/LICENSE_FONT" "$dest/OFL.txt"
cat > "$dest/PROVENANCE.txt" <<TXT
Minecraft.ttf is Kiwano Pixel, a modified version of Pixelify Sans Regular: its digits 0, 1, 2,
3, 5 and its B are redrawn so that no digit reads as a letter, and its family is renamed.
Copyright 2021 The Pixelify Sans Project Authors; licensed under the SIL Open Font License 1.1
(OFL.txt beside this file). Taken from the npm package $package and changed by
scripts/import-font.sh and scripts/distinct-digits.py.
TXT
echo "Font written to $dest"
