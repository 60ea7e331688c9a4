// SPDX-License-Identifier: MIT
#pragma once

#include <QRectF>

struct Annotation;
class QPainter;

// What the canvas draws around the selected layer, in view points.
namespace SelectionMarks {

// The dashed outline around bounds (already in view points), and the four corner handles when
// withHandles.
void draw(QPainter &painter, const QRectF &bounds, bool withHandles);
// Everything draw() may touch for those bounds.
QRectF extent(const QRectF &bounds);

// The part of the image, in image pixels, where drawing the layer may change pixels: its bounds
// with room for outlines and smoothing. A focus veil reaches the whole image.
QRectF paintExtent(const Annotation &layer, const QRectF &imageRect);

} // namespace SelectionMarks
