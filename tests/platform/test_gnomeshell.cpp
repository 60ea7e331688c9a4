// SPDX-License-Identifier: MIT
// Our GNOME Shell extension's services against a stand-in for the extension on a private session
// bus: what goes to the shell, and that a slow or silent shell never holds up the thread that asks.
#include "platform/gnome/gnomeclipboard.h"
#include "platform/gnome/gnomekeybindings.h"
#include "platform/gnome/gnomekeys.h"
#include "platform/gnome/gnomeshell.h"
#include "privatebus.h"

#include <QDBusContext>
#include <QDBusMetaType>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {
// The extension as far as our services use it, on a connection of its own while it lives: it
// records what it is asked in `heard`, offers what the test copies, and never answers reads of a
// stalled type.
class FakeShell : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kiwanosnapper.KiwanoSnapper.Shell1")

public:
    FakeShell()
    {
        m_bus.registerObject(GnomeShell::path, this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
        m_bus.registerService(GnomeShell::service);
    }
    ~FakeShell() override { QDBusConnection::disconnectFromBus(QStringLiteral("shell")); }
    // "TYPE=TEXT ..." (the type may hold "=" too); said with the types, or as an extension of
    // version 1 did, without them.
    void copy(const QString &words, bool namingTypes = true)
    {
        offered.clear();
        for (const QString &word : words.split(u' '))
            offered.insert(word.section(u'=', 0, -2), word.section(u'=', -1).toUtf8());
        if (namingTypes)
            emit ClipboardChanged(offered.keys());
        else
            m_bus.send(QDBusMessage::createSignal(GnomeShell::path, GnomeShell::interface, QStringLiteral("ClipboardChanged")));
    }

    QMap<QString, QByteArray> offered;
    QStringList stalled, heard;
    QMap<QString, QString> shortcuts;
    bool focused = true;

public slots:
    uint Version() { return 1; }
    QStringList ClipboardTypes() { heard << QStringLiteral("types asked"); return offered.keys(); }
    QByteArray ClipboardData(const QString &type) { setDelayedReply(stalled.contains(type)); return offered.value(type); }
    void SetClipboard(const QString &type, const QByteArray &data) { heard << QStringLiteral("clipboard %1 %2").arg(type).arg(data.size()); }
    bool Paste(bool terminal) { heard << (terminal ? QStringLiteral("paste terminal") : QStringLiteral("paste plain")); return focused; }
    QStringList SetShortcuts(const QMap<QString, QString> &accelerators)
    {
        heard << QStringLiteral("shortcuts");
        shortcuts = accelerators;
        return accelerators.keys(QStringLiteral("<Alt>F4"));  // the shell keeps that for itself
    }

signals:
    void ClipboardChanged(const QStringList &types);
    void ShortcutPressed(const QString &name);

private:
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("shell"));
};
} // namespace

class TestGnomeShell : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;
    std::unique_ptr<FakeShell> m_shell;

    static ClipboardWatcher::Copy copyOf(QSignalSpy &arrived) { return arrived.takeFirst().first().value<ClipboardWatcher::Copy>(); }

private slots:
    void initTestCase()
    {
        if (!m_bus.start())
            QSKIP("no dbus-daemon to start a session bus");
        qDBusRegisterMetaType<QMap<QString, QString>>();
    }
    void cleanup() { m_shell.reset(); }

    void acceleratorsNameTheKeys_data()
    {
        QTest::addColumn<uint>("key");
        QTest::addColumn<uint>("modifiers");
        QTest::addColumn<QString>("accelerator");
        // Virtual key positions: 105 Print, 122 F1, 49 Space, 36 Return. Shift+Super with a digit
        // and a letter are named in shortcutsGoToTheShellTogether.
        QTest::newRow("ctrl alt print") << 105u << (4u | 8u) << "<Control><Alt>Print";
        QTest::newRow("f1 alone") << 122u << 0u << "F1";
        QTest::newRow("ctrl space") << 49u << 4u << "<Control>space";
        QTest::newRow("return has no name here") << 36u << 4u << "";
    }
    void acceleratorsNameTheKeys()
    {
        QFETCH(uint, key);
        QFETCH(uint, modifiers);
        QTEST(GnomeShell::accelerator(key, modifiers).value_or(QString()), "accelerator");
    }

    void copiesAreReadWithoutWaiting()
    {
        m_shell = std::make_unique<FakeShell>();
        GnomeClipboardService service;
        ClipboardWatcher *watcher = service.watcher();
        watcher->setChoice([](const QStringList &types) { return types; });
        QSignalSpy arrived(watcher, &ClipboardWatcher::copyArrived);
        QSignalSpy refused(watcher, &ClipboardWatcher::copyRefused);
        watcher->start();

        // The X11 names the shell adds for text are left out; the rest is read in the order offered.
        m_shell->copy(QStringLiteral("UTF8_STRING=hello text/plain;charset=utf-8=hello text/html=<b>hi</b>"));
        QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 5000);
        auto copy = copyOf(arrived);
        QCOMPARE(copy.types, (QStringList{QStringLiteral("text/html"), QStringLiteral("text/plain;charset=utf-8")}));
        QCOMPARE(copy.items.size(), 2);
        QCOMPARE(copy.items.at(1).data, QByteArray("hello"));
        QVERIFY(!copy.timedOut);
        QCOMPARE(service.changeCount(), 1);
        // The types come with the change, so the shell is not asked for them again.
        QVERIFY(!m_shell->heard.contains(QStringLiteral("types asked")));

        // An extension from before names no types with the change: they are asked for.
        m_shell->copy(QStringLiteral("text/plain=older"), false);
        QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 5000);
        QCOMPARE(copyOf(arrived).items.value(0).data, QByteArray("older"));
        QVERIFY(m_shell->heard.contains(QStringLiteral("types asked")));

        // An owner that never gives one type: the thread that asked keeps turning, and the types read
        // meanwhile (asked at the same time, not after it) are the copy.
        m_shell->stalled << QStringLiteral("image/png");
        int turns = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&turns] { ++turns; });
        tick.start(5);
        m_shell->copy(QStringLiteral("image/png=picture text/plain=words"));
        QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 5000);
        copy = copyOf(arrived);
        QVERIFY(copy.timedOut);
        QCOMPARE(copy.items.size(), 1);
        QCOMPARE(copy.items.value(0).data, QByteArray("words"));
        QVERIFY2(turns >= 50, qPrintable(QString::number(turns)));

        // A newer copy ends the reading of the one before it: only the newer arrives. The older
        // one's read ends unseen at the copy deadline, so only time can show that nothing follows.
        m_shell->copy(QStringLiteral("image/png=stuck"));
        m_shell->copy(QStringLiteral("text/plain=newer"));
        QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 5000);
        QCOMPARE(copyOf(arrived).items.value(0).data, QByteArray("newer"));
        QVERIFY(!arrived.wait(int((GnomeClipboardService::copyDeadline * 3 / 2).count())));

        // More than the limit is refused, not kept.
        watcher->setByteLimit(4);
        m_shell->copy(QStringLiteral("text/plain=too-long"));
        QTRY_VERIFY_WITH_TIMEOUT(!refused.isEmpty(), 5000);
        QVERIFY(arrived.isEmpty());

        // Stopped, it reads nothing more (proving that nothing comes takes a while).
        watcher->stop();
        m_shell->copy(QStringLiteral("text/plain=late"));
        QVERIFY(!arrived.wait(300));

        // What we copy goes to the shell as one type: the picture when there is one.
        service.write({{QStringLiteral("text/plain"), "caption"}, {QStringLiteral("image/png"), "12345"}});
        QTRY_VERIFY(m_shell->heard.contains(QStringLiteral("clipboard image/png 5")));
    }

    void shortcutsGoToTheShellTogether()
    {
        m_shell = std::make_unique<FakeShell>();
        GnomeHotKeyGrabber grabber;
        QList<quint32> pressed;
        grabber.installPressHandler([&pressed](HotKeyId id) {
            pressed << id.number;
            return true;
        });
        QSignalSpy refused(&grabber, &GnomeHotKeyGrabber::refused);
        const auto region = grabber.grab(22, 1 | 64, {1, 10});
        QVERIFY(region && grabber.grab(8, 1 | 64, {1, 11}));
        QVERIFY(!grabber.grab(36, 0, {1, 12}));  // Return: no name for the shell
        // One call for both.
        QTRY_COMPARE(m_shell->shortcuts.size(), 2);
        QCOMPARE(m_shell->heard, QStringList{QStringLiteral("shortcuts")});
        const QString regionName = m_shell->shortcuts.key(QStringLiteral("<Shift><Super>6"));
        QVERIFY(m_shell->shortcuts.values().contains(QStringLiteral("<Shift><Super>c")));
        emit m_shell->ShortcutPressed(regionName);
        QTRY_COMPARE(pressed, QList<quint32>{10});
        // Names that are not ours are someone else's business: the press after it comes next.
        emit m_shell->ShortcutPressed(QStringLiteral("other-app-shortcut"));
        emit m_shell->ShortcutPressed(regionName);
        QTRY_COMPARE(pressed, (QList<quint32>{10, 10}));

        grabber.release(*region);
        QTRY_COMPARE(m_shell->shortcuts.size(), 1);
        QVERIFY(grabber.grab(118, 8, {1, 13}));  // Alt+F4, which the fake shell keeps for itself
        QTRY_VERIFY_WITH_TIMEOUT(!refused.isEmpty(), 5000);
        QCOMPARE(refused.first().first().toStringList(), QStringList{QStringLiteral("<Alt>F4")});

        // The shell came back (turned off and on, restarted): it gets the shortcuts again.
        m_shell.reset();
        m_shell = std::make_unique<FakeShell>();
        QTRY_VERIFY(m_shell->shortcuts.values().contains(QStringLiteral("<Shift><Super>c")));
    }

    void pasteSaysWhetherTheKeysWereTyped()
    {
        GnomeKeySender sender;
        QSignalSpy pasted(&sender, &GnomeKeySender::pasted);
        const auto outcome = [&pasted] {
            const bool told = QTest::qWaitFor([&pasted] { return !pasted.isEmpty(); }, 5000);
            return QString(!told ? "none" : pasted.takeFirst().first().toBool() ? "typed" : "not typed");
        };
        // No shell: the paste goes nowhere, and says so rather than hang.
        QVERIFY(sender.sendPaste(false));
        QCOMPARE(outcome(), "not typed");
        m_shell = std::make_unique<FakeShell>();
        QVERIFY(sender.sendPaste(true));
        QCOMPARE(outcome(), "typed");
        QCOMPARE(m_shell->heard, QStringList{QStringLiteral("paste terminal")});
        m_shell->focused = false;
        QVERIFY(sender.sendPaste(false));
        QCOMPARE(outcome(), "not typed");
    }

    void customShortcutsKeepTheUsersOwn()
    {
        const QString mine = QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/");
        const QString ours = GnomeKeybindings::entryPath(QStringLiteral("region"));
        QCOMPARE(GnomeKeybindings::parseList(QStringLiteral("@as []")), QStringList());
        const QStringList existing = GnomeKeybindings::parseList(QStringLiteral("['%1', '%2']").arg(mine, ours));
        QCOMPARE(existing, (QStringList{mine, ours}));

        // The user's own entry stays, ours is written again, and one without keys is left out.
        const QList<QStringList> commands = GnomeKeybindings::commands(existing, {
            {QStringLiteral("region"), QStringLiteral("Grab Region"), QStringLiteral("kiwano-snapper --region"),
             QStringLiteral("<Shift><Super>6")},
            {QStringLiteral("window"), QStringLiteral("Grab Window"), QStringLiteral("kiwano-snapper --window"), {}},
            {QStringLiteral("clipboard"), QStringLiteral("It's the history"), QStringLiteral("kiwano-snapper --clipboard"),
             QStringLiteral("<Shift><Super>c")},
        });
        // The list last, once its entries are filled in; quotes in it escaped as GVariant text.
        QCOMPARE(commands.last(), (QStringList{"set", "org.gnome.settings-daemon.plugins.media-keys", "custom-keybindings",
                                               QStringLiteral("['%1', '%2', '%3']").arg(mine, ours,
                                                   GnomeKeybindings::entryPath(QStringLiteral("clipboard")))}));
        const QString where = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:") + ours;
        QVERIFY(commands.contains(QStringList{"set", where, "binding", "<Shift><Super>6"}));
        QVERIFY(commands.contains(QStringList{"set", where, "command", "kiwano-snapper --region"}));
        QCOMPARE(commands.size(), 7);
        for (const QStringList &command : commands)
            QVERIFY2(!command.join(u' ').contains(QLatin1String("window")), qPrintable(command.join(u' ')));
        // A path with a quote in it survives the round trip.
        const QString odd = QStringLiteral("/odd'one/");
        QCOMPARE(GnomeKeybindings::parseList(GnomeKeybindings::commands({odd}, {}).last().last()), QStringList{odd});
    }
};

KIWANO_TEST_GUILESS_MAIN(TestGnomeShell)

#include "test_gnomeshell.moc"
