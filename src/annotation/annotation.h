// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/shape.h"
#include "annotation/style.h"
#include "annotation/tool.h"

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
    // A watermark or picture fitted to rect; any other layer unchanged.
    Annotation resized(const QRectF &rect) const;

    // The text shown in the layers list; a text layer shows its text in typographic quotes.
    QString name() const;
    // The tool that makes this kind of layer.
    Tool tool() const;
    // True for the layers resized by a corner drag: watermarks and pictures.
    bool isResizable() const;
    QColor color() const { return style.color; }
    qreal width() const { return style.width; }

    friend bool operator==(const Annotation &, const Annotation &) = default;
};
