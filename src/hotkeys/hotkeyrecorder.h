// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QObject>

class HotKeyCenter;
class QKeyEvent;

// Records a new shortcut for one action from the keys pressed in the settings window. While it
// records, no global shortcut is registered, so every combination reaches the window.
class HotKeyRecorder : public QObject
{
    Q_OBJECT
public:
    enum class Outcome {
        cleared,    // Delete or Backspace alone removed the shortcut
        cancelled,  // Esc alone stopped without a change
        refused,    // no Ctrl, Alt or Super (and no function key): beep, keep listening
        accepted,   // the combination became the action's shortcut
        ignored,    // not recording, or a modifier key on its own
    };

    static QString caption();

    HotKeyRecorder(HotKeyAction action, HotKeyCenter &center, QObject *parent = nullptr);
    // Stops recording when the field goes away in the middle of it.
    ~HotKeyRecorder() override;

    bool isRecording() const { return m_recording; }
    // "Press keys..." while recording, else the shortcut's display, or "None".
    QString label() const;

    // Releases every global shortcut and starts listening.
    void start();
    // Stops listening and registers every shortcut again; does nothing when not recording.
    void stop();
    // A click on the field: starts when idle, stops when recording.
    void toggle();

    // One key-down while recording, key as a virtual key code and the modifiers held.
    Outcome handleKey(quint32 keyCode, Qt::KeyboardModifiers modifiers);
    // The same for a Qt key event: the native X11 keycode when the window has one, else Qt's key.
    Outcome handleKeyEvent(const QKeyEvent &event);

signals:
    void recordingChanged(bool recording);
    // The key was refused; the view beeps.
    void refused();

private:
    HotKeyAction m_action;
    HotKeyCenter &m_center;
    bool m_recording = false;
};
