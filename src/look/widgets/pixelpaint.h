// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

// Drawing pieces of the look shared by every custom-painted widget. They snap what they draw to
// whole device pixels, so boxes and icons stay hard-edged at any device pixel ratio.
namespace Look {

// The rectangle with a border inside its edge: Kiwano::peel, 3 wide when selected, else 2 wide at
// opacity 0.35. The rectangle is in the painter's coordinates.
void paintPixelBox(QPainter &painter, const QRectF &rect, const QColor &fill, bool selected);
// A filled rectangle and a border of width points inside it, both on device pixels.
void fillSnapped(QPainter &painter, const QRectF &rect, const QColor &color);
void strokeInside(QPainter &painter, const QRectF &rect, qreal width, const QColor &color);
// The pixel icon tinted in color, centred in frame, at size points; drawn at a whole multiple of
// the icon's pixel grid so that no cell is smeared. Nothing when there is no such icon.
void drawIcon(QPainter &painter, const QRectF &frame, const QString &name, qreal size,
              const QColor &color);

} // namespace Look
