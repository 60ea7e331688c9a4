// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMainWindow>

#include "app/appdelegate.h"
#include "app/commandline.h"
#include "app/editorwindowcontroller.h"
#include "app/shellfixture.h"
#include "capture/appstate.h"
#include "capture/history.h"
#include "clipboard/clipboard.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpanelhost.h"
#include "clipboard/picker/view/clipboardpickerview.h"
#include "settings/settingswindowcontroller.h"

class TestAppDelegate : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ShellSandbox> m_sandbox;

    QString writeImage(const QString &name, const QColor &color)
    {
        QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
        image.fill(color);
        const QString path = m_sandbox->path(name);
        image.save(path);
        return path;
    }

    static void emptyHistory()
    {
        for (const GrabEntry &entry : History::load())
            QFile::remove(entry.path());
    }

private slots:
    void initTestCase() { m_sandbox = std::make_unique<ShellSandbox>(); }
    void init() { emptyHistory(); }

    // Files from "Open Image..." or the command line become grabs in their order, the newest
    // selected and shown; what is no image, or is missing, is passed over quietly.
    void openedFilesBecomeGrabsInTheirOrder()
    {
        const QString notes = m_sandbox->path("notes.txt");
        QFile(notes).open(QIODevice::WriteOnly);
        AppDelegate delegate;
        delegate.open({writeImage("a.png", Qt::red), notes, m_sandbox->path("missing.png")});
        QTRY_COMPARE(delegate.state().entries().size(), 1);
        delegate.handle({Requests::openFile(writeImage("one.png", Qt::green)), QStringLiteral("unknown"),
                         Requests::openFile(m_sandbox->path("missing.png")),
                         Requests::openFile(writeImage("two.jpg", Qt::blue))});
        QTRY_COMPARE(delegate.state().entries().size(), 3);
        QCOMPARE(delegate.state().selected(), delegate.state().entries().first().url);
        QVERIFY(History::image(delegate.state().entries().first()).pixelColor(5, 5).blue() > 200);
        QCOMPARE(History::image(delegate.state().entries().at(1)).pixelColor(1, 1), QColor(Qt::green));
        QVERIFY(delegate.editor().window()->isVisible());
    }

    void openLatestSelectsTheNewestOrShowsTheEmptyWindow()
    {
        {
            AppDelegate delegate;
            delegate.openLatest();
            QVERIFY(delegate.editor().window()->isVisible());
            QVERIFY(!delegate.state().selected());
        }
        AppDelegate delegate;
        delegate.open({writeImage("old.png", Qt::red), writeImage("new.png", Qt::green)});
        QTRY_COMPARE(delegate.state().entries().size(), 2);
        delegate.state().setSelected(std::nullopt);
        delegate.openLatest();
        QCOMPARE(delegate.state().selected(), delegate.state().entries().first().url);
    }

    void quittingClearsTheHistoryOnlyWhenAsked_data()
    {
        QTest::addColumn<bool>("clearOnQuit");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("kept") << false << QStringList{"pinned", "plain"};
        QTest::newRow("cleared but the pinned") << true << QStringList{"pinned"};
    }

    void quittingClearsTheHistoryOnlyWhenAsked()
    {
        QFETCH(bool, clearOnQuit);
        AppDelegate delegate;
        Clipboard &clipboard = delegate.clipboard();
        clipboard.clear(true);
        clipboard.add({{"text/plain", "pinned"}}, std::nullopt);
        clipboard.togglePin(clipboard.items().first());
        clipboard.add({{"text/plain", "plain"}}, std::nullopt);
        clipboard.finishPendingCopies();
        clipboard.setClearOnQuit(clearOnQuit);

        delegate.applicationWillTerminate();
        delegate.applicationWillTerminate();
        QStringList titles;
        for (const ClipItem &item : clipboard.items())
            titles << item.title;
        QTEST(titles, "left");
        clipboard.setClearOnQuit(false);
    }

    void settingsOpenOneWindowUnlessReplaced()
    {
        AppDelegate delegate;
        delegate.handle({QStringLiteral("settings")});
        QWidget *window = delegate.settings().window();
        QVERIFY(window && window->isVisible());
        window->hide();
        delegate.showSettings();
        QCOMPARE(delegate.settings().window(), window);
        QVERIFY(window->isVisible());

        int shown = 0;
        delegate.setSettingsOpener([&shown] { ++shown; });
        delegate.handle({QStringLiteral("settings")});
        QCOMPARE(shown, 1);
    }

    void withoutAnXServerNothingIsGrabbedOrTyped()
    {
        // DISPLAY alone does not count: offscreen, the X11 services cannot reach a server.
        qputenv("XDG_SESSION_TYPE", "x11");
        qputenv("DISPLAY", ":0");
        AppDelegate delegate;
        delegate.start();
        QCOMPARE(delegate.servicePlan().shortcuts, ServicePlan::Shortcuts::none);
        QCOMPARE(delegate.servicePlan().paste, ServicePlan::Paste::none);
        // Nothing types the paste here: the picker says to press Ctrl+V, not to find an X server.
        delegate.clipboard().setPasteAutomatically(true);
        ClipboardPanel &panel = delegate.clipboardPanel().panel();
        panel.open(false);
        QVERIFY(panel.view()->showsSessionWarning() && panel.view()->sessionWarningText().contains("press Ctrl+V"));
        panel.close();
        delegate.applicationWillTerminate();
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
    }
};

KIWANO_TEST_MAIN(TestAppDelegate)
#include "test_appdelegate.moc"
