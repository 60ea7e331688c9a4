// SPDX-License-Identifier: MIT
#include "hotkeys/hotkeyrecorder.h"

#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"
#include "platform/keycodes.h"

#include <QKeyEvent>

namespace {

constexpr quint32 keyDelete = 51;
constexpr quint32 keyForwardDelete = 117;
constexpr quint32 keyEscape = 53;

// Shift, Control, Option, Command, Caps Lock and Fn on either side: pressed alone they start a
// combination, they are not one.
bool isModifierKey(quint32 keyCode)
{
    return keyCode >= 54 && keyCode <= 63;
}

} // namespace

QString HotKeyRecorder::caption()
{
    return tr("Click a shortcut, then press the new keys. Delete clears it, Esc cancels.");
}

HotKeyRecorder::HotKeyRecorder(HotKeyAction action, HotKeyCenter &center, QObject *parent)
    : QObject(parent), m_action(action), m_center(center)
{
}

HotKeyRecorder::~HotKeyRecorder()
{
    stop();
}

QString HotKeyRecorder::label() const
{
    if (m_recording)
        return tr("Press keys...");
    const auto key = m_center.key(m_action);
    return key ? key->display() : tr("None");
}

void HotKeyRecorder::start()
{
    if (m_recording)
        return;
    m_center.unregisterAll();
    m_recording = true;
    emit recordingChanged(true);
}

void HotKeyRecorder::stop()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_center.registerAll();
    emit recordingChanged(false);
}

void HotKeyRecorder::toggle()
{
    if (m_recording)
        stop();
    else
        start();
}

HotKeyRecorder::Outcome HotKeyRecorder::handleKey(quint32 keyCode, Qt::KeyboardModifiers modifiers)
{
    if (!m_recording || isModifierKey(keyCode))
        return Outcome::ignored;
    const Qt::KeyboardModifiers mods = modifiers & HotKey::relevant;
    if ((keyCode == keyDelete || keyCode == keyForwardDelete) && !mods) {
        m_center.set(std::nullopt, m_action);
        stop();
        return Outcome::cleared;
    }
    if (keyCode == keyEscape && !mods) {
        stop();
        return Outcome::cancelled;
    }
    if (!HotKey(keyCode, mods).isAllowed()) {
        emit refused();
        return Outcome::refused;
    }
    m_center.set(HotKey(keyCode, mods), m_action);
    stop();
    return Outcome::accepted;
}

HotKeyRecorder::Outcome HotKeyRecorder::handleKeyEvent(const QKeyEvent &event)
{
    if (!m_recording)
        return Outcome::ignored;
    std::optional<quint16> keyCode;
    if (event.nativeScanCode() != 0)
        keyCode = KeyCodes::fromX11(event.nativeScanCode());
    if (!keyCode)
        keyCode = KeyCodes::fromQtKey(event.key());
    if (!keyCode) {
        // A key the stored format has no number for can never be registered.
        emit refused();
        return Outcome::refused;
    }
    return handleKey(*keyCode, event.modifiers());
}

