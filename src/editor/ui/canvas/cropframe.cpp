// SPDX-License-Identifier: MIT
#include "editor/ui/canvas/cropframe.h"

#include "look/kiwano.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace CropFrame {

qreal gripLength(const QRectF &crop)
{
    const QRectF r = crop.normalized().adjusted(5, 5, -5, -5);
    return std::max(0.0, std::min({r.width() / 3, r.height() / 3, 18.0}));
}

namespace {

QPainterPath grips(const QRectF &c)
{
    const QRectF r = c.adjusted(5, 5, -5, -5);
    const qreal l = gripLength(c);
    QPainterPath path;
    // Corner brackets: the corner first, so that the miter join makes a crisp outside corner.
    const auto bracket = [&](QPointF corner, qreal dx, qreal dy) {
        path.moveTo(corner + QPointF(0, dy * l));
        path.lineTo(corner);
        path.lineTo(corner + QPointF(dx * l, 0));
    };
    bracket(r.topLeft(), 1, 1);
    bracket(r.topRight(), -1, 1);
    bracket(r.bottomLeft(), 1, -1);
    bracket(r.bottomRight(), -1, -1);
    const QPointF centre = r.center();
    path.moveTo(centre.x() - l / 2, r.top());
    path.lineTo(centre.x() + l / 2, r.top());
    path.moveTo(centre.x() - l / 2, r.bottom());
    path.lineTo(centre.x() + l / 2, r.bottom());
    path.moveTo(r.left(), centre.y() - l / 2);
    path.lineTo(r.left(), centre.y() + l / 2);
    path.moveTo(r.right(), centre.y() - l / 2);
    path.lineTo(r.right(), centre.y() + l / 2);
    return path;
}

} // namespace

void draw(QPainter &painter, const QRectF &crop, qreal scale, const QSizeF &imageSize)
{
    const QRectF c(crop.normalized().topLeft() * scale, crop.normalized().size() * scale);
    const QRectF f(QPointF(0, 0), imageSize * scale);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath outside;
    outside.setFillRule(Qt::OddEvenFill);
    outside.addRect(f);
    outside.addRect(c);
    painter.fillPath(outside, QColor(0, 0, 0, int(std::lround(0.55 * 255))));

    QColor guide(Qt::white);
    guide.setAlphaF(0.35f);
    painter.setPen(QPen(guide, 1));
    for (int i = 1; i <= 2; ++i) {
        const qreal x = c.left() + i * c.width() / 3;
        const qreal y = c.top() + i * c.height() / 3;
        painter.drawLine(QPointF(x, c.top()), QPointF(x, c.bottom()));
        painter.drawLine(QPointF(c.left(), y), QPointF(c.right(), y));
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Kiwano::yellow, 2));
    painter.drawRect(c);

    const QPainterPath path = grips(c);
    painter.strokePath(path, QPen(Kiwano::peel, 8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.strokePath(path, QPen(Kiwano::yellow, 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.restore();
}

QString sizeText(const QRectF &crop)
{
    const QRectF r = crop.normalized();
    const auto whole = [](qreal v) { return QString::number(qint64(std::floor(v))); };
    return whole(r.width()) + QStringLiteral(" × ") + whole(r.height());
}

} // namespace CropFrame
