// SPDX-License-Identifier: MIT
// The data-control clipboard service: what we copy, read back by other clients (wl-paste among
// them) however they read, and reading once; a compositor that is missing or goes away.
#include "platform/wayland/waylandclipboardservice.h"
#include "platform/wayland/waylandclipboardsource.h"
#include "platform/wayland/waylandclipboardwatcher.h"
#include "platform/wayland/waylandconnection.h"
#include "platform/wayland/waylanddatadevice.h"
#include "platform/waylandclients.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace WaylandClients;

namespace {

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

// How many bytes a pipe holds that no one has read yet.
int bytesWaitingIn(int fd)
{
    int count = 0;
    return ::ioctl(fd, FIONREAD, &count) == 0 ? count : 0;
}

} // namespace

class TestWaylandClipboardService : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void writesWhatOthersReadBack_data();
    void writesWhatOthersReadBack();
    void dropsAReaderThatNeverReads();
    void readsOnceThroughTheService();
    void missingCompositorIsQuiet();
    void silentCompositorCostsTheCallerNothing();
    void endsQuietlyWhenTheCompositorGoesAway();

private:
    TestProgram m_source;
    TestProgram m_other;
    QTemporaryDir m_dir;
};

void TestWaylandClipboardService::init()
{
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

void TestWaylandClipboardService::cleanup()
{
    m_source.stop();
    m_other.stop();
}

void TestWaylandClipboardService::writesWhatOthersReadBack_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text") << "text/plain;charset=utf-8" << QByteArray("zurück ⏎ kiwano");
    QTest::newRow("image") << "image/png" << noisyPng(1024);
}

void TestWaylandClipboardService::writesWhatOthersReadBack()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, bytes);
    WaylandClipboardService service(WaylandSession::display());
    QVERIFY(service.isValid());
    ClipboardWatcher *watcher = service.watcher();
    watcher->setChoice([](const QStringList &types) { return types; });
    QSignalSpy arrived(watcher, &ClipboardWatcher::copyArrived);
    watcher->start();
    // Copies count from the compositor's answer on, which comes on the watcher's thread.
    QTRY_VERIFY(static_cast<WaylandClipboardWatcher *>(watcher)->isReady());
    service.write({{type, bytes}, {marker, QByteArray()}});
    // Our own copy is read like any other, marker and all.
    QTRY_VERIFY_WITH_TIMEOUT(arrived.count() == 1, 5000);
    const auto own = arrived.last().first().value<ClipboardWatcher::Copy>();
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
    QTRY_VERIFY(bytesWaitingIn(unread) > 0);
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

void TestWaylandClipboardService::dropsAReaderThatNeverReads()
{
    WaylandClipboardService service(WaylandSession::display());
    QVERIFY(service.isValid());
    const QByteArray png = noisyPng(512);
    service.write({{"image/png", png}});

    // A reader of our own asks, then reads nothing for longer than the source's patience.
    const auto connection = WaylandConnection::open(WaylandSession::display());
    QVERIFY(connection);
    WaylandDataDevice device(*connection);
    QVERIFY(device.isValid() && connection->roundtrip(1000));
    QCOMPARE(device.types(), QStringList{"image/png"});
    const int fd = device.receive("image/png");
    QVERIFY(fd >= 0 && connection->roundtrip(1000));
    // The source gives up on it: its end of the pipe closes while ours is still full.
    QVERIFY2(QTest::qWaitFor([fd] {
        pollfd hangup{fd, POLLIN, 0};
        return ::poll(&hangup, 1, 0) == 1 && (hangup.revents & POLLHUP);
    }, int(WaylandClipboardSource::patience.count()) + 3000), "the source kept the pipe open");
    // What the pipe held, then the end.
    QByteArray got;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        got.append(buffer, n);
    ::close(fd);
    QCOMPARE(n, 0);
    QVERIFY(!got.isEmpty());
    QVERIFY(got.size() < png.size());
    QVERIFY(png.startsWith(got));
}

void TestWaylandClipboardService::readsOnceThroughTheService()
{
    WaylandClipboardService service(WaylandSession::display());
    QVERIFY(service.isValid());
    QTRY_VERIFY(service.isReady());
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

void TestWaylandClipboardService::missingCompositorIsQuiet()
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

void TestWaylandClipboardService::silentCompositorCostsTheCallerNothing()
{
    // A socket that takes the connection and never answers.
    QLocalServer silent;
    QVERIFY(silent.listen(m_dir.filePath("silent")));
    const QByteArray path = silent.fullServerName().toLocal8Bit();
    int turns = 0;
    QTimer tick;
    tick.setInterval(5);
    connect(&tick, &QTimer::timeout, this, [&turns] { ++turns; });
    tick.start();

    // Made and started at once; the compositor is waited for on their threads, while the caller's
    // loop keeps turning, until the deadline ends both.
    WaylandClipboardService service(path);
    QSignalSpy serviceEnded(&service, &WaylandClipboardService::ended);
    QVERIFY(service.isValid());
    WaylandClipboardWatcher watcher(path);
    QSignalSpy watcherEnded(&watcher, &WaylandClipboardWatcher::ended);
    watcher.start();
    QVERIFY(watcher.isRunning());
    QCOMPARE(turns, 0);
    QVERIFY(serviceEnded.wait(5000));
    QTRY_COMPARE(watcherEnded.count(), 1);
    QVERIFY2(turns >= 10, qPrintable(QStringLiteral("the loop turned %1 times").arg(turns)));
    QVERIFY(!service.isValid());
    QVERIFY(!watcher.isRunning());
    QVERIFY(service.types().isEmpty());
    QVERIFY(!service.data("text/plain"));
}

void TestWaylandClipboardService::endsQuietlyWhenTheCompositorGoesAway()
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

KIWANO_TEST_GUILESS_MAIN(TestWaylandClipboardService)
#include "test_waylandclipboardservice.moc"
