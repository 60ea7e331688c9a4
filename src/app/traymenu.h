// SPDX-License-Identifier: MIT
#pragma once

#include "app/appactions.h"

#include <QIcon>
#include <QMap>
#include <QObject>

class Clipboard;
class HotKeyCenter;
class QAction;
class QMenu;
class QSystemTrayIcon;

// The status item in the tray and its menu of the application's actions. The shortcut texts
// follow the registry's revision and the clipboard rows, tooltip and icon follow the clipboard
// history, always a turn of the event loop after the announcement, so that they read the values
// as changed.
class TrayMenu : public QObject
{
    Q_OBJECT

public:
    TrayMenu(AppActions &actions, Clipboard &clipboard, HotKeyCenter &hotKeys, QObject *parent = nullptr);
    ~TrayMenu() override;

    QMenu *menu() const { return m_menu; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QAction *shortcutItem(HotKeyAction action) const { return m_shortcutItems.value(action); }
    QAction *ignoreNextItem() const { return m_actions.action(AppActions::Id::ignoreNext); }
    QAction *pauseItem() const { return m_actions.action(AppActions::Id::pause); }
    // Whether the status item shows its dimmed look.
    bool isDimmed() const { return m_dimmed; }

    // Shows the status item; false when the desktop has no tray to show it in now.
    bool show();

    // The status item's picture: the "kiwano-menubar" image, else the kiwi drawn as text.
    static QIcon statusIcon(bool dimmed, const QString &imagePath = {});

private:
    void showShortcuts();
    void showClipboardState();

    AppActions &m_actions;
    Clipboard &m_clipboard;
    HotKeyCenter &m_hotKeys;
    QMenu *m_menu;
    QSystemTrayIcon *m_tray;
    QMap<HotKeyAction, QAction *> m_shortcutItems;
    QIcon m_normalIcon;
    QIcon m_dimmedIcon;
    bool m_dimmed = false;
};
