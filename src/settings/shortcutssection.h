// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QList>
#include <QWidget>

class HotKeyCenter;
class KiwanoButton;
class ShortcutField;
class WarningBox;

// One row per action (icon and title, its shortcut field, a clear button, its warning), then the
// two presets. Rows are read again whenever the registry registers.
class ShortcutsSection : public QWidget
{
    Q_OBJECT
public:
    explicit ShortcutsSection(HotKeyCenter &center, QWidget *parent = nullptr);
    ~ShortcutsSection() override;

    ShortcutField *field(HotKeyAction action) const;
    KiwanoButton *clearButton(HotKeyAction action) const;
    WarningBox *warning(HotKeyAction action) const;
    KiwanoButton *kiwanoPreset() const { return m_kiwanoPreset; }
    KiwanoButton *desktopPreset() const { return m_desktopPreset; }

    void refresh();

private:
    struct Row
    {
        ShortcutField *field = nullptr;
        KiwanoButton *clear = nullptr;
        WarningBox *warning = nullptr;
    };

    HotKeyCenter &m_center;
    QList<Row> m_rows;
    KiwanoButton *m_kiwanoPreset;
    KiwanoButton *m_desktopPreset;
};
