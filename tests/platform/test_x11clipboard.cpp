// SPDX-License-Identifier: MIT
#include "platform/testprograms.h"
#include "platform/x11/x11clipboardservice.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Qt waits 5 s for an owner that never answers; ours gives up after about 1 s. Timing on a
// shared machine is loose, so only "well below Qt's" is asserted.
constexpr qint64 wellBelowQtsWait = 3000;

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// What another process gets for one target, or nothing when xclip fails.
std::optional<QByteArray> xclipOutput(const QString &target)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-o", "-selection", "clipboard", "-t", target});
    if (!xclip.waitForFinished(10000) || xclip.exitCode() != 0)
        return std::nullopt;
    return xclip.readAllStandardOutput();
}

} // namespace

Q_DECLARE_METATYPE(ClipboardService::Item)

class TestX11Clipboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsWhatTheOwnerOffers_data();
    void readsWhatTheOwnerOffers();
    void incrementalTransfers_data();
    void incrementalTransfers();
    void misbehavingOwnerYieldsNothing_data();
    void misbehavingOwnerYieldsNothing();
    void primarySelectionDoesNotCount();
    void readsOwnClipboardOfQt();
    void writeOffersExactlyTheItems_data();
    void writeOffersExactlyTheItems();

private:
    // Starts an owner with these options and waits until this process has seen the change.
    bool startOwner(TestProgram &owner, const QStringList &arguments);
    QString fileWith(const QByteArray &bytes);

    std::unique_ptr<X11ClipboardService> m_service;
    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestX11Clipboard::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    m_service = std::make_unique<X11ClipboardService>();
}

bool TestX11Clipboard::startOwner(TestProgram &owner, const QStringList &arguments)
{
    const qint64 before = m_service->changeCount();
    if (!owner.start(TestProgram::clipOwnerPath(), arguments))
        return false;
    return QTest::qWaitFor([&] { return m_service->changeCount() > before; }, 5000);
}

QString TestX11Clipboard::fileWith(const QByteArray &bytes)
{
    QFile file(m_dir.filePath(QStringLiteral("content-%1").arg(++m_files)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

void TestX11Clipboard::readsWhatTheOwnerOffers_data()
{
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QList<QByteArray>>("contents");

    QTest::newRow("text") << QStringList{"text/plain;charset=utf-8", "text/html", "text/plain"}
                          << QList<QByteArray>{"Grüße ⏎ 🥝", "<p>Hello</p>\n<p>Grüße</p>", "Hello"};
    QTest::newRow("png and tiff") << QStringList{"image/png", "image/tiff"}
                                  << QList<QByteArray>{randomBytes(40000), randomBytes(30000)};
    QTest::newRow("files and empty marker")
        << QStringList{"text/uri-list", "x-special/gnome-copied-files", "local.kiwano-snapper.clip"}
        << QList<QByteArray>{"file:///tmp/a.txt\r\nfile:///tmp/b%20c.pdf\r\n",
                             "copy\nfile:///tmp/a.txt\nfile:///tmp/b%20c.pdf", ""};
}

void TestX11Clipboard::readsWhatTheOwnerOffers()
{
    QFETCH(QStringList, types);
    QFETCH(QList<QByteArray>, contents);

    QStringList arguments;
    for (qsizetype i = 0; i < types.size(); ++i)
        arguments << QStringLiteral("--type-file") << types.at(i) + u'=' + fileWith(contents.at(i));
    TestProgram owner;
    QVERIFY(startOwner(owner, arguments));

    QCOMPARE(m_service->types(), types);
    for (qsizetype i = 0; i < types.size(); ++i)
        QCOMPARE(m_service->data(types.at(i)).value_or("missing"), contents.at(i));
    QVERIFY(!m_service->data(QStringLiteral("text/rtf")).has_value());
    QVERIFY(!m_service->data(QStringLiteral("TARGETS")).has_value());
}

void TestX11Clipboard::incrementalTransfers_data()
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

void TestX11Clipboard::incrementalTransfers()
{
    QFETCH(int, size);
    QFETCH(int, delay);
    QFETCH(int, chunk);
    QFETCH(bool, arrives);

    const QByteArray data = randomBytes(size);
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type-file", "image/png=" + fileWith(data), "--chunk",
                               QString::number(chunk), "--piece-delay", QString::number(delay)}));
    const auto received = m_service->data(QStringLiteral("image/png"));
    if (arrives) {
        QVERIFY(received == data);
    } else {
        QVERIFY(!received.has_value());
        QVERIFY(m_service->types().isEmpty()); // not asked again for the same copy
    }
}

void TestX11Clipboard::misbehavingOwnerYieldsNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QByteArray>("plainText");

    QTest::newRow("stalls") << QStringList{"--stall", "--type", "text/plain=never"} << QStringList()
                            << QByteArray("none");
    QTest::newRow("stalls on data")
        << QStringList{"--stall-data", "--type", "text/plain=a", "--type", "text/html=b"}
        << QStringList{"text/plain", "text/html"} << QByteArray("none");
    QTest::newRow("dies mid-transfer")
        << QStringList{"--die-mid-transfer", "--chunk", "4", "--type", "text/plain=0123456789"}
        << QStringList{"text/plain"} << QByteArray("none");
    // A refusal is an answer, not a stall: the owner is still asked for the other type.
    QTest::newRow("refuses a type")
        << QStringList{"--no-data", "text/html", "--type", "text/plain=still here"}
        << QStringList{"text/plain", "text/html"} << QByteArray("still here");
}

void TestX11Clipboard::misbehavingOwnerYieldsNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, types);
    QFETCH(QByteArray, plainText);

    TestProgram owner;
    QVERIFY(startOwner(owner, arguments));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(m_service->types(), types);
    QVERIFY(!m_service->data(QStringLiteral("text/html")).has_value());
    QCOMPARE(m_service->data(QStringLiteral("text/plain")).value_or("none"), plainText);
    QVERIFY2(timer.elapsed() < wellBelowQtsWait, qPrintable(QString::number(timer.elapsed())));
    if (arguments.contains(QStringLiteral("--die-mid-transfer"))) {
        QVERIFY(!owner.waitForLine(QStringLiteral("dying")).isEmpty());
        QTRY_VERIFY(m_service->types().isEmpty()); // its window went, and the clipboard with it
    }

    // The next copy gets a fresh chance.
    TestProgram next;
    QVERIFY(startOwner(next, {"--type", "text/plain=answered"}));
    QCOMPARE(m_service->data(QStringLiteral("text/plain")).value_or("missing"), "answered");
}

void TestX11Clipboard::primarySelectionDoesNotCount()
{
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type", "text/plain=clipboard"}));

    // News of the selections comes in the order the server sent it: once a selection is heard,
    // so is all news of earlier owners that went away.
    QSignalSpy selection(QGuiApplication::clipboard(), &QClipboard::selectionChanged);
    QProcess first, second;
    for (QProcess *xclip : {&first, &second}) {
        const qint64 before = m_service->changeCount();
        selection.clear();
        xclip->start(QStringLiteral("xclip"), {"-selection", "primary", "-loops", "0"});
        xclip->write("selected text");
        xclip->closeWriteChannel();
        QVERIFY(selection.wait(5000));
        if (xclip == &second)
            QCOMPARE(m_service->changeCount(), before);
    }
    QCOMPARE(m_service->data(QStringLiteral("text/plain")).value_or("missing"), "clipboard");
    for (QProcess *xclip : {&first, &second}) {
        xclip->kill();
        xclip->waitForFinished();
    }
}

void TestX11Clipboard::readsOwnClipboardOfQt()
{
    // The editor copies through Qt; reading that back from the GUI thread must not wait for the
    // GUI thread to answer.
    const qint64 before = m_service->changeCount();
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("text/plain"), "from this process");
    mime->setImageData(QImage(12, 34, QImage::Format_ARGB32));
    QGuiApplication::clipboard()->setMimeData(mime);
    QTRY_VERIFY(m_service->changeCount() > before);

    QElapsedTimer timer;
    timer.start();
    const QStringList types = m_service->types();
    QVERIFY(types.contains(QStringLiteral("image/png")));
    QVERIFY(!types.contains(QStringLiteral("application/x-qt-image")));
    QCOMPARE(m_service->data(QStringLiteral("text/plain")).value_or("missing"), "from this process");
    QCOMPARE(QImage::fromData(m_service->data(QStringLiteral("image/png")).value_or("")).size(),
             QSize(12, 34));
    QVERIFY2(timer.elapsed() < wellBelowQtsWait, qPrintable(QString::number(timer.elapsed())));
}

void TestX11Clipboard::writeOffersExactlyTheItems_data()
{
    QTest::addColumn<QList<ClipboardService::Item>>("items");

    QTest::newRow("text") << QList<ClipboardService::Item>{
        {"text/plain", "Grüße aus Kiwano"},
        {"text/rtf", "{\\rtf1 Gr\\u252?\\'fc}"},
        {"text/html", "<b>Grüße</b>"},
        {"local.kiwano-snapper.clip", ""}};
    QTest::newRow("large image") << QList<ClipboardService::Item>{
        {"image/png", randomBytes(6 << 20)}, {"local.kiwano-snapper.clip", ""}};
}

void TestX11Clipboard::writeOffersExactlyTheItems()
{
    QFETCH(QList<ClipboardService::Item>, items);

    const qint64 before = m_service->changeCount();
    m_service->write(items);
    QTRY_VERIFY(m_service->changeCount() > before);

    // Another process sees exactly these types, with the protocol's own targets and the legacy
    // name for UTF-8 text beside them; and so does this process, through the same server.
    QStringList types;
    for (const auto &item : items)
        types << item.type;
    if (types.contains(QStringLiteral("text/plain")))
        types << QStringLiteral("UTF8_STRING");
    QCOMPARE(m_service->types(), types);
    QStringList offered = QString::fromUtf8(xclipOutput(QStringLiteral("TARGETS")).value_or(""))
                              .split(u'\n', Qt::SkipEmptyParts);
    offered.sort();
    types << QStringLiteral("TARGETS") << QStringLiteral("TIMESTAMP");
    types.sort();
    QCOMPARE(offered, types);
    for (const auto &item : items) {
        QVERIFY2(xclipOutput(item.type) == item.data, qPrintable(item.type));
        QVERIFY2(m_service->data(item.type) == item.data, qPrintable(item.type));
    }
    if (types.contains(QStringLiteral("UTF8_STRING")))
        QCOMPARE(xclipOutput(QStringLiteral("UTF8_STRING")).value_or("failed"), items.first().data);

    // Taking it over from elsewhere leaves our copy behind.
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type", "text/plain=newer"}));
    QCOMPARE(m_service->types(), QStringList({"text/plain"}));
}

KIWANO_TEST_MAIN(TestX11Clipboard)
#include "test_x11clipboard.moc"
