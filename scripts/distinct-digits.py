#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Redraws the pixel font's digits (and B) so none can be taken for a letter.

Pixelify Sans draws 0 and O with the same glyph, and its 5, 2 and 8 differ from S, Z and B by a
pixel or two: at 11 px "553" reads "SS3". This replaces those glyphs with 5-by-7 pixel shapes on
the font's own grid and renames the family, since the result is no longer the original font (its
licence allows modified versions; the name is the original's trademark). Needs Debian's
python3-fonttools. Running it on a font it already changed gives the same font.

    scripts/distinct-digits.py resources/Fonts/Minecraft.ttf
"""
import sys

from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

# Pixel edges in font units, 1000/11 apart so that at 11 px and its multiples each cell covers
# whole screen pixels: columns from the font's 60-unit side bearing, seven rows up from its
# 12-unit overshoot below the baseline.
CELL = 1000 / 11
COLUMNS = [round(60 + CELL * i) for i in range(6)]
NARROW_COLUMNS = COLUMNS[:4]
ROWS = [round(-12 + CELL * (7 - i)) for i in range(8)]  # top row first

GLYPHS = {
    "zero": [".###.",
             "#...#",
             "#..##",
             "#.#.#",
             "##..#",
             "#...#",
             ".###."],
    "one": [".#.",
            "##.",
            ".#.",
            ".#.",
            ".#.",
            ".#.",
            "###"],
    "two": [".###.",
            "#...#",
            "....#",
            "...#.",
            "..#..",
            ".#...",
            "#####"],
    "three": [".###.",
              "#...#",
              "....#",
              "..##.",
              "....#",
              "#...#",
              ".###."],
    "five": ["#####",
             "#....",
             "####.",
             "....#",
             "....#",
             "#...#",
             ".###."],
    # B gets the flat back of the classic pixel B, so that 8 keeps its round one.
    "B": ["####.",
          "#...#",
          "#...#",
          "####.",
          "#...#",
          "#...#",
          "####."],
}

FAMILY = "Kiwano Pixel"


def draw(rows, columns):
    pen = TTGlyphPen(None)
    for r, line in enumerate(rows):
        c = 0
        while c < len(line):
            if line[c] != "#":
                c += 1
                continue
            start = c
            while c < len(line) and line[c] == "#":
                c += 1
            left, right = columns[start], columns[c]
            top, bottom = ROWS[r], ROWS[r + 1]
            # Clockwise, as TrueType wants outer contours.
            pen.moveTo((left, bottom))
            pen.lineTo((left, top))
            pen.lineTo((right, top))
            pen.lineTo((right, bottom))
            pen.closePath()
    return pen.glyph()


def main(path):
    font = TTFont(path)
    glyf = font["glyf"]
    for name, rows in GLYPHS.items():
        columns = NARROW_COLUMNS if len(rows[0]) == 3 else COLUMNS
        glyph = draw(rows, columns)
        glyph.recalcBounds(glyf)
        glyf[name] = glyph
        advance, _ = font["hmtx"][name]
        font["hmtx"][name] = (advance, glyph.xMin)

    names = font["name"]
    for record in names.names:
        if record.nameID in (1, 16):
            record.string = FAMILY
        elif record.nameID == 4:
            record.string = FAMILY + " Regular"
        elif record.nameID in (3, 6, 25):
            record.string = FAMILY.replace(" ", "") + ("" if record.nameID == 25 else "-Regular")
    font.save(path)


if __name__ == "__main__":
    main(sys.argv[1])
