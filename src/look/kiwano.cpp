// SPDX-License-Identifier: MIT
#include "look/kiwano.h"

namespace Kiwano {

const QList<QColor> &palette()
{
    static const QList<QColor> colors{
        QColor::fromRgbF(0.9f, 0.15f, 0.15f),   // red
        yellow,
        peel,                                    // brown
        green,
        QColor::fromRgbF(0.15f, 0.45f, 0.95f),  // blue
        QColor::fromRgbF(0, 0, 0),
        QColor::fromRgbF(1, 1, 1),
    };
    return colors;
}

} // namespace Kiwano
