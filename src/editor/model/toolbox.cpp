// SPDX-License-Identifier: MIT
#include "editor/model/toolbox.h"

#include "annotation/tooldefaults.h"

EditorToolbox::EditorToolbox(qreal pixelScale, QObject *parent)
    : QObject(parent)
    , m_pixelScale(pixelScale > 0 ? pixelScale : 2)
{
    for (Tool tool : Tools::allCases())
        m_styles.insert(tool, ToolDefaults::load(tool, m_pixelScale));
}

bool EditorToolbox::setTool(Tool tool)
{
    if (tool == m_tool)
        return false;
    m_tool = tool;
    emit toolChanged();
    return true;
}

void EditorToolbox::setStyles(const QMap<Tool, Style> &styles)
{
    m_styles = styles;
    emit stylesChanged();
}

Style EditorToolbox::style(Tool tool) const
{
    const auto found = m_styles.constFind(tool);
    if (found != m_styles.constEnd())
        return *found;
    return ToolDefaults::builtIn(tool, m_pixelScale);
}

void EditorToolbox::setStyle(Tool tool, const Style &style)
{
    m_styles.insert(tool, style);
    emit stylesChanged();
}
