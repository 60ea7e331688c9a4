// SPDX-License-Identifier: MIT
#include "editor/model/croparea.h"

#include "annotation/geometry.h"

#include <cmath>

namespace {

constexpr qreal edgeReachPoints = 10;
constexpr qreal minimumCropWhileDragging = 16;
constexpr qreal minimumCropAtEnd = 8;

bool insideHalfOpen(const QRectF &r, QPointF p)
{
    return p.x() >= r.left() && p.x() < r.right() && p.y() >= r.top() && p.y() < r.bottom();
}

} // namespace

void CropArea::setRect(std::optional<QRectF> rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    emit rectChanged();
}

CropGrab CropArea::grab(QPointF p, qreal viewScale) const
{
    if (!m_rect)
        return CropGrab::drawing();
    const QRectF r = *m_rect;
    const qreal t = edgeReachPoints / viewScale;
    const bool inVerticalSpan = r.top() - t <= p.y() && p.y() <= r.bottom() + t;
    const bool inHorizontalSpan = r.left() - t <= p.x() && p.x() <= r.right() + t;

    CropEdges edges;
    if (inVerticalSpan && std::abs(p.x() - r.left()) <= t)
        edges |= CropEdge::left;
    if (inVerticalSpan && std::abs(p.x() - r.right()) <= t)
        edges |= CropEdge::right;
    if (inHorizontalSpan && std::abs(p.y() - r.top()) <= t)
        edges |= CropEdge::top;
    if (inHorizontalSpan && std::abs(p.y() - r.bottom()) <= t)
        edges |= CropEdge::bottom;

    if (edges)
        return CropGrab::resizing(edges);
    return insideHalfOpen(r, p) ? CropGrab::moving() : CropGrab::drawing();
}

void CropArea::drag(QPointF s, QPointF c, bool first, QSizeF image, qreal viewScale)
{
    if (first && m_rect)
        m_drag = Drag{grab(s, viewScale), *m_rect};
    if (!m_drag)
        return;

    const QRectF o = m_drag->original;
    const qreal dx = c.x() - s.x();
    const qreal dy = c.y() - s.y();
    const qreal W = image.width();
    const qreal H = image.height();

    switch (m_drag->grab.kind) {
    case CropGrab::move: {
        const qreal x = std::max(std::min(o.left() + dx, W - o.width()), 0.0);
        const qreal y = std::max(std::min(o.top() + dy, H - o.height()), 0.0);
        setRect(QRectF(x, y, o.width(), o.height()));
        break;
    }
    case CropGrab::newRect:
        setRect(rectFrom(s, c).intersected(QRectF(QPointF(0, 0), image)));
        break;
    case CropGrab::resize: {
        const CropEdges edges = m_drag->grab.edges;
        qreal minX = o.left(), maxX = o.right(), minY = o.top(), maxY = o.bottom();
        if (edges & CropEdge::left)
            minX = std::max(std::min(o.left() + dx, maxX - minimumCropWhileDragging), 0.0);
        if (edges & CropEdge::right)
            maxX = std::min(std::max(o.right() + dx, minX + minimumCropWhileDragging), W);
        if (edges & CropEdge::top)
            minY = std::max(std::min(o.top() + dy, maxY - minimumCropWhileDragging), 0.0);
        if (edges & CropEdge::bottom)
            maxY = std::min(std::max(o.bottom() + dy, minY + minimumCropWhileDragging), H);
        setRect(QRectF(QPointF(minX, minY), QPointF(maxX, maxY)));
        break;
    }
    }
}

void CropArea::endDrag()
{
    const std::optional<Drag> drag = std::exchange(m_drag, std::nullopt);
    if (!drag || !m_rect)
        return;
    if (m_rect->width() < minimumCropAtEnd || m_rect->height() < minimumCropAtEnd)
        setRect(drag->original);
}
