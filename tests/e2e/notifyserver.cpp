// SPDX-License-Identifier: MIT
// kiwano-notifyserver: the desktop's notification service on the session bus, as far as the
// program uses it. Every Notify call becomes one line on standard output:
// APP_NAME <tab> APP_ICON <tab> SUMMARY <tab> BODY (tabs and line breaks in them as spaces).
// "ready" is printed once the name is owned.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <cstdio>

class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public slots:
    uint Notify(const QString &appName, uint, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &, int)
    {
        const auto flat = [](QString text) {
            return text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        };
        std::printf("%s\t%s\t%s\t%s\n", qPrintable(flat(appName)), qPrintable(flat(appIcon)),
                    qPrintable(flat(summary)), qPrintable(flat(body)));
        std::fflush(stdout);
        return ++m_lastId;
    }

private:
    uint m_lastId = 0;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    NotificationServer server;
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                            QDBusConnection::ExportAllSlots)
        || !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        std::fprintf(stderr, "kiwano-notifyserver: the name is taken or there is no session bus\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "notifyserver.moc"
