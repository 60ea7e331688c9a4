// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <optional>

// The pixel font and the pixel icons shared by every view and by text layers. Main thread only,
// with a QGuiApplication alive.
namespace Pixel {

// Registers the bundled pixel font for this process and returns its family name; empty when the
// font file is missing or unreadable. Safe to call more than once.
QString registerFont();
// Registers the font file at path unless a pixel font is registered already; returns the family
// in use, empty when none is.
QString registerFont(const QString &path);
// The pixel font at a pixel size, or the bold monospaced system font when it is not registered.
// For text layers, at the size the user chose; the look's own text uses uiFont().
QFont font(qreal pixelSize);

// The sizes the look draws its own text at. The font's pixels land on whole screen pixels only at
// multiples of 11 px, and below 11 px glyphs lose the pixels that tell 8 from B.
enum class TextSize { Body, Title };
constexpr int pixelSize(TextSize size) { return size == TextSize::Title ? 22 : 11; }
// The pixel font for captions, labels and values: at one of the two sizes and without smoothing,
// so every glyph keeps its pixels whole at any integer device pixel ratio.
QFont uiFont(TextSize size = TextSize::Body);

// The icon rendered at size by size as an opaque-shape mask (tint it before drawing); nothing
// when there is no icon of that name or the size is not a usable positive number. Rendered once
// per name and size, then kept for the whole run.
std::optional<QImage> image(const QString &name, qreal size = 18);
// The mask's shape filled with color, keeping the mask's own coverage; a null mask stays null.
QImage tinted(const QImage &mask, const QColor &color);
// How many icon renderings the cache holds.
qsizetype cachedImageCount();

} // namespace Pixel
