// SPDX-License-Identifier: MIT
// The data-control watcher against other Wayland clients under the test compositor, hostile
// ones included.
#include "platform/wayland/waylandclipboardwatcher.h"
#include "platform/waylandclients.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace WaylandClients;

namespace {

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

} // namespace

class TestWaylandClipboardWatcher : public QObject
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
    void neverMixesTwoCopies();

private:
    std::unique_ptr<WaylandClipboardWatcher> m_watcher;
    std::unique_ptr<QSignalSpy> m_arrived;
    std::unique_ptr<QSignalSpy> m_refused;
    TestProgram m_source;
    TestProgram m_other;
    TestProgram m_before;
    QTemporaryDir m_dir;
};

void TestWaylandClipboardWatcher::init()
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
    QTRY_VERIFY(m_watcher->isReady());
}

void TestWaylandClipboardWatcher::cleanup()
{
    m_watcher.reset();
    m_arrived.reset();
    m_refused.reset();
    m_source.stop();
    m_other.stop();
    m_before.stop();
}

void TestWaylandClipboardWatcher::readsCopiesOfOtherClients_data()
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

void TestWaylandClipboardWatcher::readsCopiesOfOtherClients()
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

void TestWaylandClipboardWatcher::refusesTooMuchAndGoesOn()
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

void TestWaylandClipboardWatcher::cutsALongTypeList()
{
    QVERIFY(startSource(m_source, {"--type", "text/plain=kept", "--junk-types", "300"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived->count() == 1, 5000);
    const auto copy = m_arrived->first().first().value<ClipboardWatcher::Copy>();
    QCOMPARE(copy.types.size(), 256);
    QCOMPARE(copy.types.first(), "text/plain");
    QCOMPARE(itemOf(copy, "text/plain"), "kept");
}

void TestWaylandClipboardWatcher::endsAStalledSourceAndGoesOn()
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

void TestWaylandClipboardWatcher::neverMixesTwoCopies()
{
    // The older copy is asked for its first type and holds it; a newer copy with the same types
    // takes the clipboard, and the older source ends when it loses it. Its half-read types, empty
    // here, and the newer one's others once made one copy.
    QVERIFY(startSource(m_source, {"--stall", "--type", "text/plain=older", "--type", "text/plain;charset=utf-8=older"}));
    QTRY_COMPARE(countLines(m_source, "request"), 1);
    QVERIFY(startSource(m_other, {"--type", "text/plain=newer", "--type", "text/plain;charset=utf-8=newer"}));
    QTRY_VERIFY_WITH_TIMEOUT(!m_arrived->isEmpty(), 5000);
    QTest::qWait(300); // nothing else comes
    QCOMPARE(m_arrived->size(), 1);
    const auto copy = m_arrived->first().first().value<ClipboardWatcher::Copy>();
    QCOMPARE(itemOf(copy, "text/plain"), "newer");
    QCOMPARE(itemOf(copy, "text/plain;charset=utf-8"), "newer");
}

KIWANO_TEST_GUILESS_MAIN(TestWaylandClipboardWatcher)
#include "test_waylandclipboardwatcher.moc"
