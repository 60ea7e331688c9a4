// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include <optional>

// The pixel font and the pixel icons shared by every view and by text layers.
namespace Pixel {

// Registers the bundled pixel font for this process and returns its family name; empty when the
// font file is missing or unreadable. Safe to call more than once.
QString registerFont();
// The pixel font at a pixel size, or the bold monospaced system font when it is not registered.
QFont font(qreal pixelSize);
// The icon rendered at size by size as an opaque-shape mask (tint it before drawing); nothing
// when there is no icon of that name.
std::optional<QImage> image(const QString &name, qreal size = 18);

} // namespace Pixel
