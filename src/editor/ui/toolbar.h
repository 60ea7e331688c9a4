// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/tool.h"

#include <QHash>
#include <QWidget>

class EditorActions;
class EditorModel;
class KiwanoButton;

// The bar across the top of the editor: a button per drawing tool, the current one selected,
// then the document commands.
class Toolbar : public QWidget
{
    Q_OBJECT

public:
    Toolbar(EditorModel *model, EditorActions *actions, QWidget *parent = nullptr);

    KiwanoButton *toolButton(Tool tool) const { return m_toolButtons.value(tool); }
    // The "Resize" button, which the resize panel hangs from.
    QWidget *resizeButton() const { return m_resizeButton; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateSelection();
    // The width the row needs with every title shown.
    int fullWidth() const;

    EditorModel *m_model;
    QHash<Tool, KiwanoButton *> m_toolButtons;
    QList<KiwanoButton *> m_buttons;
    QWidget *m_resizeButton = nullptr;
};
