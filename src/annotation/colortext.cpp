// SPDX-License-Identifier: MIT
#include "annotation/colortext.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

QString pair(float component)
{
    const double scaled = std::isfinite(component) ? std::round(double(component) * 255) : 0;
    // Wide-gamut components beyond 0..1 print as the nearest of 00 and FF.
    return QString::asprintf("%02X", int(std::clamp(scaled, 0.0, 255.0)));
}

bool isBlank(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The numbers among the pieces between commas and spaces; pieces that are no number are skipped.
QList<double> numbers(const QString &text)
{
    QList<double> found;
    const QStringList pieces = QString(text).replace(QLatin1Char(','), QLatin1Char(' '))
                                   .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &piece : pieces) {
        if (std::any_of(piece.begin(), piece.end(), [](QChar c) { return c.isSpace(); }))
            continue;
        bool ok = false;
        const double value = piece.toDouble(&ok);
        if (ok)
            found.append(value);
    }
    return found;
}

std::optional<QColor> fromComponents(const QList<double> &values)
{
    if (values.size() != 3 && values.size() != 4)
        return std::nullopt;
    for (double v : values) {
        if (!(v >= 0 && v <= 255))
            return std::nullopt;
    }
    const double alpha = values.size() == 4 ? values[3] / 255 : 1;
    return QColor::fromRgbF(float(values[0] / 255), float(values[1] / 255), float(values[2] / 255),
                            float(alpha));
}

std::optional<QColor> fromHex(QString hex)
{
    if (hex.startsWith(QLatin1Char('#')))
        hex.remove(0, 1);
    if (hex.size() == 3) {
        QString doubled;
        for (QChar c : hex)
            doubled += QString(2, c);
        hex = doubled;
    }
    if (hex.size() != 6 && hex.size() != 8)
        return std::nullopt;
    // Only digits: toUInt would also take a sign or surrounding blanks.
    const bool digitsOnly = std::all_of(hex.begin(), hex.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            || (c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F'));
    });
    bool ok = false;
    quint32 value = hex.toUInt(&ok, 16);
    if (!digitsOnly || !ok)
        return std::nullopt;
    if (hex.size() == 6)
        value = value * 256 + 255;
    return QColor::fromRgbF(float((value >> 24) & 0xFF) / 255, float((value >> 16) & 0xFF) / 255,
                            float((value >> 8) & 0xFF) / 255, float(value & 0xFF) / 255);
}

} // namespace

QString hexString(const QColor &color)
{
    const QColor srgb = color.spec() == QColor::ExtendedRgb ? color : color.toRgb();
    QString text = QLatin1Char('#') + pair(srgb.redF()) + pair(srgb.greenF()) + pair(srgb.blueF());
    if (srgb.alphaF() < 1)
        text += pair(srgb.alphaF());
    return text;
}

std::optional<QColor> colorFromUserInput(const QString &text)
{
    const QString input = trimmed(text);
    if (const std::optional<QColor> color = fromComponents(numbers(input)))
        return color;
    return fromHex(input);
}
