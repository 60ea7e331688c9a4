// SPDX-License-Identifier: MIT
#include "platform/portal/portalhotkeygrabber.h"
#include "platform/portal/portalkeysender.h"
#include "platform/portal/portalshortcut.h"
#include "platform/session.h"
#include "privatebus.h"
#include "support/loopturns.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTimer>

namespace {
constexpr quint32 signature = ('K' << 24) | ('W' << 16) | ('N' << 8) | 'O';
constexpr quint32 shift = 1, control = 4, alt = 8, super = 64;
}

// The portal clients, and the session's probe of the portal, against a fake portal on a private
// session bus.
class TestPortals : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;
    QProcess m_portal;

    void startPortal(const QStringList &switches)
    {
        m_portal.start(QStringLiteral(FAKEPORTAL_PATH), switches);
        QVERIFY(m_portal.waitForReadyRead(5000));
    }
    // Calls the fake portal's own interface: Record (what it was asked), Activate, Change.
    static QList<QVariant> ask(const QString &member, const QList<QVariant> &arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(Portal::service, Portal::path, "org.kiwano.test.FakePortal", member);
        call.setArguments(arguments);
        return QDBusConnection::sessionBus().call(call).arguments();
    }
    static QStringList record() { return ask("Record").value(0).toStringList(); }

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

    void triggers_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");
        QTest::addColumn<QString>("trigger");

        // Letters lower case, as "SHIFT+LOGO+c" in shortcutsAreBoundAndPressed.
        QTest::newRow("all four in the portal's order") << 0u << (shift | control | alt | super) << "CTRL+ALT+SHIFT+LOGO+a";
        QTest::newRow("a key the syntax cannot name") << 10u << shift << "";
        QTest::newRow("no such position") << 999u << shift << "";
    }

    void triggers()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        QTEST(PortalShortcuts::trigger(keyCode, modifiers).value_or(QString()), "trigger");
    }

    // Bound keys come with the binding's answer, or (--terse) from the list asked for after it.
    void shortcutsAreBoundAndPressed_data()
    {
        QTest::addColumn<bool>("terse");
        QTest::newRow("the binding says what was bound") << false;
        QTest::newRow("the bound keys are listed afterwards") << true;
    }
    void shortcutsAreBoundAndPressed()
    {
        QFETCH(bool, terse);
        startPortal(terse ? QStringList{"--terse"} : QStringList());
        PortalHotKeyGrabber grabber;
        QList<quint32> pressed;
        grabber.installPressHandler([&](HotKeyId id) {
            pressed << id.number;
            return true;
        });
        QSignalSpy bound(&grabber, &PortalHotKeyGrabber::shortcutsBound);
        QVERIFY(grabber.grab(22, shift | super, {signature, 0}));
        QVERIFY(grabber.grab(8, shift | super, {signature, 3}));
        QTRY_COMPARE(bound.size(), 1);

        QVERIFY(record().contains("grabRegion SHIFT+LOGO+6 Grab Region"));
        QVERIFY(record().contains("clipboard SHIFT+LOGO+c Clipboard History"));
        // What the desktop says it bound, not what was asked for.
        QCOMPARE(grabber.boundTriggers(), (QMap<QString, QString>{{"grabRegion", "shift+logo+6"}, {"clipboard", "shift+logo+c"}}));
        QCOMPARE(record().contains(QStringLiteral("ListShortcuts")), terse);

        ask("Activate", {"clipboard"});
        QTRY_COMPARE(pressed, QList<quint32>{3});
        ask("Activate", {"somebodyElse"});
        ask("Activate", {"clipboard", "/org/freedesktop/portal/desktop/session/other/app"});
        ask("Activate", {"grabRegion"});
        QTRY_COMPARE(pressed, (QList<quint32>{3, 0}));

        // A released shortcut no longer reaches the handler, and the session is reused.
        const auto handle = grabber.grab(20, shift | super, {signature, 2});
        QVERIFY(handle);
        QTRY_COMPARE(bound.size(), 2);
        grabber.release(*handle);
        QTRY_COMPARE(bound.size(), 3);
        QVERIFY(!grabber.boundTriggers().contains("grabScreen"));
        ask("Activate", {"grabScreen"});
        ask("Activate", {"clipboard"});
        QTRY_COMPARE(pressed.size(), 3);
        QCOMPARE(pressed.last(), 3u);
        QCOMPARE(record().count(QStringLiteral("CreateSession")), 1);

        // The user gives a shortcut other keys in the desktop's settings.
        ask("Change", {"grabRegion", "Print"});
        QTRY_COMPARE(grabber.boundTriggers().value("grabRegion"), "Print");
    }

    void pasteTypesTheKeystroke_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QStringList>("keys");

        QTest::newRow("Ctrl+V") << false
            << QStringList{"key 65507 1", "key 118 1", "key 118 0", "key 65507 0"};
        QTest::newRow("Ctrl+Shift+V in terminals") << true
            << QStringList{"key 65507 1", "key 65505 1", "key 118 1", "key 118 0", "key 65505 0", "key 65507 0"};
    }

    void pasteTypesTheKeystroke()
    {
        QFETCH(bool, terminal);
        QFETCH(QStringList, keys);
        startPortal({});
        PortalKeySender sender;
        // Pasting is offered before the desktop is asked; nothing is asked before the first paste.
        QVERIFY(sender.isTrusted());
        QVERIFY(record().isEmpty());
        QSignalSpy permission(&sender, &PortalKeySender::permissionAsked);

        QVERIFY(sender.sendPaste(terminal));
        QCOMPARE(permission.size(), 1);  // the user hears of the dialog as it comes
        QTRY_COMPARE(record().filter(QStringLiteral("key ")), keys);
        QVERIFY(sender.isTrusted());
        QCOMPARE(record().mid(0, 4), (QStringList{"CreateSession", "SelectDevices", "types 1", "Start"}));

        QVERIFY(sender.sendPaste(terminal));
        QTRY_COMPARE(record().filter(QStringLiteral("key ")), keys + keys);
        QCOMPARE(record().count(QStringLiteral("CreateSession")), 1);
        QCOMPARE(permission.size(), 1);
    }

    // The user refuses, the portal never answers, or there is none: the caller hears why on a later
    // turn, its loop turning meanwhile, and nothing more is tried.
    void failuresAreTold_data()
    {
        QTest::addColumn<bool>("paste"); // else shortcuts
        QTest::addColumn<QString>("portal");
        QTest::addColumn<QString>("reason");

        QTest::newRow("shortcuts refused") << false << "--refuse" << "refused";
        QTest::newRow("shortcuts unanswered") << false << "--silent" << "did not answer";
        QTest::newRow("no shortcuts portal") << false << "--absent" << "offers no global shortcuts";
        QTest::newRow("paste refused") << true << "--refuse" << "refused";
        QTest::newRow("paste unanswered") << true << "--silent" << "did not answer";
        QTest::newRow("no paste portal") << true << "--absent" << "does not let applications type";
    }

    void failuresAreTold()
    {
        QFETCH(bool, paste);
        QFETCH(QString, portal);
        QFETCH(QString, reason);
        startPortal({portal});
        PortalHotKeyGrabber grabber;
        PortalKeySender sender;
        grabber.setDeadline(300);
        sender.setDeadline(300);
        QSignalSpy failed = paste ? QSignalSpy(&sender, &PortalKeySender::pasteFailed)
                                  : QSignalSpy(&grabber, &PortalHotKeyGrabber::bindingFailed);
        QSignalSpy bound(&grabber, &PortalHotKeyGrabber::shortcutsBound);
        LoopTurns turns;

        QVERIFY(paste ? sender.sendPaste(false) : grabber.grab(22, shift | super, {signature, 0}));
        QCOMPARE(failed.size(), 0);
        QTRY_COMPARE(failed.size(), 1);
        if (portal == "--silent")
            QVERIFY(turns.count > 10);
        const QString told = failed.first().first().toString();
        QVERIFY2(told.contains(reason), qPrintable(told));
        if (paste) {
            QVERIFY(!sender.isTrusted());
            QVERIFY(!sender.sendPaste(false));
            if (portal != "--absent")
                QVERIFY(record().filter(QStringLiteral("key ")).isEmpty());
        } else {
            QCOMPARE(grabber.failureReason(), told);
            QCOMPARE(bound.size(), 0);
            QVERIFY(grabber.boundTriggers().isEmpty());
            QVERIFY(!grabber.grab(8, shift | super, {signature, 3}));
        }
    }

    void sessionProbeAsksThePortal_data()
    {
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<QStringList>("portal");  // the fake portal's switches; empty: none running
        QTest::addColumn<bool>("shortcuts");
        QTest::addColumn<bool>("remote");
        const QString without = QStringLiteral("--without=org.freedesktop.portal.");
        QTest::newRow("wayland, full portal") << "wayland" << QStringList{"--terse"} << true << true;
        QTest::newRow("wayland, no shortcuts interface") << "wayland" << QStringList{without + "GlobalShortcuts"} << false << true;
        QTest::newRow("wayland, no remote interface") << "wayland" << QStringList{without + "RemoteDesktop"} << true << false;
        QTest::newRow("wayland, no portal") << "wayland" << QStringList{} << false << false;
        // An X11 session never uses the portals, so start-up does not ask them.
        QTest::newRow("x11, full portal") << "x11" << QStringList{"--terse"} << false << false;
    }
    void sessionProbeAsksThePortal()
    {
        QFETCH(QString, sessionType);
        QFETCH(QStringList, portal);
        if (!portal.isEmpty())
            startPortal(portal);
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

KIWANO_TEST_GUILESS_MAIN(TestPortals)
#include "test_portals.moc"
