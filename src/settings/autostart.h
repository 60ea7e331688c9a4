// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// Starting the application when the user logs in, through the XDG autostart file
// kiwano-snapper.desktop in the autostart folder of the user's config folder.
namespace Autostart {

// $XDG_CONFIG_HOME/autostart/kiwano-snapper.desktop, ~/.config when the variable is unset.
QString path();
// The file exists and does not say Hidden=true.
bool isEnabled();
// Writes the file (starting this program) or removes it. False with the reason in *error when
// the file cannot be written or removed; then the file is as it was.
bool setEnabled(bool enabled, QString *error = nullptr);

// The Exec value that runs program with no arguments, escaped as desktop entries ask: quoted
// when it holds a reserved character (", `, $ and \ escaped inside), % doubled, then the
// file format's own backslash escapes.
QString execLine(const QString &program);
// The whole autostart file for program.
QByteArray desktopEntry(const QString &program);

} // namespace Autostart
