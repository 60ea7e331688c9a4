// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QAbstractButton>

class HotKeyCenter;
class HotKeyRecorder;

// The field of one action's shortcut: a pixel box showing the shortcut, "None" or
// "Press keys...". A click or Space starts recording; while it records every key goes to the
// recorder (Tab and Esc included), and a refused key beeps.
class ShortcutField : public QAbstractButton
{
    Q_OBJECT
public:
    ShortcutField(HotKeyAction action, HotKeyCenter &center, QWidget *parent = nullptr);
    // Ends a recording in progress, so the shortcuts are registered again.
    ~ShortcutField() override;

    HotKeyRecorder *recorder() const { return m_recorder; }
    bool isRecording() const;
    // Reads the label again from the registry.
    void refresh();

    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    HotKeyAction m_action;
    HotKeyRecorder *m_recorder = nullptr;
};
