// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QObject>
#include <QString>

#include <memory>

class Clipboard;
class ClipboardPanel;
class HotKeyCenter;

// What the application holds to reach the clipboard picker: the one panel, made on first use and
// then kept, opened from the menu or toggled by the clipboard shortcut.
class ClipboardPanelHost : public QObject
{
    Q_OBJECT

public:
    ClipboardPanelHost(Clipboard &clipboard, HotKeyCenter &hotKeys, QObject *parent = nullptr);
    ~ClipboardPanelHost() override;

    ClipboardPanel &panel();
    // For the shortcut registry's press callback: toggles the picker for the clipboard action and
    // returns false for every other action.
    bool handlePress(HotKeyAction action);
    // The tray menu's item: opens the picker, never by the shortcut's rules.
    void openFromMenu();
    // What the picker says where nothing in this session can type the paste (see
    // ClipboardPickerView::setCopyOnlyLine).
    void setCopyOnlyLine(const QString &line);
    // Whether the picker takes the focus (Wayland sessions) or opens as a popup that grabs the
    // keyboard (X11); takes effect for a panel not yet made.
    void setTakesFocus(bool takesFocus) { m_takesFocus = takesFocus; }

signals:
    // The picker asked for the settings window.
    void settingsRequested();

private:
    Clipboard &m_clipboard;
    HotKeyCenter &m_hotKeys;
    QString m_copyOnlyLine;
    bool m_takesFocus = false;
    std::unique_ptr<ClipboardPanel> m_panel;
};
