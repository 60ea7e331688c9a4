// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QKeyCombination>
#include <QList>
#include <QObject>

#include <functional>
#include <optional>

class QAction;
class QWidget;

// Everything the person can ask the application to do, in one table: each action's text, icon,
// key, checked state and what carries it out. The tray menu shows these actions, the main window
// takes their keys, and the command line and the global shortcuts reach them by name.
class AppActions : public QObject
{
    Q_OBJECT

public:
    enum class Id {
        openLatest,
        grabRegion,
        grabWindow,
        grabScreen,
        grabLastRegion,  // the last grab's place again, without the overlay
        grabRegionIn3,   // a region grab after a countdown of 3, 5 or 10 seconds
        grabRegionIn5,
        grabRegionIn10,
        showClipboard,   // from the menu: opens the picker
        toggleClipboard, // the shortcut's rules: opens or closes it
        ignoreNext,
        pause,
        openImage,
        settings,
        checkForUpdates,
        quit,
    };

    explicit AppActions(QObject *parent = nullptr);
    ~AppActions() override;

    // What the action does; until it is given, triggering it does nothing.
    void setHandler(Id id, std::function<void()> handler);
    void trigger(Id id);
    // A command line request ("region", "window", "screen", "last-region", "clipboard",
    // "settings", "show", "quit"): false for any other word.
    bool trigger(const QString &request);
    // A press of a global shortcut.
    void trigger(HotKeyAction pressed);

    // The action as menus show it: the title, with the window key after a tab.
    QAction *action(Id id) const;
    // The title alone.
    QString title(Id id) const;
    // The global shortcut whose key a menu row names, if any.
    static std::optional<HotKeyAction> globalShortcut(Id id);
    // Gives the window its own actions for the keys the menu names (Ctrl+O, Ctrl+, and Ctrl+Q),
    // active while it is the active window.
    void addWindowKeys(QWidget *window);

private:
    struct Entry;
    const Entry &entry(Id id) const;

    QList<Entry> m_entries;
};
