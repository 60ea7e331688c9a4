// SPDX-License-Identifier: MIT
// Our GNOME Shell extension's services against a stand-in for the extension (fakeshell.cpp) on a
// private session bus: what goes to the shell, and that a slow or silent shell never holds up the
// thread that asks.
#include "platform/gnome/gnomeclipboard.h"
#include "platform/gnome/gnomekeybindings.h"
#include "platform/gnome/gnomekeys.h"
#include "platform/gnome/gnomeshell.h"
#include "platform/session.h"
#include "privatebus.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestGnomeShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void acceleratorsNameTheKeys_data();
    void acceleratorsNameTheKeys();
    void copiesAreReadWithoutWaiting();
    void shortcutsGoToTheShellTogether();
    void pasteSaysWhetherTheKeysWereTyped();
    void probeFindsTheExtension();
    void customShortcutsKeepTheUsersOwn();

private:
    bool startShell();
    // Sends a line and returns the first line the fake prints that starts with prefix.
    QString tell(const QString &line, const QString &prefix = QStringLiteral("ok"));
    QString waitFor(const QString &prefix, int timeoutMs = 5000);

    PrivateBus m_bus;
    QProcess m_shell;
    QStringList m_heard;
};

void TestGnomeShell::initTestCase()
{
    if (!m_bus.start())
        QSKIP("no dbus-daemon to start a session bus");
    QVERIFY(QDBusConnection::sessionBus().isConnected());
}

void TestGnomeShell::cleanup()
{
    if (m_shell.state() != QProcess::NotRunning) {
        m_shell.closeWriteChannel();
        if (!m_shell.waitForFinished(2000))
            m_shell.kill();
        m_shell.waitForFinished(2000);
    }
    m_heard.clear();
}

bool TestGnomeShell::startShell()
{
    m_heard.clear();
    m_shell.start(QStringLiteral(FAKESHELL_PATH), {});
    return !waitFor(QStringLiteral("ready")).isNull();
}

QString TestGnomeShell::waitFor(const QString &prefix, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        while (m_shell.canReadLine())
            m_heard << QString::fromUtf8(m_shell.readLine()).trimmed();
        for (qsizetype i = 0; i < m_heard.size(); ++i) {
            if (m_heard.at(i).startsWith(prefix))
                return m_heard.takeAt(i);
        }
        if (clock.elapsed() > timeoutMs)
            return {};
        // The event loop turns meanwhile: our own replies and signals come through it.
        QTest::qWait(10);
    }
}

QString TestGnomeShell::tell(const QString &line, const QString &prefix)
{
    m_shell.write((line + QLatin1Char('\n')).toUtf8());
    return waitFor(prefix);
}

void TestGnomeShell::acceleratorsNameTheKeys_data()
{
    QTest::addColumn<uint>("key");
    QTest::addColumn<uint>("modifiers");
    QTest::addColumn<QString>("accelerator");

    // Virtual key positions: 22 is 6, 8 is C, 105 Print, 122 F1, 49 Space, 36 Return.
    QTest::newRow("shift super 6") << 22u << (1u | 64u) << "<Shift><Super>6";
    QTest::newRow("shift super c") << 8u << (1u | 64u) << "<Shift><Super>c";
    QTest::newRow("ctrl alt print") << 105u << (4u | 8u) << "<Control><Alt>Print";
    QTest::newRow("f1 alone") << 122u << 0u << "F1";
    QTest::newRow("ctrl space") << 49u << 4u << "<Control>space";
    QTest::newRow("return has no name here") << 36u << 4u << "";
}

void TestGnomeShell::acceleratorsNameTheKeys()
{
    QFETCH(uint, key);
    QFETCH(uint, modifiers);
    QFETCH(QString, accelerator);
    QCOMPARE(GnomeShell::accelerator(key, modifiers).value_or(QString()), accelerator);
}

void TestGnomeShell::copiesAreReadWithoutWaiting()
{
    QVERIFY(startShell());
    GnomeClipboardService service;
    ClipboardWatcher *watcher = service.watcher();
    QVERIFY(watcher);
    watcher->setChoice([](const QStringList &types) { return types; });
    QSignalSpy arrived(watcher, &ClipboardWatcher::copyArrived);
    QSignalSpy refused(watcher, &ClipboardWatcher::copyRefused);
    watcher->start();
    QVERIFY(watcher->isRunning());

    // The X11 names the shell adds for text are left out; the rest is read in the order offered.
    // The types come with the change, so the shell is not asked for them again.
    QVERIFY(!tell(QStringLiteral("copy UTF8_STRING=hello text/plain;charset=utf-8=hello text/html=<b>hi</b>")).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 5000);
    auto copy = arrived.takeFirst().first().value<ClipboardWatcher::Copy>();
    QCOMPARE(copy.types, (QStringList{QStringLiteral("text/html"), QStringLiteral("text/plain;charset=utf-8")}));
    QCOMPARE(copy.items.size(), 2);
    QCOMPARE(copy.items.at(1).data, QByteArray("hello"));
    QVERIFY(!copy.timedOut);
    QCOMPARE(service.changeCount(), 1);
    QVERIFY(waitFor(QStringLiteral("types asked"), 200).isNull());

    // An extension from before names no types with the change: they are asked for.
    QVERIFY(!tell(QStringLiteral("bare-copy text/plain=older")).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 5000);
    copy = arrived.takeFirst().first().value<ClipboardWatcher::Copy>();
    QCOMPARE(copy.items.value(0).data, QByteArray("older"));
    QVERIFY(!waitFor(QStringLiteral("types asked"), 0).isNull());
    QCOMPARE(service.changeCount(), 2);

    // An owner that never gives one type: the thread that asked keeps turning, and the types read
    // meanwhile (asked at the same time, not after it) are the copy.
    QVERIFY(!tell(QStringLiteral("stall image/png")).isNull());
    int turns = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&turns] { ++turns; });
    tick.start(5);
    QVERIFY(!tell(QStringLiteral("copy image/png=picture text/plain=words")).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 5000);
    copy = arrived.takeFirst().first().value<ClipboardWatcher::Copy>();
    QVERIFY(copy.timedOut);
    QCOMPARE(copy.items.size(), 1);
    QCOMPARE(copy.items.value(0).data, QByteArray("words"));
    QVERIFY2(turns >= 50, qPrintable(QStringLiteral("the loop turned %1 times while the shell stalled").arg(turns)));

    // A newer copy ends the reading of the one before it: only the newer arrives.
    QVERIFY(!tell(QStringLiteral("copy image/png=stuck")).isNull());
    QVERIFY(!tell(QStringLiteral("copy text/plain=newer")).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 5000);
    QTest::qWait(1500);
    QCOMPARE(arrived.size(), 1);
    copy = arrived.takeFirst().first().value<ClipboardWatcher::Copy>();
    QCOMPARE(copy.items.value(0).data, QByteArray("newer"));

    // More than the limit is refused, not kept.
    watcher->setByteLimit(4);
    QVERIFY(!tell(QStringLiteral("copy text/plain=too-long")).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(!refused.isEmpty(), 5000);
    QVERIFY(arrived.isEmpty());

    // Stopped, it reads nothing more.
    watcher->stop();
    QVERIFY(!tell(QStringLiteral("copy text/plain=late")).isNull());
    QVERIFY(!arrived.wait(300));

    // What we copy goes to the shell as one type: the picture when there is one.
    service.write({{QStringLiteral("text/plain"), "caption"}, {QStringLiteral("image/png"), "12345"}});
    QCOMPARE(waitFor(QStringLiteral("clipboard")), QStringLiteral("clipboard image/png 5"));
}

void TestGnomeShell::shortcutsGoToTheShellTogether()
{
    QVERIFY(startShell());
    GnomeHotKeyGrabber grabber;
    QList<quint32> pressed;
    grabber.installPressHandler([&pressed](HotKeyId id) {
        pressed << id.number;
        return true;
    });
    QSignalSpy refused(&grabber, &GnomeHotKeyGrabber::refused);
    const auto region = grabber.grab(22, 1 | 64, {1, 10});
    const auto clipboard = grabber.grab(8, 1 | 64, {1, 11});
    QVERIFY(region && clipboard);
    QVERIFY(!grabber.grab(36, 0, {1, 12}));  // Return: no name for the shell
    // One call for both.
    const QString bound = waitFor(QStringLiteral("shortcuts"));
    QVERIFY2(bound.contains(QLatin1String("<Shift><Super>6")) && bound.contains(QLatin1String("<Shift><Super>c")),
             qPrintable(bound));
    const QString regionName = bound.section(QLatin1Char(' '), 1).split(QLatin1Char(',')).filter(QStringLiteral("6")).value(0).section(QLatin1Char('='), 0, 0);
    QVERIFY(!tell(QStringLiteral("press ") + regionName).isNull());
    QTRY_COMPARE(pressed, QList<quint32>{10});
    // Names that are not ours are someone else's business.
    QVERIFY(!tell(QStringLiteral("press other-app-shortcut")).isNull());
    QTest::qWait(100);
    QCOMPARE(pressed.size(), 1);

    grabber.release(*region);
    QVERIFY(!waitFor(QStringLiteral("shortcuts")).contains(QLatin1String("6")));
    QVERIFY(grabber.grab(118, 8, {1, 13}));  // Alt+F4, which the fake shell keeps for itself
    QTRY_VERIFY_WITH_TIMEOUT(!refused.isEmpty(), 5000);
    QCOMPARE(refused.first().first().toStringList(), QStringList{QStringLiteral("<Alt>F4")});

    // The shell came back (turned off and on, restarted): it gets the shortcuts again.
    cleanup();
    QVERIFY(startShell());
    const QString again = waitFor(QStringLiteral("shortcuts"));
    QVERIFY2(again.contains(QLatin1String("<Shift><Super>c")), qPrintable(again));
}

void TestGnomeShell::pasteSaysWhetherTheKeysWereTyped()
{
    GnomeKeySender sender;
    QSignalSpy pasted(&sender, &GnomeKeySender::pasted);
    // No shell: the paste goes nowhere, and says so rather than hang.
    QVERIFY(sender.sendPaste(false));
    QTRY_VERIFY_WITH_TIMEOUT(!pasted.isEmpty(), 5000);
    QCOMPARE(pasted.takeFirst().first().toBool(), false);

    QVERIFY(startShell());
    QVERIFY(sender.sendPaste(true));
    QCOMPARE(waitFor(QStringLiteral("paste")), QStringLiteral("paste terminal"));
    QTRY_VERIFY_WITH_TIMEOUT(!pasted.isEmpty(), 5000);
    QCOMPARE(pasted.takeFirst().first().toBool(), true);

    QVERIFY(!tell(QStringLiteral("focus no")).isNull());
    QVERIFY(sender.sendPaste(false));
    QTRY_VERIFY_WITH_TIMEOUT(!pasted.isEmpty(), 5000);
    QCOMPARE(pasted.takeFirst().first().toBool(), false);
}

void TestGnomeShell::probeFindsTheExtension()
{
    SessionFacts facts;
    facts.kind = SessionFacts::Kind::wayland;
    facts.hasX11 = true;
    for (const bool running : {false, true}) {
        if (running)
            QVERIFY(startShell());
        SessionProbe probe;
        QSignalSpy finished(&probe, &SessionProbe::finished);
        probe.start(facts, {});
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 5000);
        QCOMPARE(probe.facts().hasShellExtension, running);
        // With it every service goes through the shell; without, XWayland serves what it can.
        const ServicePlan chosen = plan(probe.facts());
        QCOMPARE(chosen.shortcuts == ServicePlan::Shortcuts::shellExtension, running);
        QCOMPARE(chosen.paste == ServicePlan::Paste::shellExtension, running);
        QCOMPARE(chosen.clipboard == ServicePlan::Clipboard::shellExtension, running);
        QCOMPARE(chosen.capture == ServicePlan::Capture::shellExtension, running);
    }
}

void TestGnomeShell::customShortcutsKeepTheUsersOwn()
{
    const QString mine = QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/");
    const QString oldRegion = GnomeKeybindings::entryPath(QStringLiteral("region"));
    QCOMPARE(GnomeKeybindings::parseList(QStringLiteral("@as []")), QStringList());
    const QStringList existing = GnomeKeybindings::parseList(QStringLiteral("['%1', '%2']").arg(mine, oldRegion));
    QCOMPARE(existing, (QStringList{mine, oldRegion}));

    // The user's own entry stays, ours is written again, and one without keys is left out.
    const QList<QStringList> commands = GnomeKeybindings::commands(existing, {
        {QStringLiteral("region"), QStringLiteral("Grab Region"), QStringLiteral("kiwano-snapper --region"),
         QStringLiteral("<Shift><Super>6")},
        {QStringLiteral("window"), QStringLiteral("Grab Window"), QStringLiteral("kiwano-snapper --window"), {}},
        {QStringLiteral("clipboard"), QStringLiteral("It's the history"), QStringLiteral("kiwano-snapper --clipboard"),
         QStringLiteral("<Shift><Super>c")},
    });
    QCOMPARE(commands.size(), 7);
    // The list last, once its entries are filled in; quotes in it escaped as GVariant text.
    QCOMPARE(commands.last(), (QStringList{QStringLiteral("set"), QStringLiteral("org.gnome.settings-daemon.plugins.media-keys"),
                                           QStringLiteral("custom-keybindings"),
                                           QStringLiteral("['%1', '%2', '%3']").arg(mine, oldRegion,
                                               GnomeKeybindings::entryPath(QStringLiteral("clipboard")))}));
    const QString where = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:") + oldRegion;
    QVERIFY(commands.contains(QStringList{QStringLiteral("set"), where, QStringLiteral("binding"), QStringLiteral("<Shift><Super>6")}));
    QVERIFY(commands.contains(QStringList{QStringLiteral("set"), where, QStringLiteral("command"), QStringLiteral("kiwano-snapper --region")}));
    for (const QStringList &command : commands)
        QVERIFY2(!command.join(u' ').contains(QLatin1String("window")), qPrintable(command.join(u' ')));
    // A path with a quote in it survives the round trip.
    const QString odd = QStringLiteral("/odd'one/");
    QCOMPARE(GnomeKeybindings::parseList(GnomeKeybindings::commands({odd}, {}).last().last()), QStringList{odd});
}

KIWANO_TEST_GUILESS_MAIN(TestGnomeShell)

#include "test_gnomeshell.moc"
