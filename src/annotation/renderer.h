// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSize>

class PixelCache;
class QPainter;

// Draws layers. The canvas and the exported image share this code, so both show the same marks.
// Every painter given here is set up by its caller with the origin at the image's top-left
// corner, y downwards and one unit per image pixel (a view may scale that further).
namespace Renderer {

// Draws the layers in list order, later ones on top. Each layer's painter state is restored after
// it, so nothing leaks to the next layer or the caller. pixels is the cache of the base image of
// imageSize pixels, which blur layers show.
void draw(const QList<Annotation> &annotations, PixelCache &pixels, QSize imageSize,
          QPainter &painter);
// Draws image stretched into rect, upright.
void drawImage(const QImage &image, const QRectF &rect, QPainter &painter);
// Strokes the polyline with the painter's pen; a single point is a dot as wide as the pen, no
// points draw nothing.
void stroke(const QList<QPointF> &points, QPainter &painter);
// The length of an arrow head for a line width: max(4 × width, 16).
qreal arrowHead(qreal width);

// The base with every layer burnt in, premultiplied ARGB32 of the base's size; a null image when
// the base is null or no frame of its size can be made.
QImage composite(const QImage &base, const QList<Annotation> &annotations, PixelCache &pixels);

} // namespace Renderer
