// SPDX-License-Identifier: MIT
#include "annotation/tooldefaults.h"

#include "annotation/stylecoding.h"

#include <QSettings>

namespace ToolDefaults {

namespace {

const QString organization = QStringLiteral("KiwanoSnapper");

} // namespace

QString key(Tool tool)
{
    return QStringLiteral("toolDefault.") + rawValue(tool);
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
    const QVariant stored = settings.value(key(tool));
    // Only bytes are a saved style; a hand-edited string or list is not one.
    if (stored.typeId() != QMetaType::QByteArray)
        return builtIn(tool, scale);
    return StyleCoding::decode(stored.toByteArray()).value_or(builtIn(tool, scale));
}

Style load(Tool tool, qreal scale)
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, organization, organization);
    return load(tool, scale, settings);
}

void save(const Style &style, Tool tool, QSettings &settings)
{
    if (const std::optional<QByteArray> json = StyleCoding::encode(style))
        settings.setValue(key(tool), *json);
}

void save(const Style &style, Tool tool)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, organization, organization);
    save(style, tool, settings);
}

} // namespace ToolDefaults
