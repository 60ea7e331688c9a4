// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QWidget>

#include <optional>

class AppState;
class QAbstractButton;
class QLabel;

// What the editor's place shows when there is no grab to edit: the kiwano, "No grabs yet" and
// how to take one. The whole area takes dropped images as new grabs, without any highlight.
class EmptyState : public QWidget
{
    Q_OBJECT

public:
    explicit EmptyState(AppState *state, QWidget *parent = nullptr);

    // The line under the title names this shortcut for a region grab; none at first.
    void setGrabShortcut(const std::optional<HotKey> &key);
    // The line under the title, naming the region shortcut when there is one.
    static QString hint(const std::optional<HotKey> &key);
    QString hintText() const;
    QAbstractButton *grabButton() const { return m_grab; }

signals:
    // The user asked for a grab from here.
    void grabRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    AppState *m_state;
    QLabel *m_hint;
    QAbstractButton *m_grab;
};
