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
// Where the top-left corner of the image lands when it is centred in area at scale.
QPointF centredOrigin(QSizeF area, QSizeF image, qreal scale);
// The image point under point, for an image drawn from origin at scale; clamped to the image so
// that a point beside it lands on its nearest edge or corner.
QPointF imagePoint(QPointF point, QPointF origin, QSizeF image, qreal scale);

} // namespace CanvasGeometry
