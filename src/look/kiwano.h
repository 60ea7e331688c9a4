// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QList>

// The warm fruit palette of the whole application. All colours are opaque sRGB.
namespace Kiwano {

inline const QColor yellow = QColor::fromRgbF(1.0f, 0.882f, 0.208f);
inline const QColor ripe = QColor::fromRgbF(0.98f, 0.78f, 0.1f);
inline const QColor cream = QColor::fromRgbF(1.0f, 0.973f, 0.863f);
inline const QColor peel = QColor::fromRgbF(0.36f, 0.25f, 0.2f);
inline const QColor green = QColor::fromRgbF(0.55f, 0.7f, 0.2f);

// The seven annotation colours of the swatches, in order; the first is the default colour.
const QList<QColor> &palette();

} // namespace Kiwano
