// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/modifierwait.h"

#include "hotkeys/hotkey.h"

#include <QGuiApplication>

ModifierWait::ModifierWait(QObject *parent)
    : QObject(parent)
    , heldModifiers(&ModifierWait::keyboardModifiers)
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModifierWait::poll);
}

Qt::KeyboardModifiers ModifierWait::keyboardModifiers()
{
    // Asks the display server, not the last event: the picker has closed and sees no more keys.
    return QGuiApplication::queryKeyboardModifiers() & HotKey::relevant;
}

void ModifierWait::start(std::function<void(bool)> done, int patienceMs)
{
    m_done = std::move(done);
    m_patienceMs = patienceMs;
    m_elapsed.start();
    m_timer.stop();
    poll();
    if (m_done)
        m_timer.start();
}

void ModifierWait::poll()
{
    const bool released = !heldModifiers();
    if (!released && m_elapsed.elapsed() < m_patienceMs)
        return;
    m_timer.stop();
    auto done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(released);
}
