// SPDX-License-Identifier: MIT
// The clipboard history over the real X clipboard, with other processes as the applications that
// copy, read and receive pastes.
#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "platform/testprograms.h"
#include "platform/x11/x11clipboardservice.h"
#include "platform/x11/x11frontapp.h"
#include "platform/x11/x11keysender.h"
#include "platform/xdgsandbox.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QStringList protocolTargets{"TARGETS", "TIMESTAMP", "MULTIPLE", "SAVE_TARGETS"};

// What another process reads from the clipboard with xclip.
QByteArray readElsewhere(const QString &type)
{
    QProcess xclip;
    xclip.start("xclip", {"-selection", "clipboard", "-o", "-t", type});
    if (!xclip.waitForFinished(5000))
        return {};
    return xclip.readAllStandardOutput();
}

QStringList targetsElsewhere()
{
    QStringList targets;
    for (const QByteArray &line : readElsewhere("TARGETS").split('\n'))
        if (!line.isEmpty() && !protocolTargets.contains(QString::fromUtf8(line)))
            targets.append(QString::fromUtf8(line));
    return targets;
}

QStringList typesOf(const ClipItem &item)
{
    QStringList types;
    for (const ClipContent &content : item.contents)
        types.append(content.type);
    return types;
}

} // namespace

class TestClipboardX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        m_sandbox = std::make_unique<XdgSandbox>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home->filePath("config"));
        Store::setDir(m_home->filePath("Clipboard"));
        m_service = std::make_unique<X11ClipboardService>();
        m_frontApp = std::make_unique<X11FrontApp>();
        m_keySender = std::make_unique<X11KeySender>();
        m_clipboard = std::make_unique<Clipboard>(m_service.get(), m_frontApp.get(), m_keySender.get());
    }

    void cleanup()
    {
        m_owner.stop();
        m_clipboard.reset();
        m_keySender.reset();
        m_frontApp.reset();
        m_service.reset();
        m_sandbox.reset();
        m_home.reset();
    }

    void recordsWhatOtherApplicationsCopy_data()
    {
        QTest::addColumn<QStringList>("owner");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("title");
        QTest::newRow("text") << QStringList{"--type", "text/plain=hello", "--type", "UTF8_STRING=hello"}
                              << QStringList{"text/plain"} << "hello";
        QTest::newRow("text named by the X target only") << QStringList{"--type", "UTF8_STRING=from a terminal"}
                                                         << QStringList{"UTF8_STRING"} << "from a terminal";
        QTest::newRow("html") << QStringList{"--type", "text/html=<p>Hello</p>\n<p>World</p>"}
                              << QStringList{"text/html"} << "Hello World";
        QTest::newRow("files") << QStringList{"--type", "text/uri-list=file:///tmp/a.txt\r\nfile:///tmp/b%20c.pdf\r\n",
                                              "--type", "x-special/gnome-copied-files=copy\nfile:///tmp/a.txt"}
                               << QStringList{"text/uri-list"} << "a.txt, b c.pdf";
        QTest::newRow("public password hint") << QStringList{"--type", "x-kde-passwordManagerHint=public",
                                                             "--type", "text/plain=shared"}
                                              << QStringList{"text/plain"} << "shared";
    }
    void recordsWhatOtherApplicationsCopy()
    {
        QFETCH(QStringList, owner);
        QFETCH(QStringList, types);
        QFETCH(QString, title);
        QVERIFY(copyElsewhere(owner));
        QCOMPARE(m_clipboard->items().size(), 1);
        QCOMPARE(typesOf(m_clipboard->items().first()), types);
        QCOMPARE(m_clipboard->items().first().title, title);
    }

    void tiffOnlyImageIsKeptAsPng()
    {
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const QString tiff = m_home->filePath("copied.tiff");
        QVERIFY(image.save(tiff, "TIFF"));
        QVERIFY(copyElsewhere({"--type-file", "image/tiff=" + tiff}));
        QCOMPARE(m_clipboard->items().size(), 1);
        const ClipItem item = m_clipboard->items().first();
        QCOMPARE(typesOf(item), QStringList{"image/png"});
        QCOMPARE(item.title, "Image 64 \u00D7 32");
        Store::waitForThumbnails();
        QCOMPARE(m_clipboard->thumbnail(item)->size(), QSize(64, 32));
    }

    void privateCopiesAreSkipped_data()
    {
        QTest::addColumn<QStringList>("owner");
        QTest::newRow("secret hint") << QStringList{"--type", "x-kde-passwordManagerHint=secret", "--type", "text/plain=pw"};
        QTest::newRow("concealed type") << QStringList{"--type", "org.nspasteboard.ConcealedType=", "--type", "text/plain=pw"};
        QTest::newRow("password manager in front")
            << QStringList{"--activate", "--wm-class", "keepassxc,KeePassXC", "--type", "text/plain=pw"};
    }
    void privateCopiesAreSkipped()
    {
        QFETCH(QStringList, owner);
        QVERIFY(copyElsewhere(owner));
        QVERIFY(m_clipboard->items().isEmpty());
    }

    void copyBackOffersExactlyTheStoredTypes()
    {
        QVERIFY(copyElsewhere({"--type", "text/plain=styled", "--type", "text/html=<b>styled</b>",
                               "--type", "text/rtf={\\rtf1 styled}", "--type", "TEXT=styled"}));
        const ClipItem item = m_clipboard->items().first();
        QCOMPARE(typesOf(item), (QStringList{"text/plain", "text/rtf", "text/html"}));
        m_owner.stop();

        const qint64 seen = m_service->changeCount();
        m_clipboard->copy(item);
        // Only the X11 alias of the text comes in addition, for clients that know no MIME names.
        QCOMPARE(targetsElsewhere(), (QStringList{"text/plain", "text/rtf", "text/html", "local.kiwano-snapper.clip",
                                                  "UTF8_STRING"}));
        QCOMPARE(readElsewhere("text/html"), "<b>styled</b>");
        QCOMPARE(readElsewhere("local.kiwano-snapper.clip"), QByteArray());

        // The history's own write merges into the same entry on the next poll.
        QTRY_VERIFY(m_service->changeCount() != seen);
        m_clipboard->check();
        QCOMPARE(m_clipboard->items().size(), 1);
        QCOMPARE(m_clipboard->items().first().copies, 2);
    }

    void copyBackOfFilesServesFileManagers()
    {
        QVERIFY(copyElsewhere({"--type", "text/uri-list=file:///tmp/a.txt\r\nfile:///tmp/b.txt\r\n"}));
        m_owner.stop();
        m_clipboard->copy(m_clipboard->items().first());
        QCOMPARE(targetsElsewhere(), (QStringList{"text/uri-list", "x-special/gnome-copied-files",
                                                  "local.kiwano-snapper.clip"}));
        QCOMPARE(readElsewhere("x-special/gnome-copied-files"), "copy\nfile:///tmp/a.txt\nfile:///tmp/b.txt");
    }

    void choosingPastesIntoTheWindowInFront_data()
    {
        QTest::addColumn<QStringList>("window");
        QTest::addColumn<QString>("keys");
        QTest::newRow("editor") << QStringList{"--wm-class", "editor,Editor"} << "key ctrl+v";
        QTest::newRow("terminal") << QStringList{"--terminal", "--wm-class", "kitty,kitty"} << "key ctrl+shift+v";
    }
    void choosingPastesIntoTheWindowInFront()
    {
        QFETCH(QStringList, window);
        QFETCH(QString, keys);
        QVERIFY2(m_keySender->isTrusted(), "needs XTEST");
        QVERIFY(copyElsewhere({"--type", "text/plain=pasted by the history"}));
        m_owner.stop();

        TestProgram target;
        QVERIFY(target.start(TestProgram::pasteWindowPath(), window));
        m_clipboard->choose(m_clipboard->items().first(), true);
        QCoreApplication::processEvents(); // the keystroke goes on the next turn
        QCOMPARE(target.waitForLine("key"), keys);
        QCOMPARE(target.waitForLine("text"), "text pasted by the history");
    }

private:
    // Another process takes the clipboard; the history polls once the change has been seen.
    bool copyElsewhere(const QStringList &ownerArguments)
    {
        const qint64 seen = m_service->changeCount();
        if (!m_owner.start(TestProgram::clipOwnerPath(), ownerArguments))
            return false;
        QElapsedTimer waited;
        waited.start();
        while (m_service->changeCount() == seen && waited.elapsed() < 5000)
            QTest::qWait(20);
        if (m_service->changeCount() == seen)
            return false;
        m_clipboard->check();
        m_clipboard->finishPendingCopies();
        return true;
    }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<XdgSandbox> m_sandbox;
    std::unique_ptr<X11ClipboardService> m_service;
    std::unique_ptr<X11FrontApp> m_frontApp;
    std::unique_ptr<X11KeySender> m_keySender;
    std::unique_ptr<Clipboard> m_clipboard;
    TestProgram m_owner;
};

QTEST_MAIN(TestClipboardX11)
#include "test_clipboardx11.moc"
