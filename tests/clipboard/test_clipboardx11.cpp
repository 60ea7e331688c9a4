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
#include <QSignalSpy>
#include <QTimer>
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
        m_clipboard->start();
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

    void recordsAndCopiesBack_data()
    {
        QTest::addColumn<QStringList>("owner");
        QTest::addColumn<QStringList>("types"); // none: the copy is skipped
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("targets"); // offered to others once copied back
        const QString marker = "local.kiwano-snapper.clip";
        QTest::newRow("text") << QStringList{"--type", "text/plain=hello", "--type", "UTF8_STRING=hello"}
                              << QStringList{"text/plain"} << "hello" << QStringList{"text/plain", marker, "UTF8_STRING"};
        QTest::newRow("styled text")
            << QStringList{"--type", "text/plain=styled", "--type", "text/html=<b>styled</b>", "--type",
                           "text/rtf={\\rtf1 styled}", "--type", "TEXT=styled"}
            << QStringList{"text/plain", "text/rtf", "text/html"} << "styled"
            << QStringList{"text/plain", "text/rtf", "text/html", marker, "UTF8_STRING"};
        QTest::newRow("html") << QStringList{"--type", "text/html=<p>Hello</p>\n<p>World</p>"}
                              << QStringList{"text/html"} << "Hello World" << QStringList{"text/html", marker};
        QTest::newRow("files") << QStringList{"--type", "text/uri-list=file:///tmp/a.txt\r\nfile:///tmp/b%20c.pdf\r\n"}
                               << QStringList{"text/uri-list"} << "a.txt, b c.pdf"
                               << QStringList{"text/uri-list", "x-special/gnome-copied-files", marker};
        QTest::newRow("tiff only") << QStringList{"--type-file", "image/tiff=<tiff>"} << QStringList{"image/png"}
                                   << "Image 64 \u00D7 32" << QStringList{"image/png", marker};
        QTest::newRow("public password hint")
            << QStringList{"--type", "x-kde-passwordManagerHint=public", "--type", "text/plain=shared"}
            << QStringList{"text/plain"} << "shared" << QStringList{"text/plain", marker, "UTF8_STRING"};
        QTest::newRow("secret password hint")
            << QStringList{"--type", "x-kde-passwordManagerHint=secret", "--type", "text/plain=pw"} << QStringList{}
            << QString() << QStringList{};
        QTest::newRow("password manager in front")
            << QStringList{"--activate", "--wm-class", "keepassxc,KeePassXC", "--type", "text/plain=pw"}
            << QStringList{} << QString() << QStringList{};
    }
    void recordsAndCopiesBack()
    {
        QFETCH(QStringList, owner);
        QFETCH(QStringList, types);
        QFETCH(QString, title);
        QFETCH(QStringList, targets);
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(m_home->filePath("copied.tiff"), "TIFF"));
        owner.replaceInStrings("<tiff>", m_home->filePath("copied.tiff"));
        QVERIFY(copyElsewhere(owner));
        if (types.isEmpty()) {
            QVERIFY(m_clipboard->items().isEmpty());
            return;
        }
        QCOMPARE(m_clipboard->items().size(), 1);
        const ClipItem item = m_clipboard->items().first();
        QCOMPARE(typesOf(item), types);
        QCOMPARE(item.title, title);
        Store::waitForThumbnails();
        QCOMPARE(m_clipboard->thumbnail(item).value_or(QImage()).size(), item.hasImage ? QSize(64, 32) : QSize(0, 0));
        m_owner.stop();

        // Another process reads exactly the stored types back, plus the X11 alias of plain text.
        const qint64 seen = m_service->changeCount();
        m_clipboard->copy(item);
        QCOMPARE(targetsElsewhere(), targets);
        for (const ClipContent &content : item.contents)
            QCOMPARE(readElsewhere(content.type), *Store::read(item.id, content.file));
        QCOMPARE(readElsewhere("local.kiwano-snapper.clip"), QByteArray());
        if (targets.contains("x-special/gnome-copied-files"))
            QCOMPARE(readElsewhere("x-special/gnome-copied-files"), "copy\nfile:///tmp/a.txt\nfile:///tmp/b%20c.pdf");

        // The history's own write merges into the same entry once the watcher has read it.
        QTRY_COMPARE(m_clipboard->items().first().copies, 2);
        QCOMPARE(m_clipboard->items().size(), 1);
        QVERIFY(m_service->changeCount() != seen);
    }

    void recordsByEventWithoutPolling()
    {
        QProcess xclip;
        xclip.start("xclip", {"-selection", "clipboard", "-quiet"});
        xclip.write("copied by xclip");
        xclip.closeWriteChannel();
        QTRY_COMPARE(m_clipboard->items().size(), 1);
        QCOMPARE(m_clipboard->items().first().title, "copied by xclip");
        QVERIFY(!m_clipboard->isPolling());
        xclip.kill();
        xclip.waitForFinished();
    }

    void equalTextUnderAnotherTypeIsOneEntry()
    {
        // XWayland re-offers a Wayland copy under the X names, one owner after the other.
        const QList<QStringList> owners{
            {"--type", "UTF8_STRING=same words", "--type", "text/plain;charset=utf-8=same words"},
            {"--type", "UTF8_STRING=same words"},
            {"--type", "text/plain;charset=utf-8=same words"},
            {"--type", "text/plain=same words", "--type", "text/plain;charset=utf-8=same words"},
        };
        int copies = 0;
        for (const QStringList &owner : owners) {
            QVERIFY(copyElsewhere(owner));
            m_owner.stop();
            ++copies;
            QCOMPARE(m_clipboard->items().size(), 1);
            QCOMPARE(m_clipboard->items().first().copies, copies);
            QCOMPARE(m_clipboard->items().first().title, "same words");
        }
        // Other words under the same type are still another entry.
        QVERIFY(copyElsewhere({"--type", "UTF8_STRING=other words"}));
        QCOMPARE(m_clipboard->items().size(), 2);
    }

    void hostileOwnersNeverHoldTheGuiThread()
    {
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticker;
        ticker.setInterval(1);
        connect(&ticker, &QTimer::timeout, this, [&] {
            longestGap = std::max(longestGap, sinceTick.restart());
        });
        sinceTick.start();
        ticker.start();
        const QString slow = m_home->filePath("slow");
        QFile file(slow);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(10240, 's')) == 10240);
        file.close();
        const auto told = [this](const QString &line) { return m_owner.lines().filter(line).size(); };
        // One sends a few slow pieces of a read, then goes.
        QVERIFY(m_owner.start(TestProgram::clipOwnerPath(),
                              {"--type-file", "text/plain=" + slow, "--chunk", "1024", "--piece-delay", "300"}));
        QVERIFY(QTest::qWaitFor([&] { return told("piece") >= 4; }, 10000));
        m_owner.stop();
        // One never answers and takes the clipboard again and again.
        QVERIFY(m_owner.start(TestProgram::clipOwnerPath(), {"--stall", "--retake", "200", "--type", "text/plain=never"}));
        QVERIFY(QTest::qWaitFor([&] { return told("request") >= 1 && told("taken") >= 6; }, 10000));
        m_owner.stop();
        // Loose, for a shared machine: reading on this thread would hold it a second or more.
        QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap) + " ms"));
        QVERIFY(m_clipboard->items().isEmpty());
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
    // Another process takes the clipboard; true once the watcher has read or refused the copy and
    // the history has taken it.
    bool copyElsewhere(const QStringList &ownerArguments)
    {
        QSignalSpy arrived(m_service->watcher(), &ClipboardWatcher::copyArrived);
        QSignalSpy refused(m_service->watcher(), &ClipboardWatcher::copyRefused);
        if (!m_owner.start(TestProgram::clipOwnerPath(), ownerArguments))
            return false;
        (void)QTest::qWaitFor([&] { return !arrived.isEmpty() || !refused.isEmpty(); }, 5000);
        // The spies hear the watcher's thread at once; the history's queued call may still wait.
        QCoreApplication::sendPostedEvents(m_clipboard.get(), QEvent::MetaCall);
        m_clipboard->finishPendingCopies();
        return !arrived.isEmpty() || !refused.isEmpty();
    }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<XdgSandbox> m_sandbox;
    std::unique_ptr<X11ClipboardService> m_service;
    std::unique_ptr<X11FrontApp> m_frontApp;
    std::unique_ptr<X11KeySender> m_keySender;
    std::unique_ptr<Clipboard> m_clipboard;
    TestProgram m_owner;
};

KIWANO_TEST_MAIN(TestClipboardX11)
#include "test_clipboardx11.moc"
