// SPDX-License-Identifier: MIT
#include "platform/session.h"

#include <QTest>

using Kind = SessionFacts::Kind;

// Which services a session gets, and how its kind is read from the environment. How the facts
// are asked of the portal, KWin and our shell extension is in those services' tests.
class TestSession : public QObject
{
    Q_OBJECT

    // The facts of a session written as words: "wayland xserver shortcuts-portal screencopy" ...
    static SessionFacts factsFrom(const QString &words)
    {
        const QStringList has = words.split(u' ');
        SessionFacts facts;
        facts.kind = has.contains("wayland") ? Kind::wayland : has.contains("x11") ? Kind::x11 : Kind::other;
        using F = SessionFacts;
        for (const auto &[word, fact] : {std::pair{"xserver", &F::hasX11}, {"shortcuts-portal", &F::hasGlobalShortcutsPortal},
                                         {"remote-portal", &F::hasRemoteDesktopPortal}, {"screenshot-portal", &F::hasScreenshotPortal},
                                         {"screencopy", &F::hasScreencopy}, {"data-control", &F::hasDataControl},
                                         {"virtual-keyboard", &F::hasVirtualKeyboard}, {"shell-extension", &F::hasShellExtension},
                                         {"fake-input", &F::hasFakeInput}, {"kwin-screenshot", &F::hasKWinScreenShot},
                                         {"kwin-shortcuts", &F::hasKWinShortcuts}})
            facts.*fact = has.contains(word);
        return facts;
    }
    // The plan as words, in the order shortcuts, grabs, clipboard, paste.
    static QString words(const ServicePlan &plan)
    {
        static const char *shortcuts[] = {"x11", "portal", "none", "kglobalaccel", "extension"};
        static const char *paste[] = {"xtest", "virtual-keyboard", "portal", "none", "fake-input", "extension"};
        static const char *capture[] = {"x11", "screencopy", "portal", "none", "kwin-screenshot", "extension"};
        static const char *clipboard[] = {"x11", "data-control", "while-active", "extension"};
        return QStringLiteral("%1 %2 %3 %4").arg(shortcuts[int(plan.shortcuts)], capture[int(plan.capture)],
                                                 clipboard[int(plan.clipboard)], paste[int(plan.paste)]);
    }

private slots:
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
        const QString plasma = "wayland xserver shortcuts-portal remote-portal screenshot-portal data-control";
        QTest::newRow("kde, portals only") << plasma << "portal portal data-control portal";
        QTest::newRow("kde, KWin trusts us") << plasma + " fake-input kwin-screenshot kwin-shortcuts"
                                             << "kglobalaccel kwin-screenshot data-control fake-input";
        // Installed without its desktop file KWin offers no fake input: the portal asks the user.
        QTest::newRow("kde, fake input refused") << plasma + " kwin-screenshot kwin-shortcuts"
                                                 << "kglobalaccel kwin-screenshot data-control portal";
        // A compositor's own protocols come first, then KWin's services.
        QTest::newRow("everything") << plasma + " screencopy virtual-keyboard fake-input kwin-screenshot kwin-shortcuts"
                                    << "kglobalaccel screencopy data-control virtual-keyboard";
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
};

KIWANO_TEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
