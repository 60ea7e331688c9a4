// SPDX-License-Identifier: MIT
#include "platform/session.h"
#include "platform/wayland/waylandconnection.h"
#include "privatebus.h"

#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Kind = SessionFacts::Kind;

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
    void silenceCostsTheAskerNothing();

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

namespace {
// The facts of a session written as words: "wayland xwayland shortcuts-portal screencopy" ...
SessionFacts factsFrom(const QString &words)
{
    const QStringList has = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    SessionFacts facts;
    facts.kind = has.contains(QLatin1String("wayland")) ? Kind::wayland
        : has.contains(QLatin1String("x11"))            ? Kind::x11
                                                        : Kind::other;
    facts.hasX11 = has.contains(QLatin1String("xserver"));
    facts.hasGlobalShortcutsPortal = has.contains(QLatin1String("shortcuts-portal"));
    facts.hasRemoteDesktopPortal = has.contains(QLatin1String("remote-portal"));
    facts.hasScreenshotPortal = has.contains(QLatin1String("screenshot-portal"));
    facts.hasScreencopy = has.contains(QLatin1String("screencopy"));
    facts.hasDataControl = has.contains(QLatin1String("data-control"));
    facts.hasVirtualKeyboard = has.contains(QLatin1String("virtual-keyboard"));
    facts.hasShellExtension = has.contains(QLatin1String("shell-extension"));
    return facts;
}

// The plan as words, in the order shortcuts, grabs, clipboard, paste.
QString words(const ServicePlan &plan)
{
    static const char *shortcuts[] = {"x11", "portal", "none", "extension"};
    static const char *paste[] = {"xtest", "virtual-keyboard", "portal", "none", "extension"};
    static const char *capture[] = {"x11", "screencopy", "portal", "none", "extension"};
    static const char *clipboard[] = {"x11", "data-control", "while-active", "extension"};
    return QStringLiteral("%1 %2 %3 %4").arg(shortcuts[int(plan.shortcuts)], capture[int(plan.capture)],
                                             clipboard[int(plan.clipboard)], paste[int(plan.paste)]);
}
} // namespace

void TestSession::planFollowsTheSession_data()
{
    QTest::addColumn<QString>("facts");
    QTest::addColumn<QString>("plan");

    // An X11 session keeps the X11 services even where portals and compositor offers show up.
    QTest::newRow("x11 with portals") << "x11 xserver shortcuts-portal remote-portal screenshot-portal screencopy data-control"
                                      << "x11 x11 x11 xtest";
    QTest::newRow("x11 unreachable") << "x11" << "none none while-active none";
    QTest::newRow("unknown with a display") << "xserver shortcuts-portal remote-portal" << "x11 x11 x11 xtest";
    QTest::newRow("unknown, headless") << "shortcuts-portal remote-portal" << "none none while-active none";
    // GNOME: no shortcuts portal before 48, no data control; the clipboard is mirrored to XWayland.
    QTest::newRow("gnome") << "wayland xserver remote-portal screenshot-portal" << "x11 portal x11 portal";
    // Our own shell extension beats the portals and XWayland's mirror on GNOME.
    QTest::newRow("gnome with our extension") << "wayland xserver remote-portal screenshot-portal shell-extension"
                                              << "extension extension extension extension";
    QTest::newRow("kde") << "wayland xserver shortcuts-portal remote-portal screenshot-portal data-control"
                         << "portal portal data-control portal";
    // sway: its own protocols win over any portal.
    QTest::newRow("sway") << "wayland xserver screenshot-portal screencopy data-control virtual-keyboard"
                          << "x11 screencopy data-control virtual-keyboard";
    QTest::newRow("sway without xwayland") << "wayland screencopy data-control virtual-keyboard"
                                           << "none screencopy data-control virtual-keyboard";
    QTest::newRow("wayland, xwayland only") << "wayland xserver" << "x11 none x11 xtest";
    QTest::newRow("wayland, portals, no xwayland") << "wayland shortcuts-portal remote-portal screenshot-portal"
                                                   << "portal portal while-active portal";
    QTest::newRow("wayland, nothing") << "wayland" << "none none while-active none";
}

void TestSession::planFollowsTheSession()
{
    QFETCH(QString, facts);
    QFETCH(QString, plan);

    const ServicePlan chosen = ::plan(factsFrom(facts));
    QCOMPARE(words(chosen), plan);
    // The picker speaks of Ctrl+V exactly when nothing can type the paste.
    QCOMPARE(!chosen.copyOnlyLine().isEmpty(), chosen.paste == ServicePlan::Paste::none);
}

void TestSession::environmentTellsTheKind_data()
{
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<QString>("waylandDisplay");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("x11");

    QTest::newRow("x11") << "x11" << "" << ":0" << int(Kind::x11) << true;
    QTest::newRow("type in capitals") << "Wayland" << "" << ":1" << int(Kind::wayland) << true;
    QTest::newRow("wayland alone") << "wayland" << "wayland-0" << "" << int(Kind::wayland) << false;
    // The session type wins over the display variables.
    QTest::newRow("x11 beside a nested compositor") << "x11" << "wayland-1" << ":0" << int(Kind::x11) << true;
    QTest::newRow("no type, wayland display") << "" << "wayland-0" << ":1" << int(Kind::wayland) << true;
    QTest::newRow("tty, x display") << "tty" << "" << ":5" << int(Kind::x11) << true;
    QTest::newRow("nothing") << "" << "" << "" << int(Kind::other) << false;
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
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), sessionType);
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    SessionProbe probe;
    QSignalSpy finished(&probe, &SessionProbe::finished);
    probe.start(Session::fromEnvironment(environment), {});
    // Even with nothing to ask, the answer comes from the event loop.
    QVERIFY(!probe.isFinished());
    QVERIFY(finished.wait(5000));
    const auto facts = finished.first().first().value<SessionFacts>();
    QCOMPARE(facts.hasGlobalShortcutsPortal, shortcuts);
    QCOMPARE(facts.hasRemoteDesktopPortal, remote);
    QCOMPARE(facts.desktop, QStringLiteral("GNOME"));
    QCOMPARE(probe.facts().hasGlobalShortcutsPortal, shortcuts);
}

void TestSession::silenceCostsTheAskerNothing()
{
    // A portal that answers nothing at all and a compositor that takes the connection and says
    // nothing: every question runs into its deadline while the asking thread's loop keeps turning.
    m_portal.start(QStringLiteral(FAKEPORTAL_PATH), {QStringLiteral("--mute")});
    QVERIFY(m_portal.waitForReadyRead(5000));
    QTemporaryDir dir;
    QLocalServer compositor;
    QVERIFY(compositor.listen(dir.filePath(QStringLiteral("silent"))));

    int turns = 0;
    QTimer tick;
    tick.setInterval(5);
    connect(&tick, &QTimer::timeout, this, [&turns] { ++turns; });
    tick.start();
    SessionFacts facts;
    facts.kind = Kind::wayland;
    facts.hasX11 = true;
    SessionProbe probe;
    QSignalSpy finished(&probe, &SessionProbe::finished);
    // Asked as the app asks: over a Wayland connection, here to a compositor that never answers.
    const QByteArray silent = compositor.fullServerName().toLocal8Bit();
    probe.start(facts, [silent](int timeoutMs) {
        const WaylandConnection::Offers offered = WaylandConnection::offers(silent, timeoutMs);
        return CompositorOffers{offered.screencopy, offered.dataControl, offered.virtualKeyboard};
    }, QDBusConnection::sessionBus(), 300);
    QCOMPARE(turns, 0);
    QVERIFY(finished.wait(5000));
    QVERIFY2(turns >= 10, qPrintable(QStringLiteral("the loop turned %1 times while the session was asked").arg(turns)));

    // Silence counts as not offered: XWayland serves what it can.
    const SessionFacts told = probe.facts();
    QVERIFY(!told.hasGlobalShortcutsPortal && !told.hasRemoteDesktopPortal && !told.hasScreenshotPortal);
    QVERIFY(!told.hasDataControl && !told.hasVirtualKeyboard && !told.hasScreencopy);
    QVERIFY(told.hasX11);
    const ServicePlan chosen = plan(told);
    QCOMPARE(chosen.shortcuts, ServicePlan::Shortcuts::x11);
    QCOMPARE(chosen.paste, ServicePlan::Paste::xtest);
    QCOMPARE(chosen.clipboard, ServicePlan::Clipboard::x11);
}

KIWANO_TEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
