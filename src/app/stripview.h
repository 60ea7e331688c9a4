// SPDX-License-Identifier: MIT
#pragma once

#include <QListView>

#include <functional>

class AppState;
class HistoryModel;

// The strip's horizontal row of grabs. The selection is the state's, not the view's: a click or
// Left/Right/Home/End selects a grab, Delete or Backspace moves the selected one to the trash, and
// the context menu (mouse or Menu key) reveals or trashes a grab. While the row has the keyboard
// focus, however it got it, the selected grab is ringed. The wheel scrolls sideways although no
// scroll bar shows.
class StripView : public QListView
{
    Q_OBJECT

public:
    StripView(AppState *state, HistoryModel *model, QWidget *parent = nullptr);

    // The context menu of the grab in that row; the caller runs it.
    QMenu *menuFor(int row, QWidget *parent);
    // Shows a grab, flattened, pinned on the screen; without it the menu offers no "Pin".
    using Pinner = std::function<void(const QImage &picture, const QString &name)>;
    void setPinner(Pinner pin) { m_pin = std::move(pin); }
protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void selectRow(int row);
    int selectedRow() const;

    AppState *m_state;
    HistoryModel *m_model;
    Pinner m_pin;
};
