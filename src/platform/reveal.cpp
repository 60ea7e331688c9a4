// SPDX-License-Identifier: MIT
#include "platform/reveal.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString service = QStringLiteral("org.freedesktop.FileManager1");

// Asks the file manager and returns at once: nothing here waits for the bus or the file
// manager. The bus starts a file manager that is installed but not running. When none is there
// to ask, or it refuses the request, the folder opens instead; a file manager that does not
// answer in time may still be busy showing the window, so that is no reason to open a second one.
void askFileManager(const QString &method, const QString &path, const QUrl &fallback)
{
    const auto openFallback = [fallback] { QDesktopServices::openUrl(fallback); };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !QCoreApplication::instance()) {
        openFallback();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/FileManager1"), service, method);
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, openFallback] {
                         watcher->deleteLater();
                         if (!watcher->isError())
                             return;
                         const QDBusError::ErrorType error = watcher->error().type();
                         if (error != QDBusError::NoReply && error != QDBusError::Timeout
                             && error != QDBusError::TimedOut)
                             openFallback();
                     });
}

} // namespace

namespace Reveal {

void showItem(const QString &path)
{
    askFileManager(QStringLiteral("ShowItems"), path, QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

void showFolder(const QString &path)
{
    askFileManager(QStringLiteral("ShowFolders"), path, QUrl::fromLocalFile(path));
}

} // namespace Reveal
