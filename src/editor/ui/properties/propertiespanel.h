// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/tool.h"

#include <QMap>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <optional>

class ColorPanelBridge;
class EditorModel;
class KiwanoButton;
class QLabel;
#include "editor/ui/properties/textcontentfield.h"
class ToolControls;

// Edits the style of the selected layer, or of the current tool when nothing is selected; the
// text of a selected text layer; and saves the shown style as the tool's default. Each tool's
// controls are built the first time the tool is shown and kept. Sits in a vertical scroll area.
class PropertiesPanel : public QWidget
{
    Q_OBJECT

public:
    // Colours beyond the palette come from chooser.
    PropertiesPanel(EditorModel *model, ColorPanelBridge *chooser, QWidget *parent = nullptr);

    // The controls shown now; nothing for a tool without any (move, crop).
    ToolControls *shownControls() const;
    QString subtitle() const;
    KiwanoButton *setDefaultButton() const { return m_setDefault; }
    TextContentField *textField() const { return m_text; }

    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void refreshText();
    void modelChanged();

    EditorModel *m_model;
    ColorPanelBridge *m_chooser;
    QLabel *m_subtitle;
    QWidget *m_textField;
    QPointer<TextContentField> m_text;
    std::optional<QUuid> m_textLayer;
    QWidget *m_controlsHolder;
    QMap<Tool, ToolControls *> m_controls;
    QLabel *m_selectHint;
    QWidget *m_rule;
    KiwanoButton *m_setDefault;
    bool m_stale = false;
};
