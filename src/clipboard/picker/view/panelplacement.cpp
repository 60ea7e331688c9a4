// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/panelplacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace PanelPlacement {

QPoint topLeft(const QPoint &pointer, const QSize &size, const QList<Screen> &screens)
{
    for (const Screen &screen : screens) {
        if (!screen.geometry.contains(pointer))
            continue;
        const QRect &area = screen.available;
        // QRect's right() and bottom() are the last pixels inside, so the edges are one past them.
        const int areaRight = area.x() + area.width();
        const int areaBottom = area.y() + area.height();
        const int x = std::min(std::max(pointer.x(), area.left()), areaRight - size.width());
        const int y = std::max(std::min(pointer.y(), areaBottom - size.height()), area.top());
        return {x, y};
    }
    return pointer;
}

QList<Screen> currentScreens()
{
    QList<Screen> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append({screen->geometry(), screen->availableGeometry()});
    return screens;
}

} // namespace PanelPlacement
