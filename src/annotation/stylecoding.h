// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/style.h"

#include <QByteArray>
#include <QColor>
#include <QJsonObject>

#include <optional>

// The stored form of one colour: its sRGB components from 0 to 1.
struct RGBA
{
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;

    // The components of color after conversion to sRGB.
    static RGBA from(const QColor &color);
    // The sRGB colour of these components.
    QColor color() const;

    QJsonObject json() const;
    // Nothing unless value is an object holding all four components as numbers.
    static std::optional<RGBA> fromJson(const QJsonValue &value);
};

// A style as compact JSON and back.
namespace StyleCoding {

// The UTF-8 JSON text of a style; nothing when a field cannot be written as JSON (not finite).
// The "fillColor" key is left out when the style has no fill.
std::optional<QByteArray> encode(const Style &style);
// The style in object, field by field: every key that is missing, of the wrong kind or out of
// its range (widths up to 1000 pixels, type and corners up to 2000, pixel blocks 1 to 1000,
// outlines up to 100 percent, dim and opacity 0 to 1) takes the default style's value.
Style decode(const QJsonObject &object);
// The style in the JSON text; nothing unless the text is a JSON object.
std::optional<Style> decode(const QByteArray &json);

} // namespace StyleCoding
