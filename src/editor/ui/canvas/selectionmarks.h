// SPDX-License-Identifier: MIT
#pragma once

#include <QRectF>

class QPainter;

// What the canvas draws around the selected layer, in view points.
namespace SelectionMarks {

// The dashed outline around bounds (already in view points), and the four corner handles when
// withHandles.
void draw(QPainter &painter, const QRectF &bounds, bool withHandles);
// Everything draw() may touch for those bounds.
QRectF extent(const QRectF &bounds);

} // namespace SelectionMarks
