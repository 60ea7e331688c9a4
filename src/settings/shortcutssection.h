// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/desktopscreenshots.h"
#include "hotkeys/hotkey.h"

#include <QList>
#include <QWidget>

class CommandShortcuts;
class DesktopBindings;
class HotKeyCenter;
class KiwanoButton;
class QLabel;
class ShortcutField;
class WarningBox;

// One row per action (icon and title, its shortcut field, a clear button, its warning), then the
// two presets. Rows are read again whenever the registry registers. Where the desktop owns the
// keys, the rows show its bindings instead; where nothing here can bind keys for every app, the
// way to bind our command lines in the desktop's own settings comes first.
class ShortcutsSection : public QWidget
{
    Q_OBJECT
public:
    struct Presentation
    {
        // Who binds the keys: our recorder, the desktop (shown, not edited), or nobody here.
        enum class Keys { recorded, desktop, none };
        Keys keys = Keys::recorded;
        // Shows how to bind the command lines in this desktop (XDG_CURRENT_DESKTOP).
        bool commandGuide = false;
        QString desktop;
        // The desktop's bindings, for Keys::desktop.
        DesktopBindings *bindings = nullptr;
        // The desktop's screenshot shortcuts, read once each time the rows are refreshed.
        DesktopScreenshots::Reader readDesktopScreenshots = &DesktopScreenshots::read;
    };

    explicit ShortcutsSection(HotKeyCenter &center, QWidget *parent = nullptr);
    ShortcutsSection(HotKeyCenter &center, const Presentation &presentation, QWidget *parent = nullptr);
    ~ShortcutsSection() override;

    ShortcutField *field(HotKeyAction action) const;
    KiwanoButton *clearButton(HotKeyAction action) const;
    WarningBox *warning(HotKeyAction action) const;
    KiwanoButton *kiwanoPreset() const { return m_kiwanoPreset; }
    KiwanoButton *desktopPreset() const { return m_desktopPreset; }
    // The desktop's own words for the action's keys, where it owns them; nothing otherwise.
    QLabel *desktopBinding(HotKeyAction action) const;
    CommandShortcuts *commandGuide() const { return m_guide; }

    void refresh();

private:
    void showDesktopBindings();

    struct Row
    {
        QLabel *desktopBinding = nullptr;
        ShortcutField *field = nullptr;
        KiwanoButton *clear = nullptr;
        WarningBox *warning = nullptr;
    };

    HotKeyCenter &m_center;
    Presentation m_presentation;
    CommandShortcuts *m_guide = nullptr;
    QList<Row> m_rows;
    KiwanoButton *m_kiwanoPreset;
    KiwanoButton *m_desktopPreset;
};
