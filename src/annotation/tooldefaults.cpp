// SPDX-License-Identifier: MIT
#include "annotation/tooldefaults.h"

#include "annotation/stylecoding.h"
#include "platform/preferences.h"

#include <algorithm>

namespace ToolDefaults {

QString key(Tool tool)
{
    return QLatin1String(Preferences::toolDefault.prefix) + rawValue(tool);
}

Style builtIn(Tool tool, qreal scale)
{
    Style style;
    style.width = 4 * scale;
    style.fontSize = 28 * scale;
    style.cornerRadius = 4 * scale;
    style.blurBlock = 8 * scale;
    if (tool == Tool::picture)
        style.opacity = 1;
    return style;
}

Style load(Tool tool, qreal scale, const QSettings &settings)
{
    const std::optional<QByteArray> saved = Preferences::value(Preferences::toolDefault, rawValue(tool), settings);
    const std::optional<Style> stored = saved ? StyleCoding::decode(*saved) : std::nullopt;
    Style style = stored.value_or(builtIn(tool, scale));
    if (tool == Tool::blur)
        style.blurBlock = std::max(style.blurBlock, smallestBlurBlock * scale);
    return style;
}

Style load(Tool tool, qreal scale)
{
    return load(tool, scale, Preferences::store());
}

void save(const Style &style, Tool tool, QSettings &settings)
{
    if (const std::optional<QByteArray> json = StyleCoding::encode(style))
        Preferences::setValue(Preferences::toolDefault, rawValue(tool), *json, settings);
}

void save(const Style &style, Tool tool)
{
    QSettings settings = Preferences::store();
    save(style, tool, settings);
}

} // namespace ToolDefaults
