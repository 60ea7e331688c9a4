// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QString>

#include <optional>

// "#RRGGBB" of the colour's sRGB components, upper case, with "AA" appended when not opaque.
QString hexString(const QColor &color);
// The colour a user typed: "255, 128, 0" or "255 128 0 [alpha]" with components 0 to 255, or hex
// "#F80", "FF8000", "#FF800080"; nothing for anything else.
std::optional<QColor> colorFromUserInput(const QString &text);
