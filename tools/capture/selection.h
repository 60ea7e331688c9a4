// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Geometry of the interactive selection, in device pixels of the root window.
namespace Selection {

// The pixels between where the drag started and where the pointer is: a drag of 100 pixels to
// either side covers 100 pixels. Empty while the pointer has not moved.
QRect fromDrag(const QPoint &press, const QPoint &pointer);
// The monitor holding the point, else the nearest one.
QRect monitorAt(const QList<QRect> &monitors, const QPoint &point);
// The topmost window holding the point, cut to bounds; the point's monitor where none does.
QRect windowAt(const QList<QRect> &topmostFirst, const QList<QRect> &monitors,
               const QRect &bounds, const QPoint &point);
// A box of that size beside the point (below right, flipped to stay inside within).
QRect beside(const QSize &box, const QPoint &point, int gap, const QRect &within);
// Where the size label goes: below the selection's right edge, else inside it, kept in within.
QRect labelFor(const QSize &label, const QRect &selection, int gap, const QRect &within);

} // namespace Selection
