// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include <limits>

// The smallest rectangle holding every point; the zero rectangle at the origin when there are none.
QRectF enclosing(const QList<QPointF> &points);
// The rectangle spanned by two opposite corners, always with a non-negative size.
QRectF rectFrom(QPointF from, QPointF to);
// The rectangle with the same area as r but a non-negative size (r.normalized() keeps Qt's
// off-by-one conventions for integer rectangles; this does not).
QRectF normalizedRect(const QRectF &r);
// The distance from p to the segment a-b; the distance to a when the segment has no length.
qreal segmentDistance(QPointF p, QPointF a, QPointF b);
// The distance from p to the nearest segment of the polyline; to the point itself when there is
// only one; infinity when there are none.
qreal polylineDistance(QPointF p, const QList<QPointF> &points);
