// SPDX-License-Identifier: MIT
// The data-control clipboard against other Wayland clients under the test compositor: wl-copy
// and wl-paste, and a source of our own that offers many types or never answers.
#include "platform/testprograms.h"
#include "platform/wayland/waylandclipboardservice.h"
#include "platform/wayland/waylandclipboardwatcher.h"
#include "platform/waylandsession.h"

#include <QBuffer>
#include <QImage>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString marker = QStringLiteral("local.kiwano-snapper.clip");

QByteArray itemOf(const ClipboardWatcher::Copy &copy, const QString &type)
{
    for (const ClipboardService::Item &item : copy.items)
        if (item.type == type)
            return item.data;
    return "missing";
}

// The most this process has held at once, from the kernel's own count.
qint64 peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// Noise compresses badly: a PNG of a few megabytes, far more than a pipe holds.
QByteArray noisyPng(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, random.generate());
    QByteArray png;
    QBuffer buffer(&png);
    image.save(&buffer, "PNG");
    return png;
}

// Lines since the program last started (a TestProgram keeps those of earlier runs).
qsizetype countLines(TestProgram &program, const QString &prefix)
{
    qsizetype count = 0;
    for (const QString &line : program.lines()) {
        if (line.startsWith(QLatin1String("started")))
            count = 0;
        count += line.startsWith(prefix);
    }
    return count;
}

// Stands between our clients and the test compositor on a thread of its own until closed; then the
// compositor seems to go away. Carries bytes only, no descriptors: enough for clients that copy
// nothing.
class CompositorProxy : public QThread
{
public:
    explicit CompositorProxy(const QString &path) : m_path(path) {}
    ~CompositorProxy() override { close(); }
    void close()
    {
        quit();
        wait();
    }

protected:
    void run() override
    {
        QLocalServer server;
        if (!server.listen(m_path))
            return;
        std::vector<std::unique_ptr<QLocalSocket>> sockets;
        QObject::connect(&server, &QLocalServer::newConnection, &server, [&] {
            QLocalSocket *client = server.nextPendingConnection();
            auto upstream = std::make_unique<QLocalSocket>();
            upstream->connectToServer(QString::fromLocal8Bit(WaylandSession::display()));
            upstream->waitForConnected(1000);
            QLocalSocket *up = upstream.get();
            QObject::connect(client, &QLocalSocket::readyRead, up, [client, up] { up->write(client->readAll()); });
            QObject::connect(up, &QLocalSocket::readyRead, client, [client, up] { client->write(up->readAll()); });
            up->write(client->readAll());
            sockets.push_back(std::move(upstream));
        });
        exec();
    }

private:
    QString m_path;
};

} // namespace

class TestWaylandClipboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    // First, while this process has not held much yet: its peak is what is measured.
    void refusesTooMuchAndGoesOn();
    void readsCopiesOfOtherClients_data();
    void readsCopiesOfOtherClients();
    void cutsALongTypeList();
    void endsAStalledSourceAndGoesOn();
    void writesWhatOthersReadBack_data();
    void writesWhatOthersReadBack();
    void readsOnceThroughTheService();
    void missingCompositorIsQuiet();
    void endsQuietlyWhenTheCompositorGoesAway();

private:
    // Starts a program against the test compositor; for wl-copy, waits until its copy is out.
    bool copyWith(TestProgram &program, const QStringList &arguments, const QString &input = {});
    bool startSource(TestProgram &program, const QStringList &arguments);

    std::unique_ptr<WaylandClipboardWatcher> m_watcher;
    std::unique_ptr<QSignalSpy> m_arrived;
    std::unique_ptr<QSignalSpy> m_refused;
    TestProgram m_source;
    TestProgram m_other;
    TestProgram m_before;
    QTemporaryDir m_dir;
};

bool TestWaylandClipboard::copyWith(TestProgram &program, const QStringList &arguments, const QString &input)
{
    program.process().setProcessEnvironment(WaylandSession::environment());
    if (!input.isEmpty())
        program.process().setStandardInputFile(input);
    program.process().start(QStringLiteral("wl-copy"), QStringList{"--foreground"} + arguments);
    return program.process().waitForStarted(5000);
}

bool TestWaylandClipboard::startSource(TestProgram &program, const QStringList &arguments)
{
    program.process().setProcessEnvironment(WaylandSession::environment());
    return program.start(QStringLiteral(WLSOURCE_PATH), arguments);
}

void TestWaylandClipboard::init()
{
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
    // Something on the clipboard before the watch starts: never reported.
    QVERIFY(startSource(m_before, {"--type", "text/plain=present before"}));
    m_watcher = std::make_unique<WaylandClipboardWatcher>(WaylandSession::display());
    m_watcher->setChoice([](const QStringList &types) {
        QStringList chosen;
        for (const QString &type : types)
            if (!type.startsWith(QLatin1String("x-junk-")))
                chosen << type;
        return chosen;
    });
    m_arrived = std::make_unique<QSignalSpy>(m_watcher.get(), &ClipboardWatcher::copyArrived);
    m_refused = std::make_unique<QSignalSpy>(m_watcher.get(), &ClipboardWatcher::copyRefused);
    m_watcher->start();
    QVERIFY(m_watcher->isRunning());
}

void TestWaylandClipboard::cleanup()
{
    m_watcher.reset();
    m_arrived.reset();
    m_refused.reset();
    m_source.stop();
    m_other.stop();
    m_before.stop();
}

void TestWaylandClipboard::readsCopiesOfOtherClients_data()
{
    QTest::addColumn<bool>("ownSource"); // else wl-copy
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input"); // wl-copy's standard input
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("alsoOffered");

    QTest::newRow("text") << false << QStringList{"grüße from wl-copy"} << QByteArray() << "text/plain"
                          << QByteArray("grüße from wl-copy") << "text/plain;charset=utf-8";
    // Far more than a pipe holds: wl-copy writes while we read.
    const QByteArray png = noisyPng(512);
    QTest::newRow("png") << false << QStringList{"--type", "image/png"} << png << "image/png" << png << "";
    QTest::newRow("password hint beside text")
        << true << QStringList{"--type", "text/plain=hunter2", "--type", "x-kde-passwordManagerHint=secret"}
        << QByteArray() << "x-kde-passwordManagerHint" << QByteArray("secret") << "text/plain";
}

void TestWaylandClipboard::readsCopiesOfOtherClients()
{
    QFETCH(bool, ownSource);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QString, type);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, alsoOffered);
    if (ownSource) {
        QVERIFY(startSource(m_source, arguments));
    } else {
        QString path;
        if (!input.isEmpty()) {
            QFile file(path = m_dir.filePath("input"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(input) == input.size());
        }
        QVERIFY(copyWith(m_source, arguments, path));
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived->count() == 1, 5000);
    QCOMPARE(m_arrived->count(), 1); // not the copy present at the start
    const auto copy = m_arrived->first().first().value<ClipboardWatcher::Copy>();
    QVERIFY(!copy.timedOut);
    QCOMPARE(itemOf(copy, type), bytes);
    if (!alsoOffered.isEmpty())
        QVERIFY(copy.types.contains(alsoOffered));
}

void TestWaylandClipboard::refusesTooMuchAndGoesOn()
{
    constexpr qint64 limit = 4 << 20;
    m_watcher->setByteLimit(limit);
    QFile huge(m_dir.filePath("huge"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    const QByteArray mebibyte(1 << 20, 'k');
    for (int i = 0; i < 40; ++i)
        QVERIFY(huge.write(mebibyte) == mebibyte.size());
    huge.close();
    const qint64 before = peakResidentBytes();
    QVERIFY(startSource(m_source, {"--type", "text/plain=small", "--type-file", "image/png=" + huge.fileName()}));
    QTRY_VERIFY_WITH_TIMEOUT(m_refused->count() == 1, 5000);
    QCOMPARE(m_arrived->count(), 0); // the small type read first is dropped with the rest
    // Reading stops at the limit: at most the limit and a piece, never the payload.
    const qint64 grown = peakResidentBytes() - before;
    QVERIFY2(grown < limit + (8 << 20), qPrintable(QString::number(grown >> 20) + " MiB"));

    QVERIFY(copyWith(m_other, {"next"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived->count() == 1, 5000);
    QCOMPARE(itemOf(m_arrived->last().first().value<ClipboardWatcher::Copy>(), "text/plain"), "next");
}

void TestWaylandClipboard::cutsALongTypeList()
{
    QVERIFY(startSource(m_source, {"--type", "text/plain=kept", "--junk-types", "300"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived->count() == 1, 5000);
    const auto copy = m_arrived->first().first().value<ClipboardWatcher::Copy>();
    QCOMPARE(copy.types.size(), 256);
    QCOMPARE(copy.types.first(), "text/plain");
    QCOMPARE(itemOf(copy, "text/plain"), "kept");
}

void TestWaylandClipboard::endsAStalledSourceAndGoesOn()
{
    // It never writes, and takes the clipboard again every 200 ms with the same types.
    QVERIFY(startSource(m_source, {"--stall", "--retake", "200", "--type", "text/plain=never"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived->count() == 1, 3000);
    const auto stalled = m_arrived->first().first().value<ClipboardWatcher::Copy>();
    QVERIFY(stalled.timedOut);
    QVERIFY(stalled.items.isEmpty());
    QTRY_VERIFY(m_refused->count() >= 5);
    QCOMPARE(countLines(m_source, "request"), 1);
    m_source.stop();

    // Another source is asked at once.
    QVERIFY(copyWith(m_other, {"answered"}));
    QTRY_VERIFY(m_arrived->count() == 2);
    QCOMPARE(itemOf(m_arrived->last().first().value<ClipboardWatcher::Copy>(), "text/plain"), "answered");
}

void TestWaylandClipboard::writesWhatOthersReadBack_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text") << "text/plain;charset=utf-8" << QByteArray("zurück ⏎ kiwano");
    QTest::newRow("image") << "image/png" << noisyPng(1024);
}

void TestWaylandClipboard::writesWhatOthersReadBack()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, bytes);
    WaylandClipboardService service(WaylandSession::display());
    QVERIFY(service.isValid());
    service.write({{type, bytes}, {marker, QByteArray()}});
    // Our own copy is read like any other, marker and all.
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived->count() == 1, 5000);
    const auto own = m_arrived->last().first().value<ClipboardWatcher::Copy>();
    QVERIFY(own.types.contains(marker));
    QCOMPARE(itemOf(own, type), bytes);

    // A reader that goes away after the first byte: our writes meet a closed pipe.
    QProcess quitter;
    quitter.setProcessEnvironment(WaylandSession::environment());
    quitter.start("sh", {"-c", "wl-paste --no-newline --type " + type + " | head -c 1"});
    QVERIFY(quitter.waitForFinished(5000));

    // A reader that takes what fits in its pipe and then nothing more (its output goes to a pipe
    // that no one reads), and meanwhile one that reads.
    const QString fifo = m_dir.filePath("never-read");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    const int unread = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(unread >= 0);
    QProcess stalled;
    stalled.setProcessEnvironment(WaylandSession::environment());
    stalled.setStandardOutputFile(fifo);
    stalled.start("wl-paste", {"--no-newline", "--type", type});
    QVERIFY(stalled.waitForStarted());
    QTest::qWait(300);
    QProcess paste;
    paste.setProcessEnvironment(WaylandSession::environment());
    paste.start("wl-paste", {"--no-newline", "--type", type});
    QVERIFY(paste.waitForFinished(5000));
    QCOMPARE(paste.readAllStandardOutput(), bytes);
    stalled.kill();
    stalled.waitForFinished();
    ::close(unread);
    ::unlink(QFile::encodeName(fifo).constData());
}

void TestWaylandClipboard::readsOnceThroughTheService()
{
    m_watcher->stop(); // its reads would count as the source's requests
    WaylandClipboardService service(WaylandSession::display());
    QVERIFY(service.isValid());
    const qint64 before = service.changeCount();
    QVERIFY(copyWith(m_source, {"read once"}));
    QTRY_VERIFY(service.changeCount() > before);
    QVERIFY(service.types().contains("text/plain"));
    QCOMPARE(service.data("text/plain").value_or("nothing"), "read once");

    // A source that never writes costs the deadline once, not once per question.
    QVERIFY(startSource(m_other, {"--stall", "--type", "text/plain=never", "--type", "text/html=never"}));
    QTRY_VERIFY(service.types().contains("text/html"));
    QVERIFY(!service.data("text/plain"));
    QVERIFY(!service.data("text/html"));
    QVERIFY(!m_other.waitForLine("request", 1000).isEmpty());
    QVERIFY(m_other.waitForLine("request", 300).isEmpty());
}

void TestWaylandClipboard::missingCompositorIsQuiet()
{
    const QByteArray nowhere = m_dir.filePath("nobody-here").toLocal8Bit();
    WaylandClipboardService service(nowhere);
    QVERIFY(!service.isValid());
    QVERIFY(service.types().isEmpty());
    QVERIFY(!service.data("text/plain"));
    service.write({{"text/plain", "lost in the void"}});
    service.watcher()->start();
    QVERIFY(!service.watcher()->isRunning());
}

void TestWaylandClipboard::endsQuietlyWhenTheCompositorGoesAway()
{
    const QString path = m_dir.filePath("proxy");
    CompositorProxy proxy(path);
    proxy.start();
    QTRY_VERIFY(QFile::exists(path));
    WaylandClipboardService service(path.toLocal8Bit());
    QVERIFY(service.isValid());
    WaylandClipboardWatcher watcher(path.toLocal8Bit());
    watcher.start();
    QVERIFY(watcher.isRunning());
    QSignalSpy serviceEnded(&service, &WaylandClipboardService::ended);
    QSignalSpy watcherEnded(&watcher, &WaylandClipboardWatcher::ended);

    proxy.close();
    QTRY_COMPARE(watcherEnded.count(), 1);
    QVERIFY(!watcher.isRunning());
    QTRY_COMPARE(serviceEnded.count(), 1);
    QVERIFY(!service.isValid());
    QVERIFY(service.types().isEmpty());
    QVERIFY(!service.data("text/plain"));
    service.write({{"text/plain", "nobody to take it"}});
}

QTEST_GUILESS_MAIN(TestWaylandClipboard)
#include "test_waylandclipboard.moc"
