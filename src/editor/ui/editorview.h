// SPDX-License-Identifier: MIT
#pragma once

#include "editor/ui/editordesktop.h"

#include <QWidget>

class CanvasArea;
class EditorActions;
class EditorModel;
class QFrame;
class Sidebar;
class ActionToast;
class Toolbar;

// The editor for one model: toolbar, canvas area with its toast, and the sidebar. The host makes
// a new one whenever the shown model changes.
class EditorView : public QWidget
{
    Q_OBJECT

public:
    EditorView(EditorModel *model, const EditorDesktop &desktop, QWidget *parent = nullptr);
    EditorModel *model() const { return m_model; }

    EditorActions *actions() const { return m_actions; }
    Toolbar *toolbar() const { return m_toolbar; }
    CanvasArea *canvasArea() const { return m_canvasArea; }
    Sidebar *sidebar() const { return m_sidebar; }
    ActionToast *toast() const { return m_toast; }
    // The popup holding the resize panel while it is open; nothing otherwise.
    QFrame *resizePopup() const { return m_resizePopup; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void openResize();
    void showToast();

    EditorModel *m_model;
    EditorActions *m_actions;
    Toolbar *m_toolbar;
    CanvasArea *m_canvasArea;
    Sidebar *m_sidebar;
    ActionToast *m_toast;
    QFrame *m_resizePopup = nullptr;
};
