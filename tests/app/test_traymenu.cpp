// SPDX-License-Identifier: MIT
#include <QAction>
#include <QMenu>

#include "app/appactions.h"
#include "app/shellfixture.h"
#include "app/traymenu.h"
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
        for (int id = 0; id <= int(Id::quit); ++id)
            actions.setHandler(Id(id), [&ran, id] { ran << Id(id); });
        for (const char *word : {"show", "region", "window", "screen", "clipboard", "settings", "quit", "unknown", "pause"})
            actions.trigger(QString::fromLatin1(word));
        QCOMPARE(ran, (QList<Id>{Id::openLatest, Id::grabRegion, Id::grabWindow, Id::grabScreen,
                                 Id::toggleClipboard, Id::settings, Id::quit}));
        ran.clear();
        // The clipboard shortcut follows its own rules (toggling), not the menu row's.
        for (const HotKeyAction action : allHotKeyActions)
            actions.trigger(action);
        actions.action(Id::showClipboard)->trigger();
        QCOMPARE(ran, (QList<Id>{Id::grabRegion, Id::grabWindow, Id::grabScreen, Id::toggleClipboard, Id::showClipboard}));
    }

    // The rows name each shortcut, and the pause row shows its state, a turn after the registry
    // or the history changed (never inline); a key with neither a name nor a character in the
    // layout (the ISO key a US keyboard lacks) is left out of its row.
    void rowsFollowTheRegistryAndThePause()
    {
        FakeHotKeyGrabber grabber;
        Shell shell;
        HotKeyCenter &hotKeys = shell.hotKeys;
        hotKeys.setGrabber(&grabber);
        const auto keys = [&](HotKeyAction action) { return shell.status.shortcutItem(action)->text().section(u'\t', 1); };
        hotKeys.applyPreset(&HotKeyPresets::desktopDefault);
        QTRY_COMPARE(keys(HotKeyAction::grabRegion), "Shift+Print");
        QCOMPARE(keys(HotKeyAction::grabScreen), "Print");
        hotKeys.set(std::nullopt, HotKeyAction::clipboard);
        QTRY_COMPARE(keys(HotKeyAction::clipboard), "");
        hotKeys.set(HotKey(8, Qt::ShiftModifier | Qt::MetaModifier), HotKeyAction::clipboard);
        QCOMPARE(keys(HotKeyAction::clipboard), "");
        QTRY_COMPARE(keys(HotKeyAction::clipboard), "Shift+Super+C");
        hotKeys.set(HotKey(10, Qt::ControlModifier), HotKeyAction::grabWindow);
        QTRY_COMPARE(keys(HotKeyAction::grabWindow), "");
        hotKeys.setGrabber(nullptr);

        shell.clipboard.setPaused(true);
        QVERIFY(!shell.status.pauseItem()->isChecked());
        QTRY_VERIFY(shell.status.pauseItem()->isChecked() && shell.status.isDimmed());
        shell.clipboard.setPaused(false);
        QTRY_VERIFY(!shell.status.isDimmed());
    }

    void statusIconFallsBackToTheKiwi()
    {
        QVERIFY(!TrayMenu::statusIcon(false, "/nonexistent/kiwano-menubar.png").pixmap(22).toImage().isNull());
        QVERIFY(TrayMenu::statusIcon(false).pixmap(22).toImage() != TrayMenu::statusIcon(true).pixmap(22).toImage());
    }
};

KIWANO_TEST_MAIN(TestTrayMenu)
#include "test_traymenu.moc"
