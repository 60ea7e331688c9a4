// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

struct Annotation;
struct Style;

// How a text or stamp layer's glyphs are set: shared by the bounds of those layers and by the
// renderer, so the two agree.
struct TextAttributes
{
    QFont font;
    QColor fill;
    QColor outline;
    // Thickness of the outline in image pixels, centred on the glyph contours; 0 for none.
    qreal outlineWidth = 0;
};

// The text attributes of a style: its font at fontSize, fill color, outline outlineColor at
// outlineWidth percent of fontSize.
TextAttributes textAttributes(const Style &style);
// The font of a stamp: the colour emoji face at 14 x style.width pixels; no fill, no outline.
TextAttributes stampAttributes(const Annotation &annotation);

// The stamp's glyph: the kiwi emoji.
QString stampGlyph();
// Where the stamp's glyph leaves ink when drawn with those attributes from the left end of its
// baseline at the origin. A colour emoji's picture sits anywhere in its layout box, so the stamp
// is placed by its ink; the layout box when the glyph draws nothing.
QRectF stampInk(const TextAttributes &attributes);

// The lines of a text: it breaks only at line breaks (\n, \r\n, \r, U+2028), never wraps.
QStringList textLines(const QString &text);
// The size a text occupies with those attributes: the widest line's advance by the lines' height.
// An empty text is one empty line: no width, one line high.
QSizeF measuredSize(const QString &text, const TextAttributes &attributes);
// The glyph outlines of the text laid out like measuredSize with its layout box's top-left corner
// at topLeft (y grows downwards). Colour bitmap glyphs such as emoji have no outlines.
QPainterPath textPath(const QString &text, const TextAttributes &attributes, QPointF topLeft);
