// SPDX-License-Identifier: MIT
#include "platform/reveal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString service = QStringLiteral("org.freedesktop.FileManager1");

// Asks the file manager without waiting for it; false when no file manager offers the service
// (then the caller falls back), so a slow file manager never blocks the window.
bool askFileManager(const QString &method, const QString &path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const auto registered = bus.interface()->isServiceRegistered(service);
    // A file manager started by D-Bus activation is not registered yet but activatable.
    const auto activatable = bus.interface()->activatableServiceNames();
    if (!(registered.isValid() && registered.value())
        && !(activatable.isValid() && activatable.value().contains(service)))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/FileManager1"), service, method);
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    return bus.send(call);
}

} // namespace

namespace Reveal {

void showItem(const QString &path)
{
    if (!askFileManager(QStringLiteral("ShowItems"), path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

void showFolder(const QString &path)
{
    if (!askFileManager(QStringLiteral("ShowFolders"), path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace Reveal
