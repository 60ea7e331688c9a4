// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/shape.h"
#include "annotation/style.h"
#include "annotation/tool.h"

#include <QList>
#include <QRectF>
#include <QUuid>

// One layer of the editor: a plain value. Every operation returns a new value.
struct Annotation
{
    QUuid id = QUuid::createUuid();
    Shape shape;
    Style style;

    Annotation() = default;
    Annotation(Shape shape, Style style = {}, QUuid id = QUuid::createUuid());

    // The area the layer covers: for hit testing, selection outlines and corner handles.
    QRectF bounds() const;
    // True when a pointer at point, tolerance image pixels away at most, hits the layer.
    bool contains(QPointF point, qreal tolerance) const;
    // A copy moved by the offset; the style is untouched.
    Annotation translated(qreal dx, qreal dy) const;
    // A copy for an image resized by the factors: geometry multiplied, style lengths scaled by
    // the geometric mean of the factors.
    Annotation scaled(qreal sx, qreal sy) const;
    // A box, stamp, watermark or picture fitted to rect (its bounds become rect, a stamp's and a
    // watermark's as near as their proportions allow); any other layer unchanged.
    Annotation resized(const QRectF &rect) const;

    // The points a pointer can grab to reshape the layer, in image pixels: an arrow's start and
    // end, the corners of a resizable layer's bounds (top-left, top-right, bottom-left,
    // bottom-right); none for the others.
    QList<QPointF> handles() const;
    // The layer with handle dragged to point: an arrow's end simply follows; a corner is dragged
    // while the opposite one stays, never closer to it than minimumSide, and a stamp, a watermark
    // and (unless freeProportions) a picture keep their proportions. An unknown handle changes
    // nothing.
    Annotation reshaped(qsizetype handle, QPointF point, bool freeProportions = false) const;
    static constexpr qreal minimumSide = 8;

    // The text shown in the layers list; a text layer shows its text in typographic quotes.
    QString name() const;
    // The tool that makes this kind of layer.
    Tool tool() const;
    // True for the layers resized by a corner drag: boxes, stamps, watermarks and pictures.
    bool isResizable() const;
    QColor color() const { return style.color; }
    qreal width() const { return style.width; }

    friend bool operator==(const Annotation &, const Annotation &) = default;
};
