// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class EditorModel;
class QAction;
class QWidget;

// The editor's commands, defined once: the toolbar's and the layers footer's buttons show these
// actions, and their shortcuts act in the whole window that hosts the view (wherever the focus
// is, the grab strip included), except for the keys a focused text field uses itself. Each
// action follows the model's state for being enabled.
class EditorActions : public QObject
{
    Q_OBJECT

public:
    enum Id {
        watermark,
        resize,
        undo,
        redo,
        copy,
        pin,
        save,
        bringForward,
        sendBackward,
        deleteLayer,
        flatten,
        count
    };

    struct Entry
    {
        Id id;
        const char *title;     // shown under the toolbar icon; empty for icon-only buttons
        const char *icon;
        const char *shortcut;  // portable key sequence text, empty for none
        const char *toolTip;
    };
    // The table itself, in the order the buttons appear.
    static const Entry &entry(Id id);

    // The actions are added to view, with shortcuts that act in view's window.
    EditorActions(EditorModel *model, QWidget *view);

    QAction *action(Id id) const { return m_actions[id]; }

signals:
    // "Resize" was chosen: the quote is already cleared, the host opens the panel.
    void resizeRequested();
    // "Pin" was chosen: the host shows the flattened grab pinned on the screen.
    void pinRequested();

private:
    void trigger(Id id);
    void updateEnabled();

    EditorModel *m_model;
    QAction *m_actions[count] = {};
};
