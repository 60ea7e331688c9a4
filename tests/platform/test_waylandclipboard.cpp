// SPDX-License-Identifier: MIT
// The data-control clipboard service and its watcher under the test compositor: the shared
// contract against kiwano-test-wlsource and wl-paste, then what only Wayland has: a newer copy
// that ends the read of an older one, a reader that never reads, and a compositor that is
// missing, silent or goes away.
#include "platform/clipboardcontract.h"
#include "platform/wayland/waylandclipboardservice.h"
#include "platform/wayland/waylandclipboardsource.h"
#include "platform/wayland/waylandclipboardwatcher.h"
#include "platform/wayland/waylandconnection.h"
#include "platform/wayland/waylanddatadevice.h"
#include "platform/waylandsession.h"
#include "support/loopturns.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <poll.h>

using namespace ClipboardTesting;

namespace {

// Stands between our clients and the test compositor on a thread of its own until closed; then the
// compositor seems to go away. Carries bytes only, no descriptors: enough for clients that copy
// nothing.
class CompositorProxy : public QThread
{
public:
    explicit CompositorProxy(const QString &path) : m_path(path) {}
    ~CompositorProxy() override { close(); }
    void close() { quit(); wait(); }

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

class TestWaylandClipboard : public ClipboardContract
{
    Q_OBJECT

    QString skipReason() const override { return WaylandSession::skipReason(); }
    std::unique_ptr<ClipboardService> makeService() override
    {
        auto service = std::make_unique<WaylandClipboardService>(WaylandSession::display());
        QTest::qWaitFor([&service] { return service->isReady(); }, 5000);
        return service;
    }
    bool watching(ClipboardWatcher *watcher) override { return static_cast<WaylandClipboardWatcher *>(watcher)->isReady(); }
    QString ownerProgram() const override { return QStringLiteral(WLSOURCE_PATH); }
    QString readCommand(const QString &type) const override
    {
        return QStringLiteral("wl-paste --no-newline --type '%1'").arg(type);
    }
    QProcessEnvironment environment() const override { return WaylandSession::environment(); }

private slots:
    void neverMixesTwoCopies()
    {
        // The older copy is asked for its first type and holds it; a newer copy with the same types
        // takes the clipboard, and the older source ends when it loses it. Its half-read types,
        // empty here, and the newer one's others once made one copy.
        TestProgram older, newer;
        QVERIFY(copyElsewhere(older, {"--stall", "--type", "text/plain=older", "--type", "text/plain;charset=utf-8=older"}));
        QTRY_COMPARE(countLines(older, "request"), 1);
        QVERIFY(copyElsewhere(newer, {"--type", "text/plain=newer", "--type", "text/plain;charset=utf-8=newer"}));
        QTRY_VERIFY_WITH_TIMEOUT(!m_arrived->isEmpty(), 5000);
        QVERIFY(!m_arrived->wait(300)); // nothing else comes
        QCOMPARE(m_arrived->size(), 1);
        QCOMPARE(itemOf(lastCopy(), "text/plain"), "newer");
        QCOMPARE(itemOf(lastCopy(), "text/plain;charset=utf-8"), "newer");
    }

    void dropsAReaderThatNeverReads()
    {
        const QByteArray png = randomBytes(1 << 20);
        m_service->write({{"image/png", png}});
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
        QFile pipe;
        QVERIFY(pipe.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        const QByteArray got = pipe.readAll();
        QVERIFY(!got.isEmpty() && got.size() < png.size() && png.startsWith(got));
    }

    // The compositor is missing, never answers, or goes away: the service and its watcher are made
    // and started at once, wait for it on their threads while the caller's loop turns, end, and
    // then read and write nothing.
    void endsQuietlyWithoutACompositor_data()
    {
        QTest::addColumn<QString>("compositor");
        QTest::newRow("missing") << "missing";
        QTest::newRow("silent") << "silent";
        QTest::newRow("goes away") << "goes away";
    }
    void endsQuietlyWithoutACompositor()
    {
        QFETCH(QString, compositor);
        const QString path = m_dir.filePath(compositor);
        QLocalServer silent; // takes the connection and never answers
        CompositorProxy proxy(path);
        if (compositor == "silent")
            QVERIFY(silent.listen(path));
        if (compositor == "goes away")
            proxy.start();
        QTRY_VERIFY(QFile::exists(path) || compositor == "missing");
        LoopTurns turns;
        WaylandClipboardService service(path.toLocal8Bit());
        QSignalSpy serviceEnded(&service, &WaylandClipboardService::ended);
        ClipboardWatcher *watcher = service.watcher();
        QSignalSpy watcherEnded(static_cast<WaylandClipboardWatcher *>(watcher), &WaylandClipboardWatcher::ended);
        watcher->start();
        QCOMPARE(turns.count, 0);
        QCOMPARE(service.isValid() && watcher->isRunning(), compositor != "missing");
        proxy.close();
        if (compositor != "missing") {
            QTRY_COMPARE(serviceEnded.count(), 1);
            QTRY_COMPARE(watcherEnded.count(), 1);
        }
        QVERIFY(!service.isValid() && !watcher->isRunning());
        QVERIFY2(turns.count >= 10 || compositor != "silent",
                 qPrintable(QStringLiteral("the loop turned %1 times").arg(turns.count)));
        QVERIFY(service.types().isEmpty());
        QVERIFY(!service.data("text/plain"));
        service.write({{"text/plain", "lost in the void"}});
    }
};

KIWANO_TEST_GUILESS_MAIN(TestWaylandClipboard)
#include "test_waylandclipboard.moc"
