// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Waits, without blocking the event loop, until the user has let go of Shift, Ctrl, Alt and Super,
// so that a synthetic paste is not read as Ctrl+Shift+Super+V. Polls the keyboard state.
class ModifierWait : public QObject
{
    Q_OBJECT

public:
    explicit ModifierWait(QObject *parent = nullptr);

    // The held modifiers of a shortcut (see HotKey::relevant); the keyboard's real state unless replaced.
    std::function<Qt::KeyboardModifiers()> heldModifiers;

    // Calls done(true) once nothing is held, or done(false) when the patience ran out first. A
    // new start replaces a wait still running, which then never calls back.
    void start(std::function<void(bool released)> done, int patienceMs = 1000);
    bool isWaiting() const { return m_timer.isActive(); }

    static Qt::KeyboardModifiers keyboardModifiers();

private:
    void poll();

    QTimer m_timer;
    QElapsedTimer m_elapsed;
    int m_patienceMs = 0;
    std::function<void(bool)> m_done;
};
