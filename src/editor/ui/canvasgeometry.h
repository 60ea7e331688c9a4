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

// Zoom is counted in image pixels per device pixel: 1 shows each image pixel on one device pixel,
// as the fitted image at most does. The steps Ctrl+= and Ctrl+- go through, smallest first.
inline constexpr qreal zoomSteps[] = {0.25, 0.5, 1, 2, 4, 8};
// The next step above zoom, or the largest step when none is.
qreal zoomIn(qreal zoom);
// The next step below zoom, or zoom itself when none is (a huge image fitted below every step).
qreal zoomOut(qreal zoom);
// View points per image pixel at zoom on a screen of pixelScale device pixels per point.
qreal zoomScale(qreal zoom, qreal pixelScale);

// Where a canvas of length size starts on one axis of a view whose space starts at margin and is
// space long: centred when it fits, else moved back by offset, which is kept within the part
// that does not fit. Returns the start and the offset as kept.
struct Placement
{
    qreal start = 0;
    qreal offset = 0;
};
Placement place(qreal size, qreal space, qreal margin, qreal offset);
// The offset that keeps the image point under anchor where it is when the canvas, now starting
// at start with oldScale, is shown at newScale; both on one axis and before place() keeps it in.
qreal anchoredOffset(qreal anchor, qreal start, qreal oldScale, qreal newScale, qreal margin);

} // namespace CanvasGeometry
