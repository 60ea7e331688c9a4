// SPDX-License-Identifier: MIT
#include "selection.h"

#include <algorithm>
#include <climits>

namespace {

QRect keptInside(QRect box, const QRect &within)
{
    box.moveLeft(std::clamp(box.left(), within.left(), std::max(within.left(), within.right() - box.width() + 1)));
    box.moveTop(std::clamp(box.top(), within.top(), std::max(within.top(), within.bottom() - box.height() + 1)));
    return box;
}

} // namespace

namespace Selection {

QRect fromDrag(const QPoint &press, const QPoint &pointer)
{
    return QRect(std::min(press.x(), pointer.x()), std::min(press.y(), pointer.y()),
                 std::abs(pointer.x() - press.x()), std::abs(pointer.y() - press.y()));
}

QRect monitorAt(const QList<QRect> &monitors, const QPoint &point)
{
    QRect nearest;
    long best = LONG_MAX;
    for (const QRect &monitor : monitors) {
        if (monitor.contains(point))
            return monitor;
        const long dx = std::max({monitor.left() - point.x(), 0, point.x() - monitor.right()});
        const long dy = std::max({monitor.top() - point.y(), 0, point.y() - monitor.bottom()});
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = monitor;
        }
    }
    return nearest;
}

QRect windowAt(const QList<QRect> &topmostFirst, const QList<QRect> &monitors, const QRect &bounds,
               const QPoint &point)
{
    for (const QRect &window : topmostFirst) {
        if (window.contains(point))
            return window.intersected(bounds);
    }
    return monitorAt(monitors, point).intersected(bounds);
}

QRect beside(const QSize &box, const QPoint &point, int gap, const QRect &within)
{
    QRect rect(point + QPoint(gap, gap), box);
    if (rect.right() > within.right())
        rect.moveRight(point.x() - gap);
    if (rect.bottom() > within.bottom())
        rect.moveBottom(point.y() - gap);
    return keptInside(rect, within);
}

QRect labelFor(const QSize &label, const QRect &selection, int gap, const QRect &within)
{
    QRect rect(QPoint(selection.right() + 1 - label.width(), selection.bottom() + 1 + gap), label);
    if (rect.bottom() > within.bottom())
        rect.moveBottom(selection.bottom() - gap);
    return keptInside(rect, within);
}

} // namespace Selection
