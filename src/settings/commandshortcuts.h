// SPDX-License-Identifier: MIT
#pragma once

#include "settings/shortcutguide.h"

#include <QList>
#include <QWidget>

class KiwanoButton;
class QLabel;

// How to bind each command line in the running desktop's own settings: the steps, then one row
// per command with a Copy button that puts it (for sway, its whole line) on the clipboard.
class CommandShortcuts : public QWidget
{
    Q_OBJECT
public:
    explicit CommandShortcuts(const ShortcutGuide &guide, QWidget *parent = nullptr);

    QString stepsText() const;
    // The command as shown, and its Copy button.
    QString shownCommand(HotKeyAction action) const;
    KiwanoButton *copyButton(HotKeyAction action) const;

private:
    QLabel *m_steps;
    QList<QLabel *> m_commands;
    QList<KiwanoButton *> m_copy;
};
