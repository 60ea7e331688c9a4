// SPDX-License-Identifier: MIT
#include "editor/ui/sizetext.h"

#include "image/bitmap.h"

#include <QRegularExpression>

#include <cmath>

namespace SizeText {

namespace {
// The panel offers exactly what the editor can flatten and save.
constexpr double largest = Bitmap::largestSide;
} // namespace

std::optional<double> parse(const QString &text)
{
    // QString::toDouble also takes exponents, "inf" and "nan"; a typed size is digits only.
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfAway(double value)
{
    return std::round(value);
}

QString whole(double value)
{
    return QString::number(roundHalfAway(value), 'f', 0);
}

QString lockedOther(double typed, double aspect, bool dividing)
{
    const double other = dividing ? typed / aspect : aspect * typed;
    if (!std::isfinite(other))
        return QStringLiteral("1");
    return whole(std::max(1.0, roundHalfAway(other)));
}

std::optional<QSizeF> requestedSize(const QString &width, const QString &height)
{
    const std::optional<double> w = parse(width);
    const std::optional<double> h = parse(height);
    const auto inRange = [](double v) { return v >= 1 && v <= largest; };
    if (!w || !h || !inRange(*w) || !inRange(*h))
        return std::nullopt;
    return QSizeF(*w, *h);
}

} // namespace SizeText
