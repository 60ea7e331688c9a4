// SPDX-License-Identifier: MIT
#include "editor/ui/canvasgeometry.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

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

} // namespace CanvasGeometry
