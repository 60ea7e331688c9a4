// SPDX-License-Identifier: MIT
#include "capture/grabplace.h"

#include <QRegularExpression>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace {

// Larger than any display made; keeps the arithmetic below far from overflow.
constexpr int largestSide = 1 << 16;

const char *const kindNames[] = {"region", "window", "screen"};

std::optional<GrabPlace::Kind> kindNamed(QStringView name)
{
    for (int i = 0; i < 3; ++i)
        if (name == QLatin1String(kindNames[i]))
            return GrabPlace::Kind(i);
    return std::nullopt;
}

bool sensible(const GrabPlace &place)
{
    const QSize &s = place.screen;
    return s.width() > 0 && s.height() > 0 && s.width() <= largestSide && s.height() <= largestSide
        && !place.rect.isEmpty() && QRect(QPoint(0, 0), s).contains(place.rect);
}

} // namespace

QString GrabPlace::toLine() const
{
    return QStringLiteral("place %1 %2,%3,%4,%5 %6x%7")
        .arg(QLatin1String(kindNames[int(kind)]))
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .arg(screen.width())
        .arg(screen.height());
}

std::optional<GrabPlace> GrabPlace::fromLine(QStringView line)
{
    static const QRegularExpression pattern(
        QStringLiteral("^place ([a-z]+) (\\d{1,5}),(\\d{1,5}),(\\d{1,5}),(\\d{1,5}) (\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(line.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    const auto kind = kindNamed(match.capturedView(1));
    if (!kind)
        return std::nullopt;
    const auto number = [&match](int i) { return match.capturedView(i).toInt(); };
    GrabPlace place;
    place.kind = *kind;
    place.rect = QRect(number(2), number(3), number(4), number(5));
    place.screen = QSize(number(6), number(7));
    if (!sensible(place))
        return std::nullopt;
    return place;
}

std::optional<GrabPlace> GrabPlace::lastIn(const QByteArray &output)
{
    std::optional<GrabPlace> last;
    for (const QByteArray &line : output.split('\n'))
        if (auto place = fromLine(QString::fromLatin1(line)))
            last = place;
    return last;
}

GrabPlace GrabPlace::onScreen(const QSize &size) const
{
    if (size == screen || size.isEmpty())
        return *this;
    const double sx = double(size.width()) / screen.width();
    const double sy = double(size.height()) / screen.height();
    const int left = int(std::lround(rect.x() * sx));
    const int top = int(std::lround(rect.y() * sy));
    const int width = std::max(1, int(std::lround(rect.width() * sx)));
    const int height = std::max(1, int(std::lround(rect.height() * sy)));
    GrabPlace scaled = *this;
    scaled.screen = size;
    // Rounding may push the far edge one pixel out.
    scaled.rect = QRect(std::min(left, size.width() - 1), std::min(top, size.height() - 1), width, height)
                      .intersected(QRect(QPoint(0, 0), size));
    return scaled;
}

std::optional<GrabPlace> GrabPlace::load(QSettings &settings)
{
    return fromLine(settings.value(QStringLiteral("LastGrab/place")).toString());
}

void GrabPlace::save(QSettings &settings) const
{
    settings.setValue(QStringLiteral("LastGrab/place"), toLine());
}
