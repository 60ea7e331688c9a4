// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QLocalServer>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "app/appdelegate.h"
#include "app/shellfixture.h"

// The services the application starts with, on a real X server, as the session type and the
// desktop portal (a fake one on a private bus) vary.
class TestAppServices : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ShellSandbox> m_sandbox;
    QProcess m_bus;
    QProcess m_portal;

    static QStringList portalRecord()
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.kiwano.test.FakePortal"), QStringLiteral("Record"));
        return QDBusConnection::sessionBus().call(call).arguments().value(0).toStringList();
    }

private slots:
    void initTestCase()
    {
        m_sandbox = std::make_unique<ShellSandbox>();
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("no dbus-daemon to start a session bus");
        m_bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        QVERIFY(m_bus.waitForReadyRead(5000));
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void cleanupTestCase()
    {
        if (m_bus.state() != QProcess::NotRunning) {
            m_bus.terminate();
            m_bus.waitForFinished(2000);
        }
    }

    void cleanup()
    {
        if (m_portal.state() != QProcess::NotRunning) {
            m_portal.kill();
            m_portal.waitForFinished(2000);
        }
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
    }

    void servicesFollowTheSession_data()
    {
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<bool>("portal");
        QTest::addColumn<int>("shortcuts");
        QTest::addColumn<int>("paste");
        QTest::addColumn<bool>("portalAskedForShortcuts");

        using Shortcuts = ServicePlan::Shortcuts;
        using Paste = ServicePlan::Paste;
        // An X11 session is served by X11 alone, whatever portal runs beside it.
        QTest::newRow("x11") << "x11" << true << int(Shortcuts::x11) << int(Paste::xtest) << false;
        QTest::newRow("wayland, portal") << "wayland" << true << int(Shortcuts::portal) << int(Paste::portal) << true;
        QTest::newRow("wayland, no portal") << "wayland" << false << int(Shortcuts::x11) << int(Paste::xtest) << false;
    }

    void servicesFollowTheSession()
    {
        QFETCH(QString, sessionType);
        QFETCH(bool, portal);
        QFETCH(int, shortcuts);
        QFETCH(int, paste);
        QFETCH(bool, portalAskedForShortcuts);

        if (portal) {
            m_portal.start(QStringLiteral(FAKEPORTAL_PATH), QStringList{});
            QVERIFY(m_portal.waitForReadyRead(5000));
        }
        qputenv("XDG_SESSION_TYPE", sessionType.toUtf8());
        AppDelegate delegate;
        delegate.start();
        // A Wayland session asks its compositor and portal while the loop runs.
        QCOMPARE(delegate.hasStartedServices(), sessionType == QLatin1String("x11"));
        QTRY_VERIFY(delegate.hasStartedServices());
        QCOMPARE(int(delegate.servicePlan().shortcuts), shortcuts);
        QCOMPARE(int(delegate.servicePlan().paste), paste);
        QCOMPARE(delegate.servicePlan().throughXWayland, sessionType == QLatin1String("wayland"));
        if (portalAskedForShortcuts)
            QTRY_VERIFY(portalRecord().contains(QStringLiteral("BindShortcuts")));
        else if (portal)
            QVERIFY(!portalRecord().contains(QStringLiteral("CreateSession")));
        delegate.applicationWillTerminate();
    }

    void aSilentSessionHoldsUpNothing()
    {
        // A portal that answers nothing and a compositor that takes the connection and says
        // nothing: the app starts, its loop keeps turning, and the picker and the settings asked
        // for meanwhile come once the deadline settled the plan.
        m_portal.start(QStringLiteral(FAKEPORTAL_PATH), {QStringLiteral("--mute")});
        QVERIFY(m_portal.waitForReadyRead(5000));
        QLocalServer compositor;
        QVERIFY(compositor.listen(m_sandbox->path(QStringLiteral("silent-compositor"))));
        qputenv("XDG_SESSION_TYPE", "wayland");
        qputenv("WAYLAND_DISPLAY", compositor.fullServerName().toLocal8Bit());
        const auto restore = qScopeGuard([] { qunsetenv("WAYLAND_DISPLAY"); });

        int turns = 0;
        QTimer tick;
        tick.setInterval(5);
        connect(&tick, &QTimer::timeout, this, [&turns] { ++turns; });
        tick.start();
        AppDelegate delegate;
        int settingsShown = 0;
        delegate.setSettingsOpener([&settingsShown] { ++settingsShown; });
        QSignalSpy started(&delegate, &AppDelegate::servicesStarted);
        delegate.start();
        delegate.handle({QStringLiteral("settings")});
        QCOMPARE(turns, 0);
        QCOMPARE(settingsShown, 0);
        QVERIFY(started.wait(5000));
        QVERIFY2(turns >= 20, qPrintable(QStringLiteral("the loop turned %1 times").arg(turns)));
        QCOMPARE(settingsShown, 1);
        // Nothing answered: XWayland serves what it can.
        QCOMPARE(delegate.servicePlan().shortcuts, ServicePlan::Shortcuts::x11);
        QCOMPARE(delegate.servicePlan().paste, ServicePlan::Paste::xtest);
        QCOMPARE(delegate.servicePlan().clipboard, ServicePlan::Clipboard::x11);
        QVERIFY(delegate.servicePlan().throughXWayland);
        delegate.applicationWillTerminate();
    }
};

KIWANO_TEST_MAIN(TestAppServices)
#include "test_appservices_x11.moc"
