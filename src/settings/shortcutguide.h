// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QList>
#include <QString>

// How to bind our command lines in a desktop's own shortcut settings, where no app may bind
// global keys itself.
struct ShortcutGuide
{
    enum class Desktop { gnome, kde, sway, other };

    struct Command
    {
        HotKeyAction action;
        QString command;  // "kiwano-snapper --region"
        QString copied;   // what Copy puts on the clipboard: the command, or sway's whole line
    };

    Desktop desktop = Desktop::other;
    QString steps;
    QList<Command> commands;

    // The first desktop of XDG_CURRENT_DESKTOP ("ubuntu:GNOME") that we know, else other.
    static Desktop desktopFrom(const QString &currentDesktop);
    static ShortcutGuide forDesktop(const QString &currentDesktop);
};
