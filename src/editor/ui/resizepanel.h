// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EditorModel;

// Width and height fields with a ratio lock and presets; Apply resizes the model's image.
// The host shows it in a popup and closes the popup on closeRequested.
class ResizePanel : public QWidget
{
    Q_OBJECT

public:
    explicit ResizePanel(EditorModel *model, QWidget *parent = nullptr);

signals:
    // Cancel, Escape or Apply: the host closes the popover.
    void closeRequested();

private:
    EditorModel *m_model;
};
