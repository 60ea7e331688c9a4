// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/picker/clipboardpickermodel.h"
#include "clipboard/picker/view/modifierwait.h"
#include "clipboard/picker/view/pickerkeys.h"
#include "hotkeys/hotkey.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class Clipboard;
class ClipboardPickerView;
class HotKeyCenter;

// The floating clipboard history. On X11 it opens at the pointer as a popup: the window manager
// never focuses it, so the application in front keeps the focus and later receives the paste,
// while the popup holds the keyboard grab and handles the keys itself. A click elsewhere closes
// it. A Wayland compositor sends keys only to the window it focuses, and an XWayland grab does
// not take them from native apps: there the panel is a small window that takes the focus and
// closes when it loses it; the compositor gives the focus back to the app in front, which then
// receives the paste.
class ClipboardPanel : public QWidget
{
    Q_OBJECT

public:
    enum class Presentation { popup, focusedWindow };

    ClipboardPanel(Clipboard &clipboard, HotKeyCenter &hotKeys, QWidget *parent = nullptr,
                   Presentation presentation = Presentation::popup);
    ~ClipboardPanel() override;

    static constexpr QSize panelSize{460, 540};

    ClipboardPickerModel &model() { return m_model; }
    ClipboardPickerView *view() const { return m_view; }
    PickerMode mode() const { return m_mode; }

    // Shows the panel at the pointer; nothing when it is open already. viaHotKey: opened by the
    // clipboard shortcut, whose modifiers may still be held (the cycling gesture).
    void open(bool viaHotKey);
    // Opens it by the shortcut, or closes it when it is open.
    void toggle();
    // Closes it and gives the clipboard shortcut back to the desktop.
    void close();
    // Closes the panel, then copies the entry back and, once the modifiers are up, pastes it;
    // modifiers still held after modifierPatienceMs get a copy without the paste.
    void choose(const ClipItem &item, bool paste);

    // The held modifiers of a shortcut; the keyboard's real state unless replaced (tests).
    std::function<Qt::KeyboardModifiers()> heldModifiers = &ModifierWait::keyboardModifiers;
    // How long a paste waits for the modifiers to be let go before it settles for a copy.
    int modifierPatienceMs = 1500;
    // A focused window's paste waits this long after closing, for the compositor to give the
    // focus back to the app in front; sooner, the keys would reach our closing window.
    int focusReturnMs = 150;

    // Shown, and still waiting for the keyboard (X11 grants the grab once the window is viewable).
    bool awaitsKeys() const;

signals:
    void opened();
    void closed();
    // The user asked for the settings; the panel has closed.
    void settingsRequested();
    // The keys typed from now on reach the picker.
    void keysTaken();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // target: the widget the key was sent to.
    bool handleKey(QWidget *target, QKeyEvent *event);
    void handleModifiers(QKeyEvent *event);
    void run(const PickerAction &action);
    void tryGrab();
    bool grabKeyboard();

    Clipboard &m_clipboard;
    HotKeyCenter &m_hotKeys;
    Presentation m_presentation;
    bool m_wasActive = false;
    ClipboardPickerModel m_model;
    ClipboardPickerView *m_view = nullptr;
    PickerMode m_mode = PickerMode::toggle;
    std::optional<HotKey> m_hotKey;
    bool m_monitoring = false;
    QTimer m_grabRetry;
    QElapsedTimer m_grabElapsed;
    ModifierWait m_modifierWait;
};
