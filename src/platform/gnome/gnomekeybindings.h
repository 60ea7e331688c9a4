// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;

// GNOME's own custom shortcuts (Settings, Keyboard, Custom Shortcuts), which run a command line
// whichever app is in front: where our shell extension is off, the way to global shortcuts.
// Written with gsettings, beside the user's own custom shortcuts, which are kept.
namespace GnomeKeybindings {

struct Binding
{
    QString id;           // part of the entry's path: "region"
    QString name;         // as GNOME's settings list it
    QString command;      // "kiwano-snapper --region"
    QString accelerator;  // "<Shift><Super>6"; empty: no shortcut, any earlier entry removed
};

// The folder under which GNOME keeps each custom shortcut, and ours within it.
QString entryPath(const QString &id);
// The paths gsettings prints for the list of custom shortcuts ("@as []", "['/a/', '/b/']").
QStringList parseList(const QString &printed);
// The gsettings argument lists that make the list hold the entries in existing that are not
// ours, then ours with a shortcut, and set each of ours.
QList<QStringList> commands(const QStringList &existing, const QList<Binding> &bindings);

// Reads the list and runs the commands one after another, none waited for on this thread; done
// comes once, with an error in the user's words or an empty one. Nothing when context is gone.
void write(const QList<Binding> &bindings, QObject *context, std::function<void(const QString &error)> done);

} // namespace GnomeKeybindings
