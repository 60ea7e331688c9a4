// SPDX-License-Identifier: MIT
#include <QLocalServer>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>

#include "app/appdelegate.h"
#include "app/shellfixture.h"
#include "platform/privatebus.h"
#include "support/loopturns.h"

// The application starting in a Wayland session whose portal (a fake one on a private bus) and
// compositor stay silent, with XWayland's X server at hand. Which services each session gets is
// the session's plan, tested with the platform.
class TestAppServices : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ShellSandbox> m_sandbox;
    PrivateBus m_bus;
    QProcess m_portal;

private slots:
    void initTestCase()
    {
        m_sandbox = std::make_unique<ShellSandbox>();
        if (!m_bus.start())
            QSKIP("no dbus-daemon to start a session bus");
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

        LoopTurns turns;
        AppDelegate delegate;
        int settingsShown = 0;
        delegate.setSettingsOpener([&settingsShown] { ++settingsShown; });
        QSignalSpy started(&delegate, &AppDelegate::servicesStarted);
        delegate.start();
        delegate.handle({QStringLiteral("settings")});
        QCOMPARE(turns.count, 0);
        QCOMPARE(settingsShown, 0);
        QVERIFY(started.wait(5000));
        QVERIFY2(turns.count >= 20, qPrintable(QStringLiteral("the loop turned %1 times").arg(turns.count)));
        QCOMPARE(settingsShown, 1);
        // Nothing answered: XWayland serves what it can.
        QCOMPARE(delegate.servicePlan().shortcuts, ServicePlan::Shortcuts::x11);
        QCOMPARE(delegate.servicePlan().paste, ServicePlan::Paste::xtest);
        QCOMPARE(delegate.servicePlan().clipboard, ServicePlan::Clipboard::x11);
        QVERIFY(delegate.servicePlan().throughXWayland);
        delegate.applicationWillTerminate();
        m_portal.kill();
        m_portal.waitForFinished();
    }
};

KIWANO_TEST_MAIN(TestAppServices)
#include "test_appservices_x11.moc"
