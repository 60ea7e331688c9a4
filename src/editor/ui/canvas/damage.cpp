// SPDX-License-Identifier: MIT
#include "editor/ui/canvas/damage.h"

#include <algorithm>
#include <cmath>

namespace Damage {

namespace {

// The pixels a grown pen or highlighter stroke adds: from its former last point on. Nothing when
// after is not before with points appended.
std::optional<Annotation> appendedTail(const Annotation &before, const Annotation &after)
{
    if (before.id != after.id || before.style != after.style)
        return std::nullopt;
    const auto tail = [&](const QList<QPointF> &old, const QList<QPointF> &now)
        -> std::optional<QList<QPointF>> {
        if (old.isEmpty() || now.size() < old.size() || now[old.size() - 1] != old.last())
            return std::nullopt;
        return now.mid(old.size() - 1);
    };
    if (const auto *a = std::get_if<Shapes::Pen>(&before.shape))
        if (const auto *b = std::get_if<Shapes::Pen>(&after.shape))
            if (const auto points = tail(a->points, b->points))
                return Annotation(Shapes::Pen{*points}, after.style, after.id);
    if (const auto *a = std::get_if<Shapes::Highlighter>(&before.shape))
        if (const auto *b = std::get_if<Shapes::Highlighter>(&after.shape))
            if (const auto points = tail(a->points, b->points))
                return Annotation(Shapes::Highlighter{*points}, after.style, after.id);
    return std::nullopt;
}

} // namespace

QRectF ofLayer(const Annotation &layer, const QRectF &imageRect)
{
    if (std::holds_alternative<Shapes::Focus>(layer.shape))
        return imageRect;
    const Style &style = layer.style;
    qreal reach = 2;
    if (std::isfinite(style.width))
        reach += std::max(0.0, style.width);
    if (std::holds_alternative<Shapes::Text>(layer.shape) && std::isfinite(style.fontSize)
        && std::isfinite(style.outlineWidth))
        reach += std::max(0.0, style.fontSize * style.outlineWidth / 100);
    return layer.bounds().normalized().adjusted(-reach, -reach, reach, reach);
}

QRectF ofDraft(const std::optional<Annotation> &before, const std::optional<Annotation> &after,
               const QRectF &imageRect)
{
    if (before && after)
        if (const auto tail = appendedTail(*before, *after))
            return ofLayer(*tail, imageRect);
    QRectF extent;
    if (before)
        extent |= ofLayer(*before, imageRect);
    if (after)
        extent |= ofLayer(*after, imageRect);
    return extent;
}

} // namespace Damage
