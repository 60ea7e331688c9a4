// SPDX-License-Identifier: MIT
#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

// The crop overlay: the picture outside the crop dimmed, thirds guides, the frame and its grips.
namespace CropFrame {

// The length of each grip arm for a crop rectangle in view points: a third of the rectangle shrunk
// by 5 on every side, at most 18, so grips never overlap on a narrow crop.
qreal gripLength(const QRectF &crop);
// Draws the overlay for crop, given in image pixels, over an image of imageSize pixels shown at
// scale view points per pixel. The painter is in view points.
void draw(QPainter &painter, const QRectF &crop, qreal scale, const QSizeF &imageSize);
// "640 × 480": the crop's size in whole pixels, fractions dropped.
QString sizeText(const QRectF &crop);

} // namespace CropFrame
