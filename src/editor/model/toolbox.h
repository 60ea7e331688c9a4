// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/style.h"
#include "annotation/tool.h"

#include <QMap>
#include <QObject>

// The tool in hand and the style new layers of each tool get. Main thread only.
class EditorToolbox : public QObject
{
    Q_OBJECT
public:
    // Styles start from the saved defaults, sized for pixelScale device pixels per point.
    explicit EditorToolbox(qreal pixelScale, QObject *parent = nullptr);

    Tool tool() const { return m_tool; }
    // False when it was the tool already.
    bool setTool(Tool tool);
    qreal pixelScale() const { return m_pixelScale; }
    const QMap<Tool, Style> &styles() const { return m_styles; }
    void setStyles(const QMap<Tool, Style> &styles);
    // The style of new layers of that tool: its entry in styles, else the built-in default.
    Style style(Tool tool) const;
    // Changes only future layers of that tool.
    void setStyle(Tool tool, const Style &style);

signals:
    void toolChanged();
    void stylesChanged();

private:
    Tool m_tool = Tool::arrow;
    qreal m_pixelScale;
    QMap<Tool, Style> m_styles;
};
