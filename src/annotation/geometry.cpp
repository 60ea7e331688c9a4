// SPDX-License-Identifier: MIT
#include "annotation/geometry.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

QRectF enclosing(const QList<QPointF> &points)
{
    if (points.isEmpty())
        return QRectF();
    qreal minX = points.first().x();
    qreal maxX = minX;
    qreal minY = points.first().y();
    qreal maxY = minY;
    for (const QPointF &p : points) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    return QRectF(minX, minY, maxX - minX, maxY - minY);
}

QRectF rectFrom(QPointF from, QPointF to)
{
    return QRectF(std::min(from.x(), to.x()), std::min(from.y(), to.y()),
                  std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
}

QRectF normalizedRect(const QRectF &r)
{
    return rectFrom(r.topLeft(), QPointF(r.x() + r.width(), r.y() + r.height()));
}

qreal segmentDistance(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const qreal lengthSquared = QPointF::dotProduct(d, d);
    QPointF nearest = a;
    if (lengthSquared != 0) {
        const qreal s = std::clamp(QPointF::dotProduct(p - a, d) / lengthSquared, 0.0, 1.0);
        nearest = a + s * d;
    }
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

qreal polylineDistance(QPointF p, const QList<QPointF> &points)
{
    if (points.isEmpty())
        return std::numeric_limits<qreal>::infinity();
    if (points.size() == 1)
        return std::hypot(p.x() - points.first().x(), p.y() - points.first().y());
    qreal best = std::numeric_limits<qreal>::infinity();
    for (qsizetype i = 1; i < points.size(); ++i)
        best = std::min(best, segmentDistance(p, points[i - 1], points[i]));
    return best;
}
