// SPDX-License-Identifier: MIT
#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include "app/appdelegate.h"
#include "app/shellfixture.h"
#include "app/traymenu.h"
#include "app/statustexts.h"
#include "clipboard/clipboard.h"
#include "fakes/fakehotkeygrabber.h"
#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"

namespace {

// The menu over a clipboard of its own, so that no test changes the shared one.
struct Shell
{
    AppDelegate delegate;
    Clipboard clipboard{nullptr, nullptr, nullptr};
    HotKeyCenter hotKeys;
    TrayMenu status{delegate, clipboard, hotKeys};
};

} // namespace

class TestTrayMenu : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ShellSandbox> m_sandbox;
    FakeKeyboardLayout m_layout;

    static QStringList rowTitles(const QMenu &menu)
    {
        QStringList titles;
        for (QAction *action : menu.actions())
            titles << (action->isSeparator() ? QStringLiteral("-") : action->text().section(QLatin1Char('\t'), 0, 0));
        return titles;
    }

private slots:
    void initTestCase()
    {
        m_sandbox = std::make_unique<ShellSandbox>();
        Keyboard::setLayout(&m_layout);
    }

    void cleanupTestCase() { Keyboard::setLayout(nullptr); }

    // Keys with a name of their own show it; only a key with neither a name nor a character in
    // the layout (the ISO key a US keyboard lacks) is left out of its row.
    void shortcutTextNamesEveryKnownKey()
    {
        QCOMPARE(StatusTexts::shortcutText(HotKey(22, HotKey::shift)), QStringLiteral("Shift+6"));
        QCOMPARE(StatusTexts::shortcutText(HotKey(10, HotKey::control)), QString());
        QCOMPARE(StatusTexts::shortcutText(std::nullopt), QString());
    }

    void printScreenPresetShowsItsKeys()
    {
        FakeHotKeyGrabber grabber;
        Shell shell;
        shell.hotKeys.setGrabber(&grabber);
        shell.hotKeys.applyPreset(&HotKeyPresets::desktopDefault);
        const auto row = [&](HotKeyAction action) { return shell.status.shortcutItem(action)->text(); };
        QTRY_COMPARE(row(HotKeyAction::grabRegion), "Grab Region\tShift+Print");
        QCOMPARE(row(HotKeyAction::grabWindow), "Grab Window\tAlt+Print");
        QCOMPARE(row(HotKeyAction::grabScreen), "Grab Whole Screen\tPrint");
        QCOMPARE(row(HotKeyAction::clipboard), "Clipboard History\tShift+Super+C");
        shell.hotKeys.setGrabber(nullptr);
    }

    void menuHasEveryRowInOrder()
    {
        Shell shell;
        TrayMenu &status = shell.status;
        QCOMPARE(rowTitles(*status.menu()),
                 QStringList({"Open Kiwano Snapper", "-", "Grab Region", "Grab Window", "Grab Whole Screen", "-",
                              "Clipboard History", "Ignore Next Copy", "Pause Clipboard History", "Open Image...",
                              "-", "Settings...", "Check for Updates...", "Quit Kiwano Snapper"}));
        for (QAction *action : status.menu()->actions())
            QVERIFY2(action->isSeparator() || !action->icon().isNull(), qPrintable(action->text()));
        QCOMPARE(status.trayIcon()->toolTip(), "Kiwano Snapper");
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

    void menuRowsFlipTheClipboardFlags()
    {
        AppDelegate delegate;
        HotKeyCenter hotKeys;
        TrayMenu status(delegate, Clipboard::shared(), hotKeys);
        const bool paused = Clipboard::shared().paused();
        status.pauseItem()->trigger();
        QCOMPARE(Clipboard::shared().paused(), !paused);
        status.pauseItem()->trigger();
        QCOMPARE(Clipboard::shared().paused(), paused);
        const bool ignoreNext = Clipboard::shared().ignoreNext();
        status.ignoreNextItem()->trigger();
        QCOMPARE(Clipboard::shared().ignoreNext(), !ignoreNext);
        status.ignoreNextItem()->trigger();
    }

    void shortcutRowsFollowTheRegistry()
    {
        FakeHotKeyGrabber grabber;
        Shell shell;
        HotKeyCenter &hotKeys = shell.hotKeys;
        hotKeys.setGrabber(&grabber);
        QAction *row = shell.status.shortcutItem(HotKeyAction::clipboard);

        hotKeys.set(std::nullopt, HotKeyAction::clipboard);
        QTRY_COMPARE(row->text(), "Clipboard History");
        hotKeys.set(HotKey(8, HotKey::shift | HotKey::super), HotKeyAction::clipboard);
        QCOMPARE(row->text(), "Clipboard History");
        QTRY_COMPARE(row->text(), "Clipboard History\tShift+Super+C");
        hotKeys.set(HotKey(22, HotKey::control), HotKeyAction::grabWindow);
        QTRY_COMPARE(shell.status.shortcutItem(HotKeyAction::grabWindow)->text(), "Grab Window\tCtrl+6");
        hotKeys.setGrabber(nullptr);
    }

    void statusIconFallsBackToTheKiwi()
    {
        const QIcon missing = TrayMenu::statusIcon(false, "/nonexistent/kiwano-menubar.png");
        QVERIFY(!missing.isNull());
        QVERIFY(!missing.pixmap(22).toImage().isNull());
        const QImage normal = TrayMenu::statusIcon(false).pixmap(22).toImage();
        const QImage dim = TrayMenu::statusIcon(true).pixmap(22).toImage();
        QVERIFY(normal != dim);
    }
};

KIWANO_TEST_MAIN(TestTrayMenu)
#include "test_traymenu.moc"
