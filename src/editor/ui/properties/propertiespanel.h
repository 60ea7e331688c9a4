// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EditorModel;

// Edits the style of the selected layer, or of the current tool when nothing is selected.
class PropertiesPanel : public QWidget
{
    Q_OBJECT

public:
    explicit PropertiesPanel(EditorModel *model, QWidget *parent = nullptr);

private:
    EditorModel *m_model;
};
