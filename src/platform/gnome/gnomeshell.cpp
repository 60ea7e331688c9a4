// SPDX-License-Identifier: MIT
#include "platform/gnome/gnomeshell.h"

#include "platform/keycodes.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QFile>
#include <QTemporaryFile>
#include <QTimer>

namespace GnomeShell {

const QString service = QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell");
const QString path = QStringLiteral("/org/kiwanosnapper/KiwanoSnapper/Shell");
const QString interface = QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell1");
const QString uuid = QStringLiteral("kiwano-snapper@kiwanosnapper.org");

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(service, path, interface, method);
}

std::optional<QString> accelerator(quint32 keyCode, quint32 x11Modifiers)
{
    const std::optional<QString> named = KeyCodes::keysymName(keyCode);
    if (!named)
        return std::nullopt;
    const QString &key = *named;

    // X11 bits: Shift 1, Control 4, Mod1 (Alt) 8, Mod4 (Super) 64.
    QString result;
    if (x11Modifiers & 4)
        result += QStringLiteral("<Control>");
    if (x11Modifiers & 8)
        result += QStringLiteral("<Alt>");
    if (x11Modifiers & 1)
        result += QStringLiteral("<Shift>");
    if (x11Modifiers & 64)
        result += QStringLiteral("<Super>");
    return result + key;
}

Shot screenshot(const QDBusConnection &bus, const QString &folder, int deadlineMs)
{
    // The shell writes as our user: a name only we chose, in a folder only we may write.
    QTemporaryFile file(folder + QStringLiteral("/kiwano-shell-XXXXXX.png"));
    if (!file.open())
        return {{}, QStringLiteral("no file for the shell's picture in %1").arg(folder)};
    file.close();
    QDBusMessage message = call(QStringLiteral("Screenshot"));
    message << file.fileName();
    const QDBusReply<bool> reply = QDBusConnection(bus).call(message, QDBus::Block, deadlineMs);
    if (!reply.isValid())
        return {{}, QStringLiteral("the GNOME Shell extension did not grab the screen (%1)").arg(reply.error().message())};
    if (!reply.value())
        return {{}, QStringLiteral("the GNOME Shell extension could not grab the screen")};
    QFile written(file.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("the shell's picture cannot be read")};
    return {written.readAll(), {}};
}

void enableExtension(const QDBusConnection &bus, QObject *context, std::function<void(const QString &error)> done)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("EnableExtension"));
    message << uuid;
    auto *call = new QDBusPendingCallWatcher(QDBusConnection(bus).asyncCall(message, 5000), context);
    QObject::connect(call, &QDBusPendingCallWatcher::finished, context, [done](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<bool> reply = *call;
        if (!reply.isValid())
            done(QCoreApplication::translate("GnomeShell", "GNOME Shell did not answer (%1)").arg(reply.error().message()));
        else if (!reply.value())
            // The shell reads the installed extensions when it starts.
            done(QCoreApplication::translate("GnomeShell", "GNOME Shell doesn't know it yet: log out and back in, then try again"));
        else
            done({});
    });
}

void raiseWindow(const QDBusConnection &bus, QObject *context, quint32 pid, const QString &title, bool above, int tries)
{
    QDBusMessage message = call(QStringLiteral("RaiseWindow"));
    message << pid << title << above;
    auto *call = new QDBusPendingCallWatcher(QDBusConnection(bus).asyncCall(message, 2000), context);
    QObject::connect(call, &QDBusPendingCallWatcher::finished, context, [=](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<bool> reply = *call;
        // No shell to ask, or it has the window: done.
        if (!reply.isValid() || reply.value() || tries <= 1)
            return;
        QTimer::singleShot(50, context, [=] { raiseWindow(bus, context, pid, title, above, tries - 1); });
    });
}

} // namespace GnomeShell
