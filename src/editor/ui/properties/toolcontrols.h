// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/style.h"
#include "annotation/tool.h"
#include "editor/ui/properties/stepformat.h"

#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <optional>

class ColorPanelBridge;
class EditorModel;
class KiwanoButton;
class LayerSizeFields;
class QVBoxLayout;

// What the properties panel edits: the selected layer's style and tool, else the current tool's.
namespace ShownStyle {
Tool tool(const EditorModel &model);
Style style(const EditorModel &model);
// Writes to the selected layer, or to the current tool's style when nothing is selected.
void write(EditorModel &model, const Style &style);
} // namespace ShownStyle

// The controls of one tool, built once; refresh() shows the model's current values.
class ToolControls : public QWidget
{
    Q_OBJECT

public:
    ToolControls(Tool tool, EditorModel *model, ColorPanelBridge *chooser, QWidget *parent = nullptr);
    Tool tool() const { return m_tool; }
    bool isEmpty() const { return m_readers.isEmpty(); }
    void refresh();

private:
    template<typename Control>
    Control *addField(const QString &title, Control *control);
    void addStepper(const QString &title, qreal Style::*field, double lower, double upper,
                    double step, StepFormat::Format format, bool points);
    void addSwatches(const QString &title, QColor Style::*field);
    void addFillSwatches(const QString &title);
    void addFontPicker(const QString &title);
    // Blur, Redact (noise) and Black (solid) for the blur tool.
    void addBlurModes(const QString &title);
    void addPictureSize();
    void refreshPictureSize();
    void edit(const std::function<void(Style &)> &change);

    Tool m_tool;
    EditorModel *m_model;
    ColorPanelBridge *m_chooser;
    QVBoxLayout *m_fields;
    QList<std::function<void(const Style &)>> m_readers;
    // Pictures: the size fields of the selected picture and its "Original Size" button.
    QWidget *m_sizeField = nullptr;
    QPointer<LayerSizeFields> m_sizeFields;
    std::optional<QUuid> m_sizeLayer;
    KiwanoButton *m_originalSize = nullptr;
};
