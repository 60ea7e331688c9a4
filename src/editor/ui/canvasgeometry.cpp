// SPDX-License-Identifier: MIT
#include "editor/ui/canvasgeometry.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace CanvasGeometry {

qreal scale(QSizeF image, QSizeF area, qreal pixelScale)
{
    const qreal limit = pixelScale > 0 && std::isfinite(pixelScale) ? 1 / pixelScale : 1;
    if (image.width() <= 0 || image.height() <= 0 || area.width() <= 0 || area.height() <= 0)
        return limit;
    const qreal fit = std::min(area.width() / image.width(), area.height() / image.height());
    return std::min(fit, limit);
}

QPointF centredOrigin(QSizeF area, QSizeF image, qreal scale)
{
    return {(area.width() - image.width() * scale) / 2, (area.height() - image.height() * scale) / 2};
}

QPointF imagePoint(QPointF point, QPointF origin, QSizeF image, qreal scale)
{
    if (scale <= 0)
        return {};
    const qreal x = (point.x() - origin.x()) / scale;
    const qreal y = (point.y() - origin.y()) / scale;
    return {std::clamp(x, 0.0, std::max(0.0, image.width())),
            std::clamp(y, 0.0, std::max(0.0, image.height()))};
}

qreal zoomIn(qreal zoom)
{
    for (const qreal step : zoomSteps) {
        if (step > zoom * (1 + 1e-9))
            return step;
    }
    return std::size(zoomSteps) ? zoomSteps[std::size(zoomSteps) - 1] : zoom;
}

qreal zoomOut(qreal zoom)
{
    for (auto step = std::rbegin(zoomSteps); step != std::rend(zoomSteps); ++step) {
        if (*step < zoom * (1 - 1e-9))
            return *step;
    }
    return zoom;
}

qreal zoomScale(qreal zoom, qreal pixelScale)
{
    return pixelScale > 0 && std::isfinite(pixelScale) ? zoom / pixelScale : zoom;
}

Placement place(qreal size, qreal space, qreal margin, qreal offset)
{
    if (size <= space)
        return {margin + std::floor((space - size) / 2), 0};
    const qreal kept = std::clamp(std::round(offset), 0.0, size - space);
    return {margin - kept, kept};
}

qreal anchoredOffset(qreal anchor, qreal start, qreal oldScale, qreal newScale, qreal margin)
{
    if (oldScale <= 0)
        return 0;
    const qreal image = (anchor - start) / oldScale;
    return margin - (anchor - image * newScale);
}

} // namespace CanvasGeometry
