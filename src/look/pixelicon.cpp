// SPDX-License-Identifier: MIT
#include "look/pixel.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace Pixel {

namespace {

// Far beyond any icon a view shows; keeps a bogus size from allocating and caching gigabytes.
constexpr qreal largestSize = 4096;

QHash<QString, QImage> &cache()
{
    static QHash<QString, QImage> images;
    return images;
}

// Whole sizes keep one decimal place ("18.0"); others keep every digit that tells them apart.
QString cacheKey(const QString &name, qreal size)
{
    const QString number = size == std::floor(size)
        ? QString::number(size, 'f', 1)
        : QString::number(size, 'g', QLocale::FloatingPointShortest);
    return name + QLatin1Char('@') + number;
}

// The SVG renderer antialiases whatever the painter asks for, so rendering straight at 18 pixels
// would blur a 24-pixel grid. The icons are drawn on whole pixels: rendering at a whole multiple
// of their grid is exact, and nearest-neighbour scaling from there keeps the hard edges.
QImage render(QSvgRenderer &renderer, int pixels)
{
    QSize grid = renderer.defaultSize();
    if (grid.isEmpty())
        grid = QSize(pixels, pixels);
    const int scale = qMax(1, static_cast<int>(std::ceil(qreal(pixels) / qMax(grid.width(), grid.height()))));
    QImage canvas(grid * scale, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return {};
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    renderer.render(&painter, QRectF(QPointF(0, 0), canvas.size()));
    painter.end();
    if (canvas.size() == QSize(pixels, pixels))
        return canvas;
    return canvas.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace

std::optional<QImage> image(const QString &name, qreal size)
{
    // A name is one file of the icon folder, never a path that climbs out of it.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return std::nullopt;
    if (!std::isfinite(size) || size <= 0 || size > largestSize)
        return std::nullopt;
    const QString key = cacheKey(name, size);
    const auto found = cache().constFind(key);
    if (found != cache().constEnd())
        return *found;

    QFile file(QStringLiteral(":/Icons/") + name + QStringLiteral(".svg"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QSvgRenderer renderer(file.readAll());
    if (!renderer.isValid())
        return std::nullopt;
    const QImage rendered = render(renderer, qMax(1, qRound(size)));
    if (rendered.isNull())
        return std::nullopt;
    cache().insert(key, rendered);
    return rendered;
}

QImage tinted(const QImage &mask, const QColor &color)
{
    if (mask.isNull())
        return {};
    QImage out = mask.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(out.rect(), color);
    return out;
}

qsizetype cachedImageCount()
{
    return cache().size();
}

} // namespace Pixel
