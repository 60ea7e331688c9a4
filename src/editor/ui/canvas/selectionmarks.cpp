// SPDX-License-Identifier: MIT
#include "editor/ui/canvas/selectionmarks.h"

#include "look/kiwano.h"

#include <QPainter>


namespace SelectionMarks {

namespace {

constexpr qreal outlineGap = 4;
constexpr qreal handleSize = 12;

} // namespace

void draw(QPainter &painter, const QRectF &bounds, const QList<QPointF> &handles)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const QRectF outline = bounds.adjusted(-outlineGap, -outlineGap, outlineGap, outlineGap);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(outline);
    QPen dashed(Kiwano::peel, 2, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    // Dash lengths are in units of the pen width.
    dashed.setDashPattern({2, 2});
    painter.setPen(dashed);
    painter.drawRect(outline);
    painter.setPen(QPen(Kiwano::peel, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Kiwano::yellow);
    for (const QPointF handle : handles) {
        painter.drawRect(QRectF(handle - QPointF(handleSize / 2, handleSize / 2),
                                QSizeF(handleSize, handleSize)));
    }
    painter.restore();
}

QRectF extent(const QRectF &bounds)
{
    // The outline's outer edge lies 6 out, a handle's 7; one more for smoothing.
    const qreal m = handleSize / 2 + 2;
    return bounds.adjusted(-m - 2, -m - 2, m + 2, m + 2);
}

} // namespace SelectionMarks
