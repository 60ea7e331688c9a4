// SPDX-License-Identifier: MIT
#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include "app/appactions.h"
#include "app/shellfixture.h"
#include "app/traymenu.h"
#include "app/statustexts.h"
#include "clipboard/clipboard.h"
#include "fakes/fakehotkeygrabber.h"
#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"

namespace {

// The menu over a clipboard and a registry of its own.
struct Shell
{
    AppActions actions;
    Clipboard clipboard{nullptr, nullptr, nullptr};
    HotKeyCenter hotKeys;
    TrayMenu status{actions, clipboard, hotKeys};
};

} // namespace

class TestTrayMenu : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ShellSandbox> m_sandbox;
    FakeKeyboardLayout m_layout;

private slots:
    void initTestCase()
    {
        m_sandbox = std::make_unique<ShellSandbox>();
        Keyboard::setLayout(&m_layout);
    }

    void cleanupTestCase() { Keyboard::setLayout(nullptr); }

    // The command line's words and the global shortcuts reach the action the table names; a
    // word it does not know does nothing.
    void requestsAndPressesReachTheirAction()
    {
        using Id = AppActions::Id;
        AppActions actions;
        QList<Id> ran;
        for (const Id id : {Id::openLatest, Id::grabRegion, Id::grabWindow, Id::grabScreen, Id::showClipboard,
                            Id::toggleClipboard, Id::settings, Id::quit, Id::pause})
            actions.setHandler(id, [&ran, id] { ran << id; });

        for (const char *word : {"show", "region", "window", "screen", "clipboard", "settings", "quit"})
            QVERIFY2(actions.trigger(QString::fromLatin1(word)), word);
        QVERIFY(!actions.trigger(QStringLiteral("unknown")));
        QVERIFY(!actions.trigger(QStringLiteral("pause")));
        QCOMPARE(ran, (QList<Id>{Id::openLatest, Id::grabRegion, Id::grabWindow, Id::grabScreen,
                                 Id::toggleClipboard, Id::settings, Id::quit}));
        ran.clear();
        // The clipboard shortcut follows its own rules (toggling), not the menu row's.
        for (const HotKeyAction action : allHotKeyActions)
            actions.trigger(action);
        QCOMPARE(ran, (QList<Id>{Id::grabRegion, Id::grabWindow, Id::grabScreen, Id::toggleClipboard}));
        ran.clear();
        actions.action(Id::showClipboard)->trigger();
        QCOMPARE(ran, QList<Id>{Id::showClipboard});
    }

    // The rows name each shortcut a turn after the registry changed; a key with neither a name
    // nor a character in the layout (the ISO key a US keyboard lacks) is left out of its row.
    void shortcutRowsFollowTheRegistry()
    {
        FakeHotKeyGrabber grabber;
        Shell shell;
        HotKeyCenter &hotKeys = shell.hotKeys;
        hotKeys.setGrabber(&grabber);
        const auto row = [&](HotKeyAction action) { return shell.status.shortcutItem(action)->text(); };

        hotKeys.applyPreset(&HotKeyPresets::desktopDefault);
        QTRY_COMPARE(row(HotKeyAction::grabRegion), "Grab Region\tShift+Print");
        QCOMPARE(row(HotKeyAction::grabScreen), "Grab Whole Screen\tPrint");
        hotKeys.set(std::nullopt, HotKeyAction::clipboard);
        QTRY_COMPARE(row(HotKeyAction::clipboard), "Clipboard History");
        hotKeys.set(HotKey(8, Qt::ShiftModifier | Qt::MetaModifier), HotKeyAction::clipboard);
        QCOMPARE(row(HotKeyAction::clipboard), "Clipboard History");
        QTRY_COMPARE(row(HotKeyAction::clipboard), "Clipboard History\tShift+Super+C");
        hotKeys.set(HotKey(10, Qt::ControlModifier), HotKeyAction::grabWindow);
        QTRY_COMPARE(row(HotKeyAction::grabWindow), "Grab Window");
        hotKeys.setGrabber(nullptr);
    }

    void pausingChecksRenamesAndDimsAfterTheChange()
    {
        Shell shell;
        Clipboard &clipboard = shell.clipboard;
        TrayMenu &status = shell.status;
        QCoreApplication::processEvents();

        clipboard.setPaused(true);
        // Never inline: the menu follows on the next turn of the event loop.
        QVERIFY(!status.pauseItem()->isChecked());
        QTRY_VERIFY(status.pauseItem()->isChecked());
        QCOMPARE(status.pauseItem()->text(), "Resume Clipboard History");
        QCOMPARE(status.trayIcon()->toolTip(), "Kiwano Snapper (clipboard history paused)");
        QVERIFY(status.isDimmed());

        clipboard.setIgnoreNext(true);
        QTRY_VERIFY(status.ignoreNextItem()->isChecked());
        QCOMPARE(status.trayIcon()->toolTip(), "Kiwano Snapper (clipboard history paused)");

        clipboard.setPaused(false);
        QTRY_VERIFY(!status.pauseItem()->isChecked());
        QCOMPARE(status.pauseItem()->text(), "Pause Clipboard History");
        QCOMPARE(status.trayIcon()->toolTip(), "Kiwano Snapper (ignoring the next copy)");
        QVERIFY(!status.isDimmed());
    }

    void statusIconFallsBackToTheKiwi()
    {
        const QIcon missing = TrayMenu::statusIcon(false, "/nonexistent/kiwano-menubar.png");
        QVERIFY(!missing.pixmap(22).toImage().isNull());
        QVERIFY(TrayMenu::statusIcon(false).pixmap(22).toImage() != TrayMenu::statusIcon(true).pixmap(22).toImage());
    }
};

KIWANO_TEST_MAIN(TestTrayMenu)
#include "test_traymenu.moc"
