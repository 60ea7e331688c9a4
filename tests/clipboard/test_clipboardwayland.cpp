// SPDX-License-Identifier: MIT
// The clipboard history over the real Wayland clipboard (data-control, under the test compositor),
// with other clients as the applications that copy and read.
#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "platform/wayland/waylandclipboardservice.h"
#include "platform/wayland/waylandclipboardwatcher.h"
#include "platform/waylandsession.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// What another client reads from the clipboard with wl-paste.
QByteArray pasteElsewhere(const QStringList &arguments)
{
    QProcess paste;
    paste.setProcessEnvironment(WaylandSession::environment());
    paste.start("wl-paste", QStringList{"--no-newline"} + arguments);
    if (!paste.waitForFinished(5000))
        return "wl-paste did not finish";
    return paste.readAllStandardOutput();
}

QStringList typesOf(const ClipItem &item)
{
    QStringList types;
    for (const ClipContent &content : item.contents)
        types.append(content.type);
    return types;
}

} // namespace

class TestClipboardWayland : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_home = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home->filePath("config"));
        Store::setDir(m_home->filePath("Clipboard"));
        m_service = std::make_unique<WaylandClipboardService>(WaylandSession::display());
        QVERIFY(m_service->isValid());
        m_clipboard = std::make_unique<Clipboard>(m_service.get(), nullptr, nullptr);
        m_clipboard->start();
        QVERIFY(!m_clipboard->isPolling());
        QTRY_VERIFY(static_cast<WaylandClipboardWatcher *>(m_service->watcher())->isReady());
    }

    void cleanup()
    {
        m_source.kill();
        m_source.waitForFinished();
        if (m_clipboard)
            m_clipboard->finishPendingCopies();
        m_clipboard.reset();
        m_service.reset();
        m_home.reset();
    }

    void recordsAndCopiesBack_data()
    {
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("types"); // none: the copy is skipped
        QTest::addColumn<QString>("title");
        QTest::newRow("text") << QStringList{"--type", "text/plain=hello", "--type", "UTF8_STRING=hello"}
                              << QStringList{"text/plain"} << "hello";
        QTest::newRow("styled text")
            << QStringList{"--type", "text/plain;charset=utf-8=styled", "--type", "text/html=<b>styled</b>"}
            << QStringList{"text/plain;charset=utf-8", "text/html"} << "styled";
        QTest::newRow("png") << QStringList{"--type-file", "image/png=<png>"} << QStringList{"image/png"}
                             << "Image 64 \u00D7 32";
        QTest::newRow("public password hint")
            << QStringList{"--type", "x-kde-passwordManagerHint=public", "--type", "text/plain=shared"}
            << QStringList{"text/plain"} << "shared";
        QTest::newRow("secret password hint")
            << QStringList{"--type", "text/plain=pw", "--type", "x-kde-passwordManagerHint=secret"}
            << QStringList{} << QString();
    }
    void recordsAndCopiesBack()
    {
        QFETCH(QStringList, source);
        QFETCH(QStringList, types);
        QFETCH(QString, title);
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(m_home->filePath("copied.png"), "PNG"));
        source.replaceInStrings("<png>", m_home->filePath("copied.png"));
        m_source.setProcessEnvironment(WaylandSession::environment());
        m_source.start(QStringLiteral(WLSOURCE_PATH), source);
        QVERIFY(m_source.waitForStarted());
        if (types.isEmpty()) {
            // The hint is read first: nothing of the copy is kept, whatever comes after. Copies are
            // read in turn, so once the next one is in, this one has had its chance.
            QByteArray told;
            QTRY_VERIFY((told += m_source.readAllStandardOutput()).contains("request x-kde-passwordManagerHint"));
            QProcess next;
            next.setProcessEnvironment(WaylandSession::environment());
            next.start(QStringLiteral(WLSOURCE_PATH), {"--type", "text/plain=next"});
            QVERIFY(next.waitForStarted());
            QTRY_VERIFY(!m_clipboard->items().isEmpty());
            m_clipboard->finishPendingCopies();
            QCOMPARE(m_clipboard->items().size(), 1);
            QCOMPARE(m_clipboard->items().first().title, QStringLiteral("next"));
            next.kill();
            next.waitForFinished();
            return;
        }
        QTRY_COMPARE(m_clipboard->items().size(), 1);
        const ClipItem item = m_clipboard->items().first();
        QCOMPARE(typesOf(item), types);
        QCOMPARE(item.title, title);
        m_source.kill();
        m_source.waitForFinished();

        // Another client reads exactly the stored types back, and the marker.
        m_clipboard->copy(item);
        QCOMPARE(QString::fromUtf8(pasteElsewhere({"--list-types"})).split('\n', Qt::SkipEmptyParts),
                 types + QStringList{"local.kiwano-snapper.clip"});
        for (const ClipContent &content : item.contents)
            QCOMPARE(pasteElsewhere({"--type", content.type}), *Store::read(item.id, content.file));

        // The history's own write merges into the same entry once the watcher has read it.
        QTRY_COMPARE(m_clipboard->items().first().copies, 2);
        QCOMPARE(m_clipboard->items().size(), 1);
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<WaylandClipboardService> m_service;
    std::unique_ptr<Clipboard> m_clipboard;
    QProcess m_source;
};

KIWANO_TEST_MAIN(TestClipboardWayland)
#include "test_clipboardwayland.moc"
