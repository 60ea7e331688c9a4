// SPDX-License-Identifier: MIT
#pragma once

#include <QSizeF>
#include <QString>

#include <optional>

// The rules that turn typed sizes into numbers, shared by the resize panel and the layer size
// fields. Pure functions, so that they can be checked without a widget.
namespace SizeText {

// The number when the whole text is a plain decimal number ("12", "0.4", "-3", ".5"); nothing
// when there are spaces around it, letters, exponents or anything else.
std::optional<double> parse(const QString &text);
// To the nearest integer, halves away from zero.
double roundHalfAway(double value);
// A whole number as text, "167".
QString whole(double value);
// The other side of a ratio-locked pair, never below 1: for the height, pass the typed width and
// aspect = width / height, dividing; for the width, pass the typed height, not dividing.
QString lockedOther(double typed, double aspect, bool dividing);
// Both texts as a size when each is a number from 1 to 16000 inclusive, fractions kept.
std::optional<QSizeF> requestedSize(const QString &width, const QString &height);

} // namespace SizeText
