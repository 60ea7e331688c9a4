// SPDX-License-Identifier: MIT
#include "platform/session.h"
#include "privatebus.h"

#include <QSignalSpy>

using Kind = SessionFacts::Kind;

namespace {
// The facts of a session written as words: "wayland xwayland shortcuts-portal screencopy" ...
SessionFacts factsFrom(const QString &words)
{
    const QStringList has = words.split(u' ');
    SessionFacts facts;
    facts.kind = has.contains("wayland") ? Kind::wayland : has.contains("x11") ? Kind::x11 : Kind::other;
    using F = SessionFacts;
    for (const auto &[word, fact] : {std::pair{"xserver", &F::hasX11}, {"shortcuts-portal", &F::hasGlobalShortcutsPortal},
                                     {"remote-portal", &F::hasRemoteDesktopPortal}, {"screenshot-portal", &F::hasScreenshotPortal},
                                     {"screencopy", &F::hasScreencopy}, {"data-control", &F::hasDataControl},
                                     {"virtual-keyboard", &F::hasVirtualKeyboard}, {"shell-extension", &F::hasShellExtension}})
        facts.*fact = has.contains(word);
    return facts;
}

// The plan as words, in the order shortcuts, grabs, clipboard, paste.
QString words(const ServicePlan &plan)
{
    static const char *shortcuts[] = {"x11", "portal", "none", "kglobalaccel", "extension"};
    static const char *paste[] = {"xtest", "virtual-keyboard", "portal", "none", "fake-input", "extension"};
    static const char *capture[] = {"x11", "screencopy", "portal", "none", "kwin-screenshot", "extension"};
    static const char *clipboard[] = {"x11", "data-control", "while-active", "extension"};
    return QStringLiteral("%1 %2 %3 %4").arg(shortcuts[int(plan.shortcuts)], capture[int(plan.capture)],
                                             clipboard[int(plan.clipboard)], paste[int(plan.paste)]);
}
} // namespace


// Which services a session gets, and how the session is read: from the environment and from a
// fake portal on a private session bus. A session whose portal and compositor stay silent is the
// application's own test.
class TestSession : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;
    QProcess m_portal;

private slots:
    void initTestCase()
    {
        if (!m_bus.start())
            QSKIP("no dbus-daemon to start a session bus");
    }
    void cleanup()
    {
        m_portal.kill();
        m_portal.waitForFinished(2000);
    }

    void planFollowsTheSession_data()
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

    void planFollowsTheSession()
    {
        QFETCH(QString, facts);
        const ServicePlan chosen = ::plan(factsFrom(facts));
        QTEST(words(chosen), "plan");
        // The picker speaks of Ctrl+V exactly when nothing can type the paste.
        QCOMPARE(!chosen.copyOnlyLine().isEmpty(), chosen.paste == ServicePlan::Paste::none);
    }

    void environmentTellsTheKind_data()
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

    void environmentTellsTheKind()
    {
        QFETCH(QString, sessionType);
        QFETCH(QString, waylandDisplay);
        QFETCH(QString, display);
        QProcessEnvironment environment;
        environment.insert("XDG_SESSION_TYPE", sessionType);
        environment.insert("WAYLAND_DISPLAY", waylandDisplay);
        environment.insert("DISPLAY", display);
        environment.insert("XDG_CURRENT_DESKTOP", "KDE");
        const SessionFacts facts = Session::fromEnvironment(environment);
        QTEST(int(facts.kind), "kind");
        QTEST(facts.hasX11, "x11");
        QCOMPARE(facts.desktop, "KDE");
    }

    void portalsAreAsked_data()
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
        QTest::newRow("wayland, no portal") << "wayland" << QStringList{} << false << false;
        // An X11 session never uses the portals, so start-up does not ask them.
        QTest::newRow("x11, full portal") << "x11" << full << false << false;
    }

    void portalsAreAsked()
    {
        QFETCH(QString, sessionType);
        QFETCH(QStringList, portal);
        if (!portal.isEmpty()) {
            m_portal.start(QStringLiteral(FAKEPORTAL_PATH), portal);
            QVERIFY(m_portal.waitForReadyRead(5000));
        }
        QProcessEnvironment environment;
        environment.insert("XDG_SESSION_TYPE", sessionType);
        environment.insert("XDG_CURRENT_DESKTOP", "GNOME");
        SessionProbe probe;
        QSignalSpy finished(&probe, &SessionProbe::finished);
        probe.start(Session::fromEnvironment(environment), {});
        // Even with nothing to ask, the answer comes from the event loop.
        QVERIFY(!probe.isFinished());
        QVERIFY(finished.wait(5000));
        const auto facts = finished.first().first().value<SessionFacts>();
        QTEST(facts.hasGlobalShortcutsPortal, "shortcuts");
        QTEST(facts.hasRemoteDesktopPortal, "remote");
        QCOMPARE(facts.desktop, "GNOME");
        QTEST(probe.facts().hasGlobalShortcutsPortal, "shortcuts");
    }

};

KIWANO_TEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
