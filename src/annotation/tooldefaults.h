// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/style.h"
#include "annotation/tool.h"

#include <QString>

class QSettings;

// The style each tool starts new layers with, saved per tool in the preferences.
namespace ToolDefaults {

// The preference key of a tool's saved style, "toolDefault." and the tool's raw value.
QString key(Tool tool);
// The default style sized for a screen of that backing scale; pictures start fully opaque.
Style builtIn(Tool tool, qreal scale);
// The tool's saved style, or builtIn when none is saved or it is not a JSON object.
Style load(Tool tool, qreal scale);
Style load(Tool tool, qreal scale, const QSettings &settings);
// Stores the style as the tool's default; does nothing when the style cannot be encoded.
void save(const Style &style, Tool tool);
void save(const Style &style, Tool tool, QSettings &settings);

} // namespace ToolDefaults
