// SPDX-License-Identifier: MIT
#pragma once

#include <QListView>

class AppState;
class HistoryModel;

// The strip's horizontal row of grabs. The selection is the state's, not the view's: a click or
// Left/Right selects a grab, Delete removes the selected one, and the context menu (mouse or Menu
// key) reveals or deletes a grab. The wheel scrolls sideways although no scroll bar shows.
class StripView : public QListView
{
    Q_OBJECT

public:
    StripView(AppState *state, HistoryModel *model, QWidget *parent = nullptr);

    // The context menu of the grab in that row; the caller runs it.
    QMenu *menuFor(int row, QWidget *parent);
    // Whether the current grab is outlined: keyboard focus is, focus taken by a click is not.
    bool showsFocus() const { return m_focusShown && hasFocus(); }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void selectRow(int row);
    int selectedRow() const;

    AppState *m_state;
    HistoryModel *m_model;
    bool m_focusShown = false;
};
