// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QTest>

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

    // A 40 x 30 JPEG whose EXIF orientation says to turn it a quarter clockwise to show it.
    QString writeTurnedJpeg(const QString &name)
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "jpg");
        // APP1 "Exif": a big-endian TIFF header and one IFD entry, Orientation (0x0112) = 6.
        const QByteArray exif = QByteArray::fromHex("ffe10022" "457869660000" "4d4d002a00000008"
                                                    "0001" "011200030000000100060000" "00000000");
        jpeg.insert(2, exif);
        const QString path = m_sandbox->path(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static void emptyHistory()
    {
        for (const GrabEntry &entry : History::load())
            QFile::remove(entry.path());
    }

    static QList<Representation> text(const QString &words)
    {
        return {{QStringLiteral("text/plain"), words.toUtf8()}};
    }

private slots:
    void initTestCase() { m_sandbox = std::make_unique<ShellSandbox>(); }
    void init() { emptyHistory(); }

    void openingSeveralFilesMakesOneGrabEachTheLastSelected()
    {
        const QStringList files{writeImage("a.png", Qt::red), m_sandbox->path("notes.txt"),
                                writeImage("b.png", Qt::green), writeImage("c.jpg", Qt::blue)};
        QFile(files.at(1)).open(QIODevice::WriteOnly);
        AppDelegate delegate;
        delegate.open(files);
        QTRY_COMPARE(delegate.state().entries().size(), 3);
        QCOMPARE(delegate.state().selected(), delegate.state().entries().first().url);
        const QImage newest = History::image(delegate.state().entries().first());
        QCOMPARE(newest.pixelColor(5, 5).blue() > 200, true);
        QVERIFY(delegate.editor().window()->isVisible());
    }

    void openedFilesAreTakenInAsDroppedOnes()
    {
        // Turned upright, from the command line as from "Open Image...".
        AppDelegate delegate;
        delegate.handle({Requests::openFile(writeTurnedJpeg("turned.jpg"))});
        QTRY_COMPARE(delegate.state().entries().size(), 1);
        QCOMPARE(History::image(delegate.state().entries().first()).size(), QSize(30, 40));
    }

    void openingNothingUsableShowsNoWindow()
    {
        AppDelegate delegate;
        delegate.open({m_sandbox->path("missing.png")});
        delegate.handle({Requests::openFile(m_sandbox->path("missing.png"))});
        QTest::qWait(200); // nothing opens meanwhile
        QVERIFY(delegate.state().entries().isEmpty());
        QVERIFY(!delegate.editor().window()->isVisible());
    }

    void requestsOpenTheirFilesInOrder()
    {
        AppDelegate delegate;
        delegate.handle({Requests::openFile(writeImage("one.png", Qt::red)), QStringLiteral("unknown"),
                         Requests::openFile(writeImage("two.png", Qt::yellow))});
        QTRY_COMPARE(delegate.state().entries().size(), 2);
        QCOMPARE(History::image(delegate.state().entries().first()).pixelColor(1, 1), QColor(Qt::yellow));
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
        QFETCH(QStringList, left);
        Clipboard &clipboard = Clipboard::shared();
        clipboard.clear(true);
        clipboard.add(text("pinned"), std::nullopt);
        clipboard.togglePin(clipboard.items().first());
        clipboard.add(text("plain"), std::nullopt);
        clipboard.finishPendingCopies();
        QCOMPARE(clipboard.items().size(), 2);
        clipboard.setClearOnQuit(clearOnQuit);

        AppDelegate delegate;
        delegate.applicationWillTerminate();
        delegate.applicationWillTerminate();
        QStringList titles;
        for (const ClipItem &item : clipboard.items())
            titles << item.title;
        QCOMPARE(titles, left);
        clipboard.setClearOnQuit(false);
    }

    void settingsOpenTheSettingsWindowOnce()
    {
        AppDelegate delegate;
        delegate.handle({QStringLiteral("settings")});
        QWidget *window = delegate.settings().window();
        QVERIFY(window && window->isVisible());
        window->hide();
        delegate.showSettings();
        QCOMPARE(delegate.settings().window(), window);
        QVERIFY(window->isVisible());
    }

    void settingsGoThroughTheHook()
    {
        AppDelegate delegate;
        int shown = 0;
        delegate.setSettingsOpener([&shown] { ++shown; });
        delegate.handle({QStringLiteral("settings")});
        delegate.showSettings();
        QCOMPARE(shown, 2);
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
        Clipboard::shared().setPasteAutomatically(true);
        ClipboardPanel &panel = delegate.clipboardPanel().panel();
        panel.open(false);
        QVERIFY(panel.view()->showsSessionWarning());
        QVERIFY2(panel.view()->sessionWarningText().contains(QStringLiteral("press Ctrl+V")),
                 qPrintable(panel.view()->sessionWarningText()));
        panel.close();
        delegate.applicationWillTerminate();
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
    }
};

KIWANO_TEST_MAIN(TestAppDelegate)
#include "test_appdelegate.moc"
