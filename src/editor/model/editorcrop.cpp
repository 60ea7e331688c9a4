// SPDX-License-Identifier: MIT
// The operations that replace the base image itself: crop, resize and flatten.
#include "editor/model/editormodel.h"

#include "annotation/geometry.h"
#include "annotation/renderer.h"
#include "image/bitmap.h"

#include <cmath>

namespace {

constexpr qreal edgeReachPoints = 10;
constexpr qreal minimumCropWhileDragging = 16;
constexpr qreal minimumCropAtEnd = 8;
constexpr qint64 largestSide = Bitmap::largestSide;

bool insideHalfOpen(const QRectF &r, QPointF p)
{
    return p.x() >= r.left() && p.x() < r.right() && p.y() >= r.top() && p.y() < r.bottom();
}

} // namespace

CropGrab EditorModel::cropGrab(QPointF p) const
{
    if (!m_cropRect)
        return CropGrab::drawing();
    const QRectF r = *m_cropRect;
    const qreal t = edgeReachPoints / m_viewScale;
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

void EditorModel::dragCrop(QPointF s, QPointF c, bool first)
{
    if (first && m_cropRect)
        m_cropDrag = CropDrag{cropGrab(s), *m_cropRect};
    if (!m_cropDrag)
        return;

    const QRectF o = m_cropDrag->original;
    const qreal dx = c.x() - s.x();
    const qreal dy = c.y() - s.y();
    const qreal W = imageSize().width();
    const qreal H = imageSize().height();

    switch (m_cropDrag->grab.kind) {
    case CropGrab::move: {
        const qreal x = std::max(std::min(o.left() + dx, W - o.width()), 0.0);
        const qreal y = std::max(std::min(o.top() + dy, H - o.height()), 0.0);
        setCropRect(QRectF(x, y, o.width(), o.height()));
        break;
    }
    case CropGrab::newRect:
        setCropRect(rectFrom(s, c).intersected(fullRect()));
        break;
    case CropGrab::resize: {
        const CropEdges edges = m_cropDrag->grab.edges;
        qreal minX = o.left(), maxX = o.right(), minY = o.top(), maxY = o.bottom();
        if (edges & CropEdge::left)
            minX = std::max(std::min(o.left() + dx, maxX - minimumCropWhileDragging), 0.0);
        if (edges & CropEdge::right)
            maxX = std::min(std::max(o.right() + dx, minX + minimumCropWhileDragging), W);
        if (edges & CropEdge::top)
            minY = std::max(std::min(o.top() + dy, maxY - minimumCropWhileDragging), 0.0);
        if (edges & CropEdge::bottom)
            maxY = std::min(std::max(o.bottom() + dy, minY + minimumCropWhileDragging), H);
        setCropRect(QRectF(QPointF(minX, minY), QPointF(maxX, maxY)));
        break;
    }
    }
}

void EditorModel::endCropDrag()
{
    if (!m_cropDrag || !m_cropRect)
        return;
    if (m_cropRect->width() < minimumCropAtEnd || m_cropRect->height() < minimumCropAtEnd)
        setCropRect(m_cropDrag->original);
}

void EditorModel::applyCrop()
{
    if (m_cropRect) {
        const QRectF area = m_cropRect->intersected(fullRect());
        const QRect r(QPoint(int(std::floor(area.left())), int(std::floor(area.top()))),
                      QPoint(int(std::ceil(area.right())) - 1, int(std::ceil(area.bottom())) - 1));
        if (!area.isEmpty() && r != m_base.rect()) {
            const QImage cut = m_base.copy(r);
            if (!cut.isNull()) {
                pushUndo();
                setBase(cut);
                QList<Annotation> layers;
                layers.reserve(m_annotations.size());
                for (const Annotation &layer : m_annotations)
                    layers.append(layer.translated(-r.left(), -r.top()));
                setAnnotations(layers);
            }
        }
    }
    setTool(m_toolBeforeCrop);
}

void EditorModel::cancelCrop()
{
    setTool(m_toolBeforeCrop);
}

void EditorModel::resize(QSizeF size)
{
    if (!qIsFinite(size.width()) || !qIsFinite(size.height()))
        return;
    // Halves round away from zero; llround does exactly that.
    const qint64 w = std::llround(std::clamp(size.width(), -1.0, double(largestSide) + 1));
    const qint64 h = std::llround(std::clamp(size.height(), -1.0, double(largestSide) + 1));
    if (w <= 0 || h <= 0 || w > largestSide || h > largestSide)
        return;
    if (QSize(int(w), int(h)) == m_base.size())
        return;

    QImage scaled = m_base.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull())
        return;
    if (scaled.format() != QImage::Format_ARGB32_Premultiplied)
        scaled.convertTo(QImage::Format_ARGB32_Premultiplied);

    pushUndo();
    const QSizeF old = imageSize();
    setBase(scaled);
    const qreal sx = qreal(w) / old.width();
    const qreal sy = qreal(h) / old.height();
    QList<Annotation> layers;
    layers.reserve(m_annotations.size());
    for (const Annotation &layer : m_annotations)
        layers.append(layer.scaled(sx, sy));
    setAnnotations(layers);
    showToast(tr("Resized to %1 \u00d7 %2").arg(w).arg(h));
}

QImage EditorModel::flatten() const
{
    return Renderer::composite(m_base, m_annotations, *m_pixels);
}

void EditorModel::flattenLayers()
{
    if (m_annotations.isEmpty())
        return;
    const QImage composite = flatten();
    if (composite.isNull())
        return;
    pushUndo();
    setBase(composite);
    setAnnotations({});
    setSelectedID(std::nullopt);
}
