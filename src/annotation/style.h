// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/textfont.h"

#include <QColor>
#include <QString>

#include <optional>

// How a blur layer hides what it covers. A pixellation keeps the average of each block; the
// redactions keep nothing of the image: noise blocks drawn from the system's secure random source,
// or a solid black fill.
enum class BlurMode { pixelate, noise, solid };

// The name a blur mode is stored under, and back; nothing for an unknown name.
QString rawValue(BlurMode mode);
std::optional<BlurMode> blurModeFromRaw(const QString &raw);

// The visual attributes of one layer. Lengths are image pixels; dim, markSize and opacity are
// fractions from 0 to 1.
struct Style
{
    // Stroke of pen, highlighter, arrow and box outline; arrow head and text fill.
    QColor color = defaultColor();
    // Line width of pen, arrow and box; the highlighter is four times as wide; stamp size factor.
    qreal width = 8;
    TextFont font = TextFont::system;
    qreal fontSize = 56;
    // Text outline thickness as a percentage of fontSize.
    qreal outlineWidth = 3;
    QColor outlineColor = QColor::fromRgbF(1, 1, 1);
    // Opacity of the black veil a focus layer lays outside its rectangle.
    qreal dim = 0.6;
    // Fill of a box; none leaves the box unfilled.
    std::optional<QColor> fillColor;
    qreal cornerRadius = 8;
    // Pixel-block size of a blur layer.
    qreal blurBlock = 16;
    BlurMode blurMode = BlurMode::pixelate;
    // Watermark width as a fraction of its reference width.
    qreal markSize = 0.3;
    // Opacity of watermark and picture layers.
    qreal opacity = 0.9;

    // The first colour of the application palette.
    static QColor defaultColor();

    // Colours compare by their sRGB values, whatever colour model they were made in.
    friend bool operator==(const Style &a, const Style &b);
};

// True when both colours have the same sRGB components; two invalid colours are the same.
bool sameColor(const QColor &a, const QColor &b);
