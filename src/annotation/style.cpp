// SPDX-License-Identifier: MIT
#include "annotation/style.h"

#include "look/kiwano.h"

#include <utility>

namespace {

constexpr std::pair<BlurMode, const char *> blurModeNames[] = {
    {BlurMode::pixelate, "pixelate"}, {BlurMode::noise, "noise"}, {BlurMode::solid, "solid"}};

} // namespace

QString rawValue(BlurMode mode)
{
    for (const auto &[m, name] : blurModeNames)
        if (m == mode)
            return QLatin1String(name);
    return {};
}

std::optional<BlurMode> blurModeFromRaw(const QString &raw)
{
    for (const auto &[m, name] : blurModeNames)
        if (raw == QLatin1String(name))
            return m;
    return std::nullopt;
}

QColor Style::defaultColor()
{
    return Kiwano::palette().first();
}

bool sameColor(const QColor &a, const QColor &b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    // Extended colours may lie outside 0..1, which the 16-bit sRGB form would clamp.
    if (a.spec() == QColor::ExtendedRgb || b.spec() == QColor::ExtendedRgb) {
        const QColor ea = a.toExtendedRgb();
        const QColor eb = b.toExtendedRgb();
        return ea.redF() == eb.redF() && ea.greenF() == eb.greenF() && ea.blueF() == eb.blueF()
            && ea.alphaF() == eb.alphaF();
    }
    return a.toRgb().rgba64() == b.toRgb().rgba64();
}

bool operator==(const Style &a, const Style &b)
{
    const bool sameFill = a.fillColor.has_value() == b.fillColor.has_value()
        && (!a.fillColor || sameColor(*a.fillColor, *b.fillColor));
    return sameColor(a.color, b.color) && a.width == b.width && a.font == b.font
        && a.fontSize == b.fontSize && a.outlineWidth == b.outlineWidth
        && sameColor(a.outlineColor, b.outlineColor) && a.dim == b.dim && sameFill
        && a.cornerRadius == b.cornerRadius && a.blurBlock == b.blurBlock
        && a.blurMode == b.blurMode
        && a.markSize == b.markSize && a.opacity == b.opacity;
}
