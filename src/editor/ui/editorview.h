// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EditorModel;

// The editor for one model: toolbar, canvas area with its toast, and the sidebar. The host makes
// a new one whenever the shown model changes.
class EditorView : public QWidget
{
    Q_OBJECT

public:
    explicit EditorView(EditorModel *model, QWidget *parent = nullptr);
    EditorModel *model() const { return m_model; }

private:
    EditorModel *m_model;
};
