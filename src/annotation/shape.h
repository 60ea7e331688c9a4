// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <variant>

// The geometry of each kind of layer, in image pixels.
namespace Shapes {

// A freehand polyline.
struct Pen
{
    QList<QPointF> points;
    friend bool operator==(const Pen &, const Pen &) = default;
};

// A freehand polyline drawn as a broad translucent marker.
struct Highlighter
{
    QList<QPointF> points;
    friend bool operator==(const Highlighter &, const Highlighter &) = default;
};

// A straight arrow with its head at end.
struct Arrow
{
    QPointF start;
    QPointF end;
    friend bool operator==(const Arrow &, const Arrow &) = default;
};

// A box, outlined and optionally filled.
struct Rect
{
    QRectF rect;
    friend bool operator==(const Rect &, const Rect &) = default;
};

// Text whose layout box has its top-left corner at point.
struct Text
{
    QPointF point;
    QString string;
    friend bool operator==(const Text &, const Text &) = default;
};

// A pixellated region.
struct Blur
{
    QRectF rect;
    friend bool operator==(const Blur &, const Blur &) = default;
};

// The region left bright while the rest of the image is dimmed.
struct Focus
{
    QRectF rect;
    friend bool operator==(const Focus &, const Focus &) = default;
};

// The kiwi emoji centred on point.
struct Stamp
{
    QPointF point;
    friend bool operator==(const Stamp &, const Stamp &) = default;
};

// The mascot picture centred on point, style.markSize x refWidth wide.
struct Watermark
{
    QPointF point;
    qreal refWidth = 0;
    friend bool operator==(const Watermark &, const Watermark &) = default;
};

// A placed bitmap stretched over rect. QImage is implicitly shared, so copies stay cheap.
struct Picture
{
    QRectF rect;
    QImage image;
    friend bool operator==(const Picture &, const Picture &) = default;
};

} // namespace Shapes

// One case per kind of layer, in the order of the tools that make them.
using Shape = std::variant<Shapes::Pen, Shapes::Highlighter, Shapes::Arrow, Shapes::Rect,
                           Shapes::Text, Shapes::Blur, Shapes::Focus, Shapes::Stamp,
                           Shapes::Watermark, Shapes::Picture>;
