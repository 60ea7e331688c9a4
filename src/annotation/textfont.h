// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include <optional>

// The font families a text layer can use.
enum class TextFont {
    system,
    rounded,
    serif,
    mono,
    pixel,
    marker,
    chalk,
};

// The stable name of a font family ("system"), as stored in saved styles.
QString rawValue(TextFont font);
// The text shown in the font menu ("Sans" for system).
QString label(TextFont font);

// The family at a size in image pixels. Sizes are pixel sizes (QFont::setPixelSize, rounded to a
// whole pixel, at least 1) so that measuring and drawing agree on every paint device whatever its
// resolution. A family whose face is not installed stands in as the bold system font.
QFont font(TextFont font, qreal pixelSize);

namespace TextFonts {

// Every family in declaration order.
const QList<TextFont> &allCases();
// The family whose raw value is exactly raw; nothing for any other string.
std::optional<TextFont> fromRaw(const QString &raw);

} // namespace TextFonts
