// SPDX-License-Identifier: MIT
#include "platform/testprograms.h"
#include "platform/x11/x11clipboardservice.h"

#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Qt waits 5 s for an owner that never answers; ours gives up after about 1 s. Timing on a
// shared machine is loose, so only "well below Qt's" is asserted.
constexpr qint64 wellBelowQtsWait = 3000;

QByteArray imageBytes(const char *format, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(200, 120, 40, 255));
    for (int y = 0; y < height; y += 7)
        image.setPixelColor(y % width, y, Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// What another process gets for one target: xclip's output, or nothing when it fails.
std::optional<QByteArray> xclipOutput(const QString &target)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                 QStringLiteral("-t"), target});
    if (!xclip.waitForFinished(10000) || xclip.exitCode() != 0)
        return std::nullopt;
    return xclip.readAllStandardOutput();
}

} // namespace

class TestX11Clipboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readsWhatTheOwnerOffers_data();
    void readsWhatTheOwnerOffers();
    void readsLargeDataInPieces();
    void slowOwnerIsWaitedForWhileItSends();
    void tricklingOwnerIsGivenUpOn();
    void refusedTypeYieldsNothing();
    void stalledOwnerCostsAboutASecondOnce();
    void ownerStallingOnDataYieldsNothing();
    void ownerDyingMidTransferYieldsNothing();
    void emptyClipboardYieldsNothing();
    void primarySelectionDoesNotCount();
    void readsOwnClipboardOfQt();

    void writeOffersExactlyTheItems();
    void writtenLargeImageArrivesWhole();

private:
    // Starts an owner with these options and waits until this process has seen the change.
    bool startOwner(TestProgram &owner, const QStringList &arguments);
    QString fileWith(const QByteArray &bytes);

    std::unique_ptr<X11ClipboardService> m_service;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_files = 0;
};

void TestX11Clipboard::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    m_service = std::make_unique<X11ClipboardService>();
}

void TestX11Clipboard::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestX11Clipboard::cleanup()
{
    m_dir.reset();
}

bool TestX11Clipboard::startOwner(TestProgram &owner, const QStringList &arguments)
{
    const qint64 before = m_service->changeCount();
    if (!owner.start(TestProgram::clipOwnerPath(), arguments))
        return false;
    QDeadlineTimer deadline(5000);
    while (m_service->changeCount() == before && !deadline.hasExpired())
        QTest::qWait(10);
    return m_service->changeCount() > before;
}

QString TestX11Clipboard::fileWith(const QByteArray &bytes)
{
    const QString path = m_dir->filePath(QStringLiteral("content-%1").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestX11Clipboard::readsWhatTheOwnerOffers_data()
{
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QList<QByteArray>>("contents");

    QTest::newRow("plain text") << QStringList{"text/plain;charset=utf-8", "text/plain"}
                                << QList<QByteArray>{"Grüße ⏎ 🥝", "Grüße ⏎ 🥝"};
    QTest::newRow("html") << QStringList{"text/html", "text/plain"}
                          << QList<QByteArray>{"<p>Hello</p>\n<p>World</p>", "Hello\nWorld"};
    QTest::newRow("png") << QStringList{"image/png"}
                         << QList<QByteArray>{imageBytes("PNG", 640, 480)};
    QTest::newRow("tiff") << QStringList{"image/tiff"}
                          << QList<QByteArray>{imageBytes("TIFF", 300, 200)};
    QTest::newRow("file urls") << QStringList{"text/uri-list", "x-special/gnome-copied-files"}
                               << QList<QByteArray>{"file:///tmp/a.txt\r\nfile:///tmp/b%20c.pdf\r\n",
                                                    "copy\nfile:///tmp/a.txt\nfile:///tmp/b%20c.pdf"};
    QTest::newRow("empty marker") << QStringList{"text/plain", "local.kiwano-snapper.clip"}
                                  << QList<QByteArray>{"x", ""};
}

void TestX11Clipboard::readsWhatTheOwnerOffers()
{
    QFETCH(QStringList, types);
    QFETCH(QList<QByteArray>, contents);

    QStringList arguments;
    for (qsizetype i = 0; i < types.size(); ++i) {
        const QString path = fileWith(contents.at(i));
        QVERIFY(!path.isEmpty());
        arguments << QStringLiteral("--type-file") << types.at(i) + u'=' + path;
    }
    TestProgram owner;
    QVERIFY(startOwner(owner, arguments));

    QCOMPARE(m_service->types(), types);
    for (qsizetype i = 0; i < types.size(); ++i) {
        const auto data = m_service->data(types.at(i));
        QVERIFY2(data.has_value(), qPrintable(types.at(i)));
        QCOMPARE(*data, contents.at(i));
    }
    QVERIFY(!m_service->data(QStringLiteral("text/rtf")).has_value());
    QVERIFY(!m_service->data(QStringLiteral("TARGETS")).has_value());
}

void TestX11Clipboard::readsLargeDataInPieces()
{
    const QByteArray big = randomBytes(8 << 20);
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type-file", "image/png=" + fileWith(big), "--chunk", "65536"}));

    const auto data = m_service->data(QStringLiteral("image/png"));
    QVERIFY(data.has_value());
    QCOMPARE(data->size(), big.size());
    QVERIFY(*data == big);
}

void TestX11Clipboard::slowOwnerIsWaitedForWhileItSends()
{
    // The deadline counts from the last piece, not from the request.
    const QByteArray data = randomBytes(4 * 1024);
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type-file", "image/png=" + fileWith(data), "--chunk", "1024",
                               "--piece-delay", "400"}));
    QCOMPARE(m_service->data(QStringLiteral("image/png")).value_or(""), data);
}

void TestX11Clipboard::tricklingOwnerIsGivenUpOn()
{
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type-file", "image/png=" + fileWith(randomBytes(64 * 1024)),
                               "--chunk", "1024", "--piece-delay", "500"}));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!m_service->data(QStringLiteral("image/png")).has_value());
    QVERIFY(!m_service->types().size()); // not asked again for the same copy
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
}

void TestX11Clipboard::refusedTypeYieldsNothing()
{
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--no-data", "image/png", "--type", "text/plain=still here"}));

    QCOMPARE(m_service->types(), QStringList({"text/plain", "image/png"}));
    QVERIFY(!m_service->data(QStringLiteral("image/png")).has_value());
    // A refusal is an answer, not a stall: the owner is still asked for the other type.
    QCOMPARE(m_service->data(QStringLiteral("text/plain")).value_or("missing"), "still here");
}

void TestX11Clipboard::stalledOwnerCostsAboutASecondOnce()
{
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--stall", "--type", "text/plain=never"}));

    QElapsedTimer timer;
    timer.start();
    QVERIFY(m_service->types().isEmpty());
    const qint64 firstWait = timer.elapsed();
    QVERIFY(!m_service->data(QStringLiteral("text/plain")).has_value());
    QVERIFY(!m_service->data(QStringLiteral("text/html")).has_value());
    QVERIFY2(timer.elapsed() < wellBelowQtsWait, qPrintable(QString::number(timer.elapsed())));
    qInfo("stalled owner: types() gave up after %lld ms", firstWait);

    // The next copy gets a fresh chance.
    TestProgram next;
    QVERIFY(startOwner(next, {"--type", "text/plain=answered"}));
    QCOMPARE(m_service->data(QStringLiteral("text/plain")).value_or("missing"), "answered");
}

void TestX11Clipboard::ownerStallingOnDataYieldsNothing()
{
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--stall-data", "--type", "text/plain=a", "--type", "text/html=b"}));

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(m_service->types(), QStringList({"text/plain", "text/html"}));
    QVERIFY(!m_service->data(QStringLiteral("text/plain")).has_value());
    QVERIFY(!m_service->data(QStringLiteral("text/html")).has_value());
    QVERIFY2(timer.elapsed() < wellBelowQtsWait, qPrintable(QString::number(timer.elapsed())));
}

void TestX11Clipboard::ownerDyingMidTransferYieldsNothing()
{
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type-file", "image/png=" + fileWith(randomBytes(2 << 20)),
                               "--die-mid-transfer"}));

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!m_service->data(QStringLiteral("image/png")).has_value());
    QVERIFY2(timer.elapsed() < wellBelowQtsWait, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!owner.waitForLine(QStringLiteral("dying")).isEmpty());
    QVERIFY(m_service->types().isEmpty());
}

void TestX11Clipboard::emptyClipboardYieldsNothing()
{
    {
        TestProgram owner;
        QVERIFY(startOwner(owner, {"--type", "text/plain=gone soon"}));
    }
    // The owner's window went with it, and so did the clipboard.
    QTRY_VERIFY(m_service->types().isEmpty());
    QVERIFY(!m_service->data(QStringLiteral("text/plain")).has_value());
}

void TestX11Clipboard::primarySelectionDoesNotCount()
{
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type", "text/plain=clipboard"}));
    QTest::qWait(200); // news of earlier owners that went away
    const qint64 before = m_service->changeCount();

    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("primary"),
                                          QStringLiteral("-loops"), QStringLiteral("0")});
    xclip.write("selected text");
    xclip.closeWriteChannel();
    QVERIFY(xclip.waitForStarted());
    QSignalSpy selection(QGuiApplication::clipboard(), &QClipboard::selectionChanged);
    QVERIFY(selection.wait(5000));
    QTest::qWait(100);
    QCOMPARE(m_service->changeCount(), before);
    QCOMPARE(m_service->data(QStringLiteral("text/plain")).value_or("missing"), "clipboard");
    xclip.kill();
    xclip.waitForFinished();
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
    QVERIFY(types.contains(QStringLiteral("text/plain")));
    QVERIFY(types.contains(QStringLiteral("image/png")));
    QVERIFY(!types.contains(QStringLiteral("application/x-qt-image")));
    QCOMPARE(m_service->data(QStringLiteral("text/plain")).value_or("missing"), "from this process");
    QCOMPARE(QImage::fromData(m_service->data(QStringLiteral("image/png")).value_or("")).size(),
             QSize(12, 34));
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
}

void TestX11Clipboard::writeOffersExactlyTheItems()
{
    const QList<ClipboardService::Item> items{
        {"text/plain", "Grüße aus Kiwano"},
        {"text/rtf", "{\\rtf1 Gr\\u252?\\'fc}"},
        {"text/html", "<b>Grüße</b>"},
        {"local.kiwano-snapper.clip", ""},
    };
    const qint64 before = m_service->changeCount();
    m_service->write(items);
    QTRY_VERIFY(m_service->changeCount() > before);

    // Another process sees exactly these types, with the protocol's own targets and the legacy
    // name for UTF-8 text beside them.
    const auto targets = xclipOutput(QStringLiteral("TARGETS"));
    QVERIFY(targets.has_value());
    QStringList offered = QString::fromUtf8(*targets).split(u'\n', Qt::SkipEmptyParts);
    offered.sort();
    QStringList expected{"TARGETS", "TIMESTAMP", "UTF8_STRING"};
    for (const auto &item : items)
        expected << item.type;
    expected.sort();
    QCOMPARE(offered, expected);
    for (const auto &item : items)
        QCOMPARE(xclipOutput(item.type).value_or("failed"), item.data);
    QCOMPARE(xclipOutput(QStringLiteral("UTF8_STRING")).value_or("failed"), items.first().data);

    // And so does this process, through the same server.
    QCOMPARE(m_service->types(), QStringList({"text/plain", "text/rtf", "text/html",
                                              "local.kiwano-snapper.clip", "UTF8_STRING"}));
    QCOMPARE(m_service->data(QStringLiteral("local.kiwano-snapper.clip")), QByteArray(""));
}

void TestX11Clipboard::writtenLargeImageArrivesWhole()
{
    const QByteArray png = randomBytes(6 << 20);
    m_service->write({{"image/png", png}, {"local.kiwano-snapper.clip", ""}});

    QVERIFY(xclipOutput(QStringLiteral("image/png")) == png);
    QVERIFY(m_service->data(QStringLiteral("image/png")) == png);

    // Taking it over from elsewhere leaves our copy behind.
    TestProgram owner;
    QVERIFY(startOwner(owner, {"--type", "text/plain=newer"}));
    QCOMPARE(m_service->types(), QStringList({"text/plain"}));
}

QTEST_MAIN(TestX11Clipboard)
#include "test_x11clipboard.moc"
