// SPDX-License-Identifier: MIT
// The X11 clipboard service and its watcher: the shared contract against kiwano-test-clipowner and
// xclip, then what only X11 has: incremental transfers, owners that misbehave in its protocol,
// the primary selection, and Qt's own clipboard in this process.
#include "platform/clipboardcontract.h"
#include "platform/x11/x11clipboardservice.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

using namespace ClipboardTesting;

class TestX11Clipboard : public ClipboardContract
{
    Q_OBJECT

    QString skipReason() const override
    {
        return QGuiApplication::platformName() == QLatin1String("xcb") ? QString() : QStringLiteral("needs an X server");
    }
    std::unique_ptr<ClipboardService> makeService() override { return std::make_unique<X11ClipboardService>(); }
    QString ownerProgram() const override { return TestProgram::clipOwnerPath(); }
    QString readCommand(const QString &type) const override
    {
        return QStringLiteral("xclip -o -selection clipboard -t '%1'").arg(type);
    }
    QList<QStringList> oversizedWays() const override
    {
        return {{"--single-piece", "--chunk", "4194304"}, {"--chunk", "1048576"},
                {"--chunk", "1048576", "--announce", "4096"}}; // the size understated
    }
    int manyTypes() const override { return 20000; }

private slots:
    void incrementalTransfers_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<bool>("arrives");
        QTest::newRow("large") << (8 << 20) << 0 << 65536 << true;
        // The deadline counts from the last piece, not from the request.
        QTest::newRow("slow but steady") << 4096 << 400 << 1024 << true;
        QTest::newRow("trickling") << 65536 << 500 << 1024 << false;
    }
    void incrementalTransfers()
    {
        m_watcher->stop(); // the service's own reads, as in misbehavingOwnerYieldsNothing
        QFETCH(int, size);
        QFETCH(int, delay);
        QFETCH(int, chunk);
        QFETCH(bool, arrives);
        const QByteArray data = randomBytes(size);
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, {"--type-file", "image/png=" + fileWith(data), "--chunk", QString::number(chunk),
                                      "--piece-delay", QString::number(delay)}));
        QVERIFY(m_service->data("image/png") == (arrives ? std::optional(data) : std::nullopt));
        QCOMPARE(m_service->types().isEmpty(), !arrives); // a copy that failed is not asked again
    }

    // The watcher's copy has a deadline of its own: ten pieces 300 ms apart each come well within
    // a second, the whole takes three.
    void watcherEndsATrickleAtTheCopyDeadline()
    {
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, {"--type", "text/plain=first", "--type-file", "image/png=" + fileWith(QByteArray(10240, 'p')),
                                      "--chunk", "1024", "--piece-delay", "300"}));
        QTRY_VERIFY_WITH_TIMEOUT(!m_arrived->isEmpty(), 5000);
        QCOMPARE(countLines(owner, "finished"), 0);
        QVERIFY(lastCopy().timedOut);
        QCOMPARE(itemOf(lastCopy(), "text/plain"), "first");
        QCOMPARE(itemOf(lastCopy(), "image/png"), "missing");
    }

    void misbehavingOwnerYieldsNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QByteArray>("plainText");
        QTest::newRow("stalls on its types") << QStringList{"--stall", "--type", "text/plain=never"} << QStringList() << QByteArray("none");
        QTest::newRow("dies mid-transfer")
            << QStringList{"--die-mid-transfer", "--chunk", "4", "--type", "text/plain=0123456789"}
            << QStringList{"text/plain"} << QByteArray("none");
        // A refusal is an answer, not a stall: the owner is still asked for the other type.
        QTest::newRow("refuses a type") << QStringList{"--no-data", "text/html", "--type", "text/plain=still here"}
                                        << QStringList{"text/plain", "text/html"} << QByteArray("still here");
    }
    void misbehavingOwnerYieldsNothing()
    {
        // The service's own reads: the watcher would ask the same owner at the same time, and a
        // dying owner may die of its questions first.
        m_watcher->stop();
        QFETCH(QStringList, arguments);
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, arguments));
        QElapsedTimer timer;
        timer.start();
        QTEST(m_service->types(), "types");
        QVERIFY(!m_service->data(QStringLiteral("text/html")).has_value());
        QTEST(m_service->data(QStringLiteral("text/plain")).value_or("none"), "plainText");
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed()))); // Qt waits 5 s
        if (arguments.contains(QStringLiteral("--die-mid-transfer"))) {
            QVERIFY(!owner.waitForLine(QStringLiteral("dying")).isEmpty());
            QTRY_VERIFY(m_service->types().isEmpty()); // its window went, and the clipboard with it
        }
    }

    void primarySelectionDoesNotCount()
    {
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, {"--type", "text/plain=clipboard"}));
        // News of the selections comes in the order the server sent it: once a selection is heard,
        // so is all news of earlier owners that went away.
        QSignalSpy selection(QGuiApplication::clipboard(), &QClipboard::selectionChanged);
        QProcess first, second;
        for (QProcess *xclip : {&first, &second}) {
            const qint64 before = m_service->changeCount();
            selection.clear();
            xclip->start("xclip", {"-selection", "primary", "-loops", "0"});
            xclip->write("selected text");
            xclip->closeWriteChannel();
            QVERIFY(selection.wait(5000));
            if (xclip == &second)
                QCOMPARE(m_service->changeCount(), before);
        }
        QCOMPARE(m_service->data("text/plain").value_or("missing"), "clipboard");
        for (QProcess *xclip : {&first, &second}) {
            xclip->kill();
            xclip->waitForFinished();
        }
    }

    void readsOwnClipboardOfQt()
    {
        // The editor copies through Qt; reading that back from the GUI thread must not wait for the
        // GUI thread to answer.
        // Qt takes the clipboard at the time of the last event it has seen: until the news of the
        // owner before has come, the server may refuse it, and it is asked again.
        QTRY_VERIFY([this] {
            auto *mime = new QMimeData;
            mime->setData("text/plain", "from this process");
            mime->setImageData(QImage(12, 34, QImage::Format_ARGB32));
            QGuiApplication::clipboard()->setMimeData(mime);
            return m_service->types().contains("image/png");
        }());
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!m_service->types().contains("application/x-qt-image"));
        QCOMPARE(m_service->data("text/plain").value_or("missing"), "from this process");
        QCOMPARE(QImage::fromData(m_service->data("image/png").value_or("")).size(), QSize(12, 34));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    // Clients older than MIME types ask for text as UTF8_STRING only.
    void offersTextAsUtf8String()
    {
        m_service->write({{"text/plain", "Grüße"}, {marker, ""}});
        QTRY_VERIFY(m_service->types().contains(marker));
        QCOMPARE(readElsewhere("UTF8_STRING"), "Grüße");
    }
};

KIWANO_TEST_MAIN(TestX11Clipboard)
#include "test_x11clipboard.moc"
