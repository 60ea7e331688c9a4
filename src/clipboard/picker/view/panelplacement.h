// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the picker opens: its top-left corner at the pointer, pushed back inside the usable area
// of the screen under the pointer. Screen coordinates grow downwards, as Qt's do.
namespace PanelPlacement {

struct Screen
{
    QRect geometry;  // the whole screen
    QRect available; // without panels and docks
};

// The panel's top-left corner for a panel of this size. The first screen whose geometry holds the
// pointer decides; the left and bottom edges give way to the right and top ones when the panel
// is larger than the area. With the pointer on no screen, the corner is the pointer itself.
QPoint topLeft(const QPoint &pointer, const QSize &size, const QList<Screen> &screens);

// The screens Qt knows now.
QList<Screen> currentScreens();

} // namespace PanelPlacement
