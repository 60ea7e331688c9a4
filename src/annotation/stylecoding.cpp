// SPDX-License-Identifier: MIT
#include "annotation/stylecoding.h"

#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>
#include <cmath>

RGBA RGBA::from(const QColor &color)
{
    // Extended colours keep components outside 0..1 that the plain sRGB form would clamp.
    const QColor srgb = color.spec() == QColor::ExtendedRgb ? color : color.toRgb();
    return RGBA{srgb.redF(), srgb.greenF(), srgb.blueF(), srgb.alphaF()};
}

QColor RGBA::color() const
{
    // Components may stray past 0..1 (extended colours), alpha may not: QColor makes an invalid
    // colour of it, which paints black.
    const double alpha = std::isnan(a) ? 1.0 : std::clamp(a, 0.0, 1.0);
    return QColor::fromRgbF(float(r), float(g), float(b), float(alpha));
}

QJsonObject RGBA::json() const
{
    return QJsonObject{{QStringLiteral("r"), r}, {QStringLiteral("g"), g},
                       {QStringLiteral("b"), b}, {QStringLiteral("a"), a}};
}

std::optional<RGBA> RGBA::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    double components[4];
    const char *keys[4] = {"r", "g", "b", "a"};
    for (int i = 0; i < 4; ++i) {
        const QJsonValue component = object.value(QLatin1String(keys[i]));
        if (!component.isDouble())
            return std::nullopt;
        components[i] = component.toDouble();
    }
    return RGBA{components[0], components[1], components[2], components[3]};
}

namespace StyleCoding {

namespace {

bool finite(const RGBA &c)
{
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

// Lengths far past anything the properties panel offers (a hand edit) would only make drawing
// crawl or divide by zero; such a value is as good as missing.
double number(const QJsonObject &object, const char *key, double fallback, double lower, double upper)
{
    const QJsonValue value = object.value(QLatin1String(key));
    const double number = value.isDouble() ? value.toDouble() : fallback;
    return number >= lower && number <= upper ? number : fallback;
}

QColor color(const QJsonObject &object, const char *key, const QColor &fallback)
{
    const std::optional<RGBA> rgba = RGBA::fromJson(object.value(QLatin1String(key)));
    return rgba ? rgba->color() : fallback;
}

} // namespace

std::optional<QByteArray> encode(const Style &style)
{
    const qreal numbers[] = {style.width, style.fontSize, style.outlineWidth, style.dim,
                             style.cornerRadius, style.blurBlock, style.markSize, style.opacity};
    for (qreal n : numbers) {
        // JSON has no infinities or NaN; writing them would store a style that reads back wrong.
        if (!std::isfinite(n))
            return std::nullopt;
    }
    const RGBA color = RGBA::from(style.color);
    const RGBA outline = RGBA::from(style.outlineColor);
    if (!finite(color) || !finite(outline))
        return std::nullopt;

    QJsonObject object{
        {QStringLiteral("color"), color.json()},
        {QStringLiteral("width"), style.width},
        {QStringLiteral("font"), rawValue(style.font)},
        {QStringLiteral("fontSize"), style.fontSize},
        {QStringLiteral("outlineWidth"), style.outlineWidth},
        {QStringLiteral("outlineColor"), outline.json()},
        {QStringLiteral("dim"), style.dim},
        {QStringLiteral("cornerRadius"), style.cornerRadius},
        {QStringLiteral("blurBlock"), style.blurBlock},
        {QStringLiteral("blurMode"), rawValue(style.blurMode)},
        {QStringLiteral("markSize"), style.markSize},
        {QStringLiteral("opacity"), style.opacity},
    };
    if (style.fillColor) {
        const RGBA fill = RGBA::from(*style.fillColor);
        if (!finite(fill))
            return std::nullopt;
        object.insert(QStringLiteral("fillColor"), fill.json());
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

Style decode(const QJsonObject &object)
{
    const Style defaults;
    Style style;
    style.color = color(object, "color", defaults.color);
    style.width = number(object, "width", defaults.width, 0, 1000);
    const QJsonValue font = object.value(QLatin1String("font"));
    style.font = TextFonts::fromRaw(font.toString()).value_or(defaults.font);
    style.fontSize = number(object, "fontSize", defaults.fontSize, 1, 2000);
    style.outlineWidth = number(object, "outlineWidth", defaults.outlineWidth, 0, 100);
    style.outlineColor = color(object, "outlineColor", defaults.outlineColor);
    style.dim = number(object, "dim", defaults.dim, 0, 1);
    if (const std::optional<RGBA> fill = RGBA::fromJson(object.value(QLatin1String("fillColor"))))
        style.fillColor = fill->color();
    style.cornerRadius = number(object, "cornerRadius", defaults.cornerRadius, 0, 2000);
    style.blurBlock = number(object, "blurBlock", defaults.blurBlock, 1, 1000);
    const QJsonValue mode = object.value(QLatin1String("blurMode"));
    style.blurMode = blurModeFromRaw(mode.toString()).value_or(defaults.blurMode);
    style.markSize = number(object, "markSize", defaults.markSize, 0.01, 10);
    style.opacity = number(object, "opacity", defaults.opacity, 0, 1);
    return style;
}

std::optional<Style> decode(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return decode(document.object());
}

} // namespace StyleCoding
