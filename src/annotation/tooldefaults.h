// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/style.h"
#include "annotation/tool.h"

#include <QString>

class QSettings;

// The style each tool starts new layers with, saved per tool in the preferences.
namespace ToolDefaults {

// The smallest pixel size, in points, that a blur may be given: below it the pixellation of
// 12 to 16 point text stays readable by OCR.
inline constexpr int smallestBlurBlock = 6;

// The preference key of a tool's saved style, "toolDefault." and the tool's raw value.
QString key(Tool tool);
// The default style sized for a screen of that backing scale; pictures start fully opaque.
Style builtIn(Tool tool, qreal scale);
// The tool's saved style, or builtIn when none is saved or it is not a JSON object. A blur saved
// finer than smallestBlurBlock comes back at that size.
Style load(Tool tool, qreal scale);
Style load(Tool tool, qreal scale, const QSettings &settings);
// Stores the style as the tool's default; does nothing when the style cannot be encoded.
void save(const Style &style, Tool tool);
void save(const Style &style, Tool tool, QSettings &settings);

} // namespace ToolDefaults
