// SPDX-License-Identifier: MIT
#include "platform/reveal.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <utility>

namespace {

const QString service = QStringLiteral("org.freedesktop.FileManager1");

// Opens url with the desktop's handler for it; failed runs, on a later turn, when none starts.
void openWithDesktop(const QUrl &url, const std::function<void()> &failed)
{
    if (!QDesktopServices::openUrl(url) && failed)
        QMetaObject::invokeMethod(QCoreApplication::instance(), failed, Qt::QueuedConnection);
}

// Asks the file manager and returns at once: nothing here waits for the bus or the file
// manager. The bus starts a file manager that is installed but not running. When none is there
// to ask, or it refuses the request, the folder opens instead; a file manager that does not
// answer in time may still be busy showing the window, so that is no reason to open a second one.
void askFileManager(const QString &method, const QString &path, const QUrl &fallback,
                    std::function<void()> failed)
{
    const auto openFallback = [fallback, failed = std::move(failed)] { openWithDesktop(fallback, failed); };
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

void showItem(const QString &path, std::function<void()> failed)
{
    askFileManager(QStringLiteral("ShowItems"), path, QUrl::fromLocalFile(QFileInfo(path).absolutePath()),
                   std::move(failed));
}

void showFolder(const QString &path, std::function<void()> failed)
{
    askFileManager(QStringLiteral("ShowFolders"), path, QUrl::fromLocalFile(path), std::move(failed));
}

} // namespace Reveal
