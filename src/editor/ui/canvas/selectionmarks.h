// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

class QPainter;

// What the canvas draws around the selected layer, in view points.
namespace SelectionMarks {

// The dashed outline around bounds and a square handle on each of handles (all in view points).
void draw(QPainter &painter, const QRectF &bounds, const QList<QPointF> &handles);
// Everything draw() may touch for those bounds (handles lie on them or inside).
QRectF extent(const QRectF &bounds);

} // namespace SelectionMarks
