// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <QSizeF>

// How the editor places the image in the space it has: the display scale and the mapping of a
// point of that space to the image under it.
namespace CanvasGeometry {

// View points per image pixel: the image shrunk to fit area, never larger than one image pixel
// per device pixel. 1 / pixelScale for an empty image or area, so nothing divides by zero.
qreal scale(QSizeF image, QSizeF area, qreal pixelScale);
// The image point under point of area, where the image is centred at scale; clamped to the image
// so that a point beside the image lands on its nearest edge or corner.
QPointF imagePoint(QPointF point, QSizeF area, QSizeF image, qreal scale);

} // namespace CanvasGeometry
