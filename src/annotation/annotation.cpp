// SPDX-License-Identifier: MIT
#include "annotation/annotation.h"

#include "annotation/geometry.h"
#include "annotation/textlayout.h"
#include "annotation/watermark.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

template<class... Fs>
struct Overloaded : Fs...
{
    using Fs::operator()...;
};

QRectF grown(const QRectF &r, qreal by)
{
    return r.adjusted(-by, -by, by, by);
}

// Minimum edges inclusive, maximum edges exclusive, so an empty rectangle holds no point.
bool holds(const QRectF &rect, QPointF p)
{
    const QRectF r = normalizedRect(rect);
    return p.x() >= r.left() && p.x() < r.right() && p.y() >= r.top() && p.y() < r.bottom();
}

QRectF scaledRect(const QRectF &rect, qreal sx, qreal sy)
{
    const QRectF r = normalizedRect(rect);
    return QRectF(sx * r.x(), sy * r.y(), sx * r.width(), sy * r.height());
}

QPointF scaledPoint(QPointF p, qreal sx, qreal sy)
{
    return QPointF(sx * p.x(), sy * p.y());
}

QList<QPointF> mapped(QList<QPointF> points, auto transform)
{
    for (QPointF &p : points)
        p = transform(p);
    return points;
}

qreal arrowHead(qreal width)
{
    return std::max(4 * width, 16.0);
}

// How far a box's bounds reach beyond its rectangle: half its outline, at least one pixel.
qreal boxMargin(qreal width)
{
    return width > 2 ? width / 2 : 1;
}

} // namespace

Annotation::Annotation(Shape shape, Style style, QUuid id)
    : id(id)
    , shape(std::move(shape))
    , style(std::move(style))
{
}

QRectF Annotation::bounds() const
{
    // Rectangles are normalised so that one dragged up or left still has a usable outline.
    const qreal w = style.width;
    return std::visit(
        Overloaded{
            [w](const Shapes::Pen &s) { return grown(enclosing(s.points), w / 2); },
            [w](const Shapes::Highlighter &s) { return grown(enclosing(s.points), 2 * w); },
            [w](const Shapes::Arrow &s) { return grown(rectFrom(s.start, s.end), arrowHead(w)); },
            [w](const Shapes::Rect &s) { return grown(normalizedRect(s.rect), boxMargin(w)); },
            [this](const Shapes::Text &s) {
                return QRectF(s.point, measuredSize(s.string, textAttributes(style)));
            },
            [](const Shapes::Blur &s) { return normalizedRect(s.rect); },
            [](const Shapes::Focus &s) { return normalizedRect(s.rect); },
            [this](const Shapes::Stamp &s) {
                const QSizeF size = stampInk(stampAttributes(*this)).size();
                return QRectF(s.point.x() - size.width() / 2, s.point.y() - size.height() / 2,
                              size.width(), size.height());
            },
            [this](const Shapes::Watermark &s) {
                const qreal mw = style.markSize * s.refWidth;
                const qreal mh = mw * Watermark::aspect();
                return QRectF(s.point.x() - mw / 2, s.point.y() - mh / 2, mw, mh);
            },
            [](const Shapes::Picture &s) { return normalizedRect(s.rect); },
        },
        shape);
}

bool Annotation::contains(QPointF point, qreal tolerance) const
{
    const qreal w = style.width;
    // A line lies inside the rectangle enclosing its points, so a pointer farther than the reach
    // from that rectangle misses without measuring every segment.
    const auto outOfReach = [point](const QRectF &enclosed, qreal reach) {
        return point.x() < enclosed.left() - reach || point.x() > enclosed.right() + reach
            || point.y() < enclosed.top() - reach || point.y() > enclosed.bottom() + reach;
    };
    if (const auto *arrow = std::get_if<Shapes::Arrow>(&shape))
        return segmentDistance(point, arrow->start, arrow->end) <= tolerance + w / 2;
    if (const auto *highlighter = std::get_if<Shapes::Highlighter>(&shape)) {
        const qreal reach = tolerance + 2 * w;
        return !outOfReach(enclosing(highlighter->points), reach)
            && polylineDistance(point, highlighter->points) <= reach;
    }
    if (const auto *pen = std::get_if<Shapes::Pen>(&shape)) {
        const qreal reach = tolerance + w / 2;
        return !outOfReach(enclosing(pen->points), reach)
            && polylineDistance(point, pen->points) <= reach;
    }
    return holds(grown(bounds(), tolerance), point);
}

Annotation Annotation::translated(qreal dx, qreal dy) const
{
    const QPointF d(dx, dy);
    const auto move = [d](QPointF p) { return p + d; };
    Annotation copy = *this;
    std::visit(Overloaded{
                   [&](Shapes::Pen &s) { s.points = mapped(s.points, move); },
                   [&](Shapes::Highlighter &s) { s.points = mapped(s.points, move); },
                   [&](Shapes::Arrow &s) {
                       s.start += d;
                       s.end += d;
                   },
                   [&](Shapes::Rect &s) { s.rect.translate(d); },
                   [&](Shapes::Text &s) { s.point += d; },
                   [&](Shapes::Blur &s) { s.rect.translate(d); },
                   [&](Shapes::Focus &s) { s.rect.translate(d); },
                   [&](Shapes::Stamp &s) { s.point += d; },
                   [&](Shapes::Watermark &s) { s.point += d; },
                   [&](Shapes::Picture &s) { s.rect.translate(d); },
               },
               copy.shape);
    return copy;
}

Annotation Annotation::scaled(qreal sx, qreal sy) const
{
    const auto scale = [sx, sy](QPointF p) { return scaledPoint(p, sx, sy); };
    Annotation copy = *this;
    std::visit(Overloaded{
                   [&](Shapes::Pen &s) { s.points = mapped(s.points, scale); },
                   [&](Shapes::Highlighter &s) { s.points = mapped(s.points, scale); },
                   [&](Shapes::Arrow &s) {
                       s.start = scale(s.start);
                       s.end = scale(s.end);
                   },
                   [&](Shapes::Rect &s) { s.rect = scaledRect(s.rect, sx, sy); },
                   [&](Shapes::Text &s) { s.point = scale(s.point); },
                   [&](Shapes::Blur &s) { s.rect = scaledRect(s.rect, sx, sy); },
                   [&](Shapes::Focus &s) { s.rect = scaledRect(s.rect, sx, sy); },
                   [&](Shapes::Stamp &s) { s.point = scale(s.point); },
                   [&](Shapes::Watermark &s) {
                       s.point = scale(s.point);
                       s.refWidth *= sx;
                   },
                   [&](Shapes::Picture &s) { s.rect = scaledRect(s.rect, sx, sy); },
               },
               copy.shape);
    const qreal s = std::sqrt(sx * sy);
    copy.style.width *= s;
    copy.style.fontSize *= s;
    copy.style.cornerRadius *= s;
    // A block under two pixels would no longer hide anything.
    copy.style.blurBlock = std::max(s * style.blurBlock, 2.0);
    return copy;
}

Annotation Annotation::resized(const QRectF &rect) const
{
    // A corner dragged past its opposite one gives a rectangle of negative size.
    const QRectF r = normalizedRect(rect);
    Annotation copy = *this;
    if (auto *mark = std::get_if<Shapes::Watermark>(&copy.shape)) {
        mark->point = r.center();
        // Without a reference width no mark size gives the wanted width; keep the size.
        if (mark->refWidth > 0)
            copy.style.markSize = r.width() / mark->refWidth;
    } else if (auto *picture = std::get_if<Shapes::Picture>(&copy.shape)) {
        picture->rect = r;
    } else if (auto *box = std::get_if<Shapes::Rect>(&copy.shape)) {
        const qreal m = std::min({boxMargin(style.width), r.width() / 2, r.height() / 2});
        box->rect = r.adjusted(m, m, -m, -m);
    } else if (auto *stamp = std::get_if<Shapes::Stamp>(&copy.shape)) {
        // The stamp's size follows its width; its glyph keeps its proportions, so the height
        // decides.
        const qreal height = bounds().height();
        stamp->point = r.center();
        if (height > 0 && r.height() > 0)
            copy.style.width = style.width * r.height() / height;
    }
    return copy;
}

QList<QPointF> Annotation::handles() const
{
    if (const auto *arrow = std::get_if<Shapes::Arrow>(&shape))
        return {arrow->start, arrow->end};
    if (!isResizable())
        return {};
    const QRectF b = bounds();
    return {b.topLeft(), b.topRight(), b.bottomLeft(), b.bottomRight()};
}

Annotation Annotation::reshaped(qsizetype handle, QPointF point, bool freeProportions) const
{
    if (const auto *arrow = std::get_if<Shapes::Arrow>(&shape)) {
        Annotation copy = *this;
        auto &ends = std::get<Shapes::Arrow>(copy.shape);
        if (handle == 0)
            ends.start = point;
        else if (handle == 1)
            ends.end = point;
        return copy;
    }
    const QList<QPointF> corners = handles();
    if (handle < 0 || handle >= corners.size())
        return *this;
    const QRectF b = bounds();
    const QPointF a = corners[corners.size() - 1 - handle];
    const QPointF k = corners[handle];
    const qreal sx = a.x() > k.x() ? -1 : 1;
    const qreal sy = a.y() > k.y() ? -1 : 1;
    qreal w = std::max((point.x() - a.x()) * sx, minimumSide);
    qreal h = std::max((point.y() - a.y()) * sy, minimumSide);

    const Tool kind = tool();
    const bool locked = kind == Tool::watermark || kind == Tool::stamp
        || (kind == Tool::picture && !freeProportions);
    // A layer without area has no proportions to keep.
    if (locked && b.width() > 0 && b.height() > 0) {
        const qreal r = b.width() / b.height();
        if (w / h <= r)
            w = h * r;
        else
            h = w / r;
    }
    return resized(QRectF(sx > 0 ? a.x() : a.x() - w, sy > 0 ? a.y() : a.y() - h, w, h));
}

QString Annotation::name() const
{
    if (const auto *text = std::get_if<Shapes::Text>(&shape))
        return QChar(0x201C) + text->string + QChar(0x201D);
    // A redaction says so in the layers list, where a plain blur would look the same.
    if (std::holds_alternative<Shapes::Blur>(shape) && style.blurMode != BlurMode::pixelate)
        return QCoreApplication::translate("Tool", "Redaction");
    return label(tool());
}

Tool Annotation::tool() const
{
    return std::visit(Overloaded{
                          [](const Shapes::Pen &) { return Tool::pen; },
                          [](const Shapes::Highlighter &) { return Tool::highlighter; },
                          [](const Shapes::Arrow &) { return Tool::arrow; },
                          [](const Shapes::Rect &) { return Tool::rect; },
                          [](const Shapes::Text &) { return Tool::text; },
                          [](const Shapes::Blur &) { return Tool::blur; },
                          [](const Shapes::Focus &) { return Tool::focus; },
                          [](const Shapes::Stamp &) { return Tool::stamp; },
                          [](const Shapes::Watermark &) { return Tool::watermark; },
                          [](const Shapes::Picture &) { return Tool::picture; },
                      },
                      shape);
}

bool Annotation::isResizable() const
{
    return std::holds_alternative<Shapes::Watermark>(shape)
        || std::holds_alternative<Shapes::Picture>(shape)
        || std::holds_alternative<Shapes::Rect>(shape)
        || std::holds_alternative<Shapes::Stamp>(shape);
}
