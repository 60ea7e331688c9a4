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
    return facts;
}

const QString x11Shortcuts = QStringLiteral("Shortcuts: native. X11.");
const QString x11Grabs = QStringLiteral("Grabs: native. X11.");
const QString x11Clipboard = QStringLiteral("Clipboard history: native. X11.");
const QString x11Paste = QStringLiteral("Paste: native. X11.");
const QString portalShortcuts = QStringLiteral(
    "Shortcuts: native. The desktop portal (asks once). Your desktop owns the keys: change them in "
    "its keyboard settings.");
const QString xwaylandShortcuts = QStringLiteral(
    "Shortcuts: falls back. Only while an X11 app is in front, through XWayland. Bind the commands "
    "below in your desktop's keyboard settings.");
const QString noShortcuts = QStringLiteral(
    "Shortcuts: not available. This desktop lets no app bind keys. Bind the commands below in your "
    "desktop's keyboard settings.");
const QString portalGrabs = QStringLiteral("Grabs: native. The desktop portal (asks once).");
const QString noGrabs = QStringLiteral(
    "Grabs: not available. This desktop shows the screen to no app. Take the picture with your "
    "desktop's own tool, then open it here.");
const QString mirroredClipboard = QStringLiteral(
    "Clipboard history: falls back. The copies your desktop hands to X11 apps, through XWayland.");
const QString whileActiveClipboard = QStringLiteral(
    "Clipboard history: falls back. Recorded only while Kiwano Snapper is in front. Bring a Kiwano "
    "Snapper window to the front before you copy what you want to keep.");
const QString dataControlClipboard = QStringLiteral("Clipboard history: native. The desktop's clipboard.");
const QString portalPaste = QStringLiteral("Paste: native. The desktop portal (asks once, at the first paste).");
const QString xwaylandPaste = QStringLiteral(
    "Paste: falls back. X11 apps only, through XWayland. Elsewhere entries are copied: press Ctrl+V yourself.");
const QString noPaste = QStringLiteral("Paste: not available. Copies only: press Ctrl+V yourself.");
} // namespace

void TestSession::planFollowsTheSession_data()
{
    QTest::addColumn<QString>("facts");
    QTest::addColumn<QStringList>("lines");

    // An X11 session keeps the X11 services even where portals and compositor offers show up.
    QTest::newRow("x11") << "x11 xserver" << QStringList{x11Shortcuts, x11Grabs, x11Clipboard, x11Paste};
    QTest::newRow("x11 with portals")
        << "x11 xserver shortcuts-portal remote-portal screenshot-portal screencopy data-control"
        << QStringList{x11Shortcuts, x11Grabs, x11Clipboard, x11Paste};
    QTest::newRow("x11 unreachable") << "x11" << QStringList{noShortcuts, noGrabs, whileActiveClipboard, noPaste};
    QTest::newRow("unknown with a display") << "xserver shortcuts-portal remote-portal"
                                            << QStringList{x11Shortcuts, x11Grabs, x11Clipboard, x11Paste};
    QTest::newRow("unknown, headless") << "shortcuts-portal remote-portal"
                                       << QStringList{noShortcuts, noGrabs, whileActiveClipboard, noPaste};
    // GNOME: no shortcuts portal before 48, no data control; the clipboard is mirrored to XWayland.
    QTest::newRow("gnome") << "wayland xserver remote-portal screenshot-portal"
                           << QStringList{xwaylandShortcuts, portalGrabs, mirroredClipboard, portalPaste};
    QTest::newRow("gnome 48") << "wayland xserver shortcuts-portal remote-portal screenshot-portal"
                              << QStringList{portalShortcuts, portalGrabs, mirroredClipboard, portalPaste};
    QTest::newRow("kde") << "wayland xserver shortcuts-portal remote-portal screenshot-portal data-control"
                         << QStringList{portalShortcuts, portalGrabs, dataControlClipboard, portalPaste};
    // sway: its own protocols win over any portal; no shortcuts portal.
    const QStringList sway{xwaylandShortcuts, QStringLiteral("Grabs: native. The desktop's screen copy."),
                           dataControlClipboard, QStringLiteral("Paste: native. The desktop's virtual keyboard.")};
    QTest::newRow("sway") << "wayland xserver screenshot-portal screencopy data-control virtual-keyboard" << sway;
    QTest::newRow("sway without xwayland")
        << "wayland screencopy data-control virtual-keyboard"
        << QStringList{noShortcuts, sway.at(1), dataControlClipboard, sway.at(3)};
    QTest::newRow("wayland, xwayland only") << "wayland xserver"
                                            << QStringList{xwaylandShortcuts, noGrabs, mirroredClipboard, xwaylandPaste};
    QTest::newRow("wayland, shortcuts portal, xwayland")
        << "wayland xserver shortcuts-portal"
        << QStringList{portalShortcuts, noGrabs, mirroredClipboard, xwaylandPaste};
    QTest::newRow("wayland, portals, no xwayland")
        << "wayland shortcuts-portal remote-portal screenshot-portal"
        << QStringList{portalShortcuts, portalGrabs, whileActiveClipboard, portalPaste};
    QTest::newRow("wayland, nothing") << "wayland" << QStringList{noShortcuts, noGrabs, whileActiveClipboard, noPaste};
}

void TestSession::planFollowsTheSession()
{
    QFETCH(QString, facts);
    QFETCH(QStringList, lines);

    const ServicePlan chosen = plan(factsFrom(facts));
    QStringList told;
    for (const ServiceAccount &service : chosen.account())
        told << service.text();
    QCOMPARE(told, lines);
    // The picker speaks of Ctrl+V exactly when nothing can type the paste.
    QCOMPARE(!chosen.copyOnlyLine().isEmpty(), lines.at(3) == noPaste);
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
