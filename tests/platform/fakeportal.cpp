// SPDX-License-Identifier: MIT
// Stands in for the desktop portal on a test's private session bus: just enough of the global
// shortcuts, remote desktop and screenshot interfaces, plus a control interface through which the test
// presses shortcuts and reads what the portal was asked.
//   --refuse   the user says no where a desktop would ask (binding, starting a session)
//   --silent   requests are accepted but never answered
//   --mute     nothing on the portal is answered at all, not even which interfaces it has
//   --absent   on the bus, without the portal's name
//   --terse    binding answers without the bound list, which ListShortcuts gives
//   --without=INTERFACE   an older portal that lacks this interface (its version is not known)
//   --screenshots=DIR     where screenshots are left, as the test pattern of seed 3 (1280x720)
#include "platform/portal/portalrequest.h"
#include "platform/portal/portalshortcut.h"
#include "platform/testpattern.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QImage>
#include <QUrl>

#include <cstdio>

namespace {
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString remoteInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString screenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString controlInterface = QStringLiteral("org.kiwano.test.FakePortal");

QString escapedSender(const QDBusMessage &message)
{
    return message.service().mid(1).replace(u'.', u'_');
}
} // namespace

class FakePortal : public QDBusVirtualObject
{
    const QStringList m_arguments;

public:
    explicit FakePortal(const QStringList &arguments) : m_arguments(arguments)
    {
        for (const QString &argument : arguments) {
            if (argument.startsWith(QLatin1String("--without=")))
                without << argument.mid(10);
            else if (argument.startsWith(QLatin1String("--screenshots=")))
                screenshots = argument.mid(14);
        }
    }
    bool is(const char *option) const { return m_arguments.contains(QLatin1String(option)); }
    const bool refuse = is("--refuse"), silent = is("--silent"), mute = is("--mute"), terse = is("--terse");
    QStringList without;
    QString screenshots = QDir::tempPath();

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString member = message.member();
        const QList<QVariant> args = message.arguments();
        if (mute && message.interface() != controlInterface)
            return true;
        if (message.interface() == controlInterface) {
            if (member == QLatin1String("Activate")) {
                QDBusMessage signal = QDBusMessage::createSignal(Portal::path, shortcutsInterface, "Activated");
                // A second argument presses the shortcut in some other session.
                const QString session = args.size() > 1 ? args.at(1).toString() : m_shortcutSession;
                signal << QVariant::fromValue(QDBusObjectPath(session)) << args.value(0).toString()
                       << qulonglong(0) << QVariantMap();
                connection.send(signal);
                connection.send(message.createReply());
            } else if (member == QLatin1String("Change")) {
                // The user gives a shortcut other keys in the desktop's settings.
                for (PortalShortcut &shortcut : m_bound) {
                    if (shortcut.id == args.value(0).toString())
                        shortcut.properties[QStringLiteral("trigger_description")] = args.value(1).toString();
                }
                QDBusMessage signal = QDBusMessage::createSignal(Portal::path, shortcutsInterface, "ShortcutsChanged");
                signal << QVariant::fromValue(QDBusObjectPath(m_shortcutSession)) << QVariant::fromValue(m_bound);
                connection.send(signal);
                connection.send(message.createReply());
            } else {
                connection.send(message.createReply(m_record));
            }
            return true;
        }
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties")) {
            const QString interface = args.value(0).toString();
            const bool known = QStringList{shortcutsInterface, remoteInterface, screenshotInterface}.contains(interface)
                && !without.contains(interface);
            if (member == QLatin1String("Get") && known && args.value(1).toString() == QLatin1String("version"))
                connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            else
                connection.send(message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such property")));
            return true;
        }
        if (member == QLatin1String("NotifyKeyboardKeysym")) {
            m_record << QStringLiteral("key %1 %2").arg(args.value(2).toInt()).arg(args.value(3).toUInt());
            connection.send(message.createReply());
            return true;
        }

        const QVariantMap options = qdbus_cast<QVariantMap>(args.last());
        const QString sender = escapedSender(message);
        const QString handle = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                   .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        m_record << member;
        uint code = 0;
        QVariantMap results;
        if (member == QLatin1String("CreateSession")) {
            const QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                                        .arg(sender, options.value(QStringLiteral("session_handle_token")).toString());
            if (message.interface() == shortcutsInterface)
                m_shortcutSession = session;
            results.insert(QStringLiteral("session_handle"), session);
        } else if (member == QLatin1String("BindShortcuts")) {
            code = refuse ? 1 : 0;
            QList<PortalShortcut> shortcuts = qdbus_cast<QList<PortalShortcut>>(args.value(1));
            for (PortalShortcut &shortcut : shortcuts) {
                const QString trigger = shortcut.properties.value(QStringLiteral("preferred_trigger")).toString();
                m_record << QStringLiteral("%1 %2 %3").arg(shortcut.id, trigger,
                    shortcut.properties.value(QStringLiteral("description")).toString());
                // Described in the desktop's own words, not as asked.
                shortcut.properties = {{QStringLiteral("trigger_description"), trigger.toLower()}};
            }
            m_bound = shortcuts;
            if (!terse)
                results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(shortcuts));
        } else if (member == QLatin1String("ListShortcuts")) {
            results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(m_bound));
        } else if (member == QLatin1String("SelectDevices")) {
            m_record << QStringLiteral("types %1").arg(options.value(QStringLiteral("types")).toUInt());
        } else if (member == QLatin1String("Start")) {
            code = refuse ? 1 : 0;
            results.insert(QStringLiteral("devices"), 1u);
        } else if (member == QLatin1String("Screenshot") && message.interface() == screenshotInterface) {
            m_record << QStringLiteral("interactive %1").arg(options.value(QStringLiteral("interactive")).toBool());
            code = refuse ? 1 : 0;
            if (!refuse && !silent) {
                // A desktop saves the picture as a file of its own naming and passes it on.
                const QString file = QDir(screenshots).filePath(QStringLiteral("Screenshot-%1.png").arg(++m_shots));
                TestPattern::image(QSize(1280, 720), 3).save(file);
                results.insert(QStringLiteral("uri"), QUrl::fromLocalFile(file).toString());
            }
        } else {
            return false;
        }
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        if (!silent) {
            connection.send(QDBusMessage::createSignal(handle, "org.freedesktop.portal.Request", "Response") << code << results);
        }
        return true;
    }

private:
    QString m_shortcutSession;
    QStringList m_record;
    QList<PortalShortcut> m_bound;
    int m_shots = 0;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PortalShortcuts::registerTypes();
    FakePortal portal(app.arguments());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(Portal::path, &portal) || (!portal.is("--absent") && !bus.registerService(Portal::service)))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
