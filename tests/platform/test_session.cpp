// SPDX-License-Identifier: MIT
#include "platform/session.h"
#include "privatebus.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using Kind = SessionFacts::Kind;
using Shortcuts = ServicePlan::Shortcuts;
using Paste = ServicePlan::Paste;

// Which services a session gets, and how the session is read: from the environment and from a
// fake portal on a private session bus.
class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void planFollowsTheSession_data();
    void planFollowsTheSession();
    void environmentTellsTheKind_data();
    void environmentTellsTheKind();
    void portalsAreAsked_data();
    void portalsAreAsked();

private:
    PrivateBus m_bus;
    QProcess m_portal;
};

void TestSession::initTestCase()
{
    if (!m_bus.start())
        QSKIP("no dbus-daemon to start a session bus");
    QVERIFY(QDBusConnection::sessionBus().isConnected());
}


void TestSession::cleanup()
{
    if (m_portal.state() != QProcess::NotRunning) {
        m_portal.kill();
        m_portal.waitForFinished(2000);
    }
}

void TestSession::planFollowsTheSession_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("x11");
    QTest::addColumn<bool>("shortcutsPortal");
    QTest::addColumn<bool>("remotePortal");
    QTest::addColumn<int>("shortcuts");
    QTest::addColumn<int>("paste");
    QTest::addColumn<QString>("description");

    const int x11 = int(Kind::x11), wayland = int(Kind::wayland), other = int(Kind::other);
    // An X11 session keeps the X11 services even where a portal runs.
    QTest::newRow("x11") << x11 << true << false << false << int(Shortcuts::x11) << int(Paste::xtest)
                         << "Shortcuts: X11. Paste: X11.";
    QTest::newRow("x11 with portals") << x11 << true << true << true << int(Shortcuts::x11) << int(Paste::xtest)
                                      << "Shortcuts: X11. Paste: X11.";
    QTest::newRow("x11 unreachable") << x11 << false << false << false << int(Shortcuts::none) << int(Paste::none)
                                     << "Shortcuts: not available in this session. Paste: not available, copy only.";
    QTest::newRow("wayland, both portals") << wayland << true << true << true << int(Shortcuts::portal)
                                           << int(Paste::portal)
                                           << "Shortcuts: desktop portal. Paste: desktop portal.";
    QTest::newRow("wayland, shortcuts portal, xwayland")
        << wayland << true << true << false << int(Shortcuts::portal) << int(Paste::xtest)
        << "Shortcuts: desktop portal. Paste: X11 apps only.";
    QTest::newRow("wayland, remote portal, xwayland")
        << wayland << true << false << true << int(Shortcuts::x11) << int(Paste::portal)
        << "Shortcuts: only while an X11 app is in front. Paste: desktop portal.";
    QTest::newRow("wayland, xwayland only") << wayland << true << false << false << int(Shortcuts::x11)
                                            << int(Paste::xtest)
                                            << "Shortcuts: only while an X11 app is in front. Paste: X11 apps only.";
    QTest::newRow("wayland, portals, no xwayland") << wayland << false << true << true << int(Shortcuts::portal)
                                                   << int(Paste::portal)
                                                   << "Shortcuts: desktop portal. Paste: desktop portal.";
    QTest::newRow("wayland, nothing") << wayland << false << false << false << int(Shortcuts::none)
                                      << int(Paste::none)
                                      << "Shortcuts: not available in this session. Paste: not available, copy only.";
    QTest::newRow("unknown with a display") << other << true << true << true << int(Shortcuts::x11)
                                            << int(Paste::xtest) << "Shortcuts: X11. Paste: X11.";
    QTest::newRow("unknown, headless") << other << false << true << true << int(Shortcuts::none)
                                       << int(Paste::none)
                                       << "Shortcuts: not available in this session. Paste: not available, copy only.";
}

void TestSession::planFollowsTheSession()
{
    QFETCH(int, kind);
    QFETCH(bool, x11);
    QFETCH(bool, shortcutsPortal);
    QFETCH(bool, remotePortal);
    QFETCH(int, shortcuts);
    QFETCH(int, paste);
    QFETCH(QString, description);

    SessionFacts facts;
    facts.kind = Kind(kind);
    facts.hasX11 = x11;
    facts.hasGlobalShortcutsPortal = shortcutsPortal;
    facts.hasRemoteDesktopPortal = remotePortal;
    const ServicePlan chosen = plan(facts);
    QCOMPARE(int(chosen.shortcuts), shortcuts);
    QCOMPARE(int(chosen.paste), paste);
    QCOMPARE(chosen.describe(), description);
}

void TestSession::environmentTellsTheKind_data()
{
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<QString>("waylandDisplay");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("x11");

    QTest::newRow("x11") << "x11" << "" << ":0" << int(Kind::x11) << true;
    QTest::newRow("wayland with xwayland") << "wayland" << "wayland-0" << ":1" << int(Kind::wayland) << true;
    QTest::newRow("wayland alone") << "wayland" << "wayland-0" << "" << int(Kind::wayland) << false;
    QTest::newRow("type in capitals") << "Wayland" << "" << ":1" << int(Kind::wayland) << true;
    // The session type wins over the display variables.
    QTest::newRow("x11 beside a nested compositor") << "x11" << "wayland-1" << ":0" << int(Kind::x11) << true;
    QTest::newRow("no type, wayland display") << "" << "wayland-0" << ":1" << int(Kind::wayland) << true;
    QTest::newRow("tty, x display") << "tty" << "" << ":5" << int(Kind::x11) << true;
    QTest::newRow("nothing") << "" << "" << "" << int(Kind::other) << false;
    QTest::newRow("mir") << "mir" << "" << "" << int(Kind::other) << false;
}

void TestSession::environmentTellsTheKind()
{
    QFETCH(QString, sessionType);
    QFETCH(QString, waylandDisplay);
    QFETCH(QString, display);
    QFETCH(int, kind);
    QFETCH(bool, x11);

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), sessionType);
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandDisplay);
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
    const SessionFacts facts = Session::fromEnvironment(environment);
    QCOMPARE(int(facts.kind), kind);
    QCOMPARE(facts.hasX11, x11);
    QCOMPARE(facts.desktop, QStringLiteral("KDE"));
}

void TestSession::portalsAreAsked_data()
{
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<QStringList>("portal");  // the fake portal's switches; empty: none running
    QTest::addColumn<bool>("shortcuts");
    QTest::addColumn<bool>("remote");

    const QStringList full{QStringLiteral("--terse")};
    QTest::newRow("wayland, full portal") << "wayland" << full << true << true;
    QTest::newRow("wayland, no shortcuts interface")
        << "wayland" << QStringList{QStringLiteral("--without=org.freedesktop.portal.GlobalShortcuts")} << false << true;
    QTest::newRow("wayland, no remote interface")
        << "wayland" << QStringList{QStringLiteral("--without=org.freedesktop.portal.RemoteDesktop")} << true << false;
    QTest::newRow("wayland, portal name not taken") << "wayland" << QStringList{QStringLiteral("--absent")} << false
                                                    << false;
    QTest::newRow("wayland, no portal") << "wayland" << QStringList{} << false << false;
    // An X11 session never uses the portals, so start-up does not ask them.
    QTest::newRow("x11, full portal") << "x11" << full << false << false;
}

void TestSession::portalsAreAsked()
{
    QFETCH(QString, sessionType);
    QFETCH(QStringList, portal);
    QFETCH(bool, shortcuts);
    QFETCH(bool, remote);

    if (!portal.isEmpty()) {
        m_portal.start(QStringLiteral(FAKEPORTAL_PATH), portal);
        QVERIFY(m_portal.waitForReadyRead(5000));
    }
    qputenv("XDG_SESSION_TYPE", sessionType.toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    const SessionFacts facts = Session::current();
    QCOMPARE(facts.hasGlobalShortcutsPortal, shortcuts);
    QCOMPARE(facts.hasRemoteDesktopPortal, remote);
    QCOMPARE(facts.desktop, QStringLiteral("GNOME"));
}

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
