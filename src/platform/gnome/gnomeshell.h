// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

#include <functional>
#include <optional>

class QObject;

// Kiwano Snapper's GNOME Shell extension (resources/gnome-shell), which does from inside the
// shell what Mutter lets no other client do: it reads the clipboard and says when it changes,
// types the paste keys, binds our shortcuts, grabs the screen and raises our windows. One
// interface on the session bus; extension.js describes its methods and signals.
namespace GnomeShell {

extern const QString service;
extern const QString path;
extern const QString interface;
// The extension's folder name, as GNOME lists it among the enabled extensions.
extern const QString uuid;

QDBusMessage call(const QString &method);

// The accelerator the shell understands for a key position and X11 modifier bits
// ("<Shift><Super>6"); nothing for keys it has no name for here.
std::optional<QString> accelerator(quint32 keyCode, quint32 x11Modifiers);

struct Shot
{
    QByteArray picture;  // the PNG file's bytes, empty on failure
    QString error;       // why there is none
};
// The whole screen through the extension, written to a file of ours in folder and read back,
// the file removed; waits at most deadlineMs. For the capture tool, which has nothing else to do
// meanwhile.
Shot screenshot(const QDBusConnection &bus, const QString &folder, int deadlineMs);

// Asks GNOME Shell to turn our extension on, without waiting; done(error) comes once, with an
// empty error when the shell turned it on. Nothing when context is gone by then.
void enableExtension(const QDBusConnection &bus, QObject *context, std::function<void(const QString &error)> done);

// Asks the shell, without waiting, to activate the window of process pid with this title and
// keep it above the others or not. A window that is about to show is asked for again, every
// 50 ms for half a second, until the shell has it. Nothing when context is gone.
void raiseWindow(const QDBusConnection &bus, QObject *context, quint32 pid, const QString &title, bool above,
                 int tries = 10);

} // namespace GnomeShell
