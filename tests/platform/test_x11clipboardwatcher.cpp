// SPDX-License-Identifier: MIT
// The clipboard watcher against owners that are separate processes, hostile ones included.
#include "platform/testprograms.h"
#include "platform/x11/x11clipboardwatcher.h"

#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

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

// Lines since the program last started (a TestProgram keeps those of earlier runs).
qsizetype countLines(TestProgram &program, const QString &prefix)
{
    qsizetype count = 0;
    for (const QString &line : program.lines()) {
        if (line.startsWith(QLatin1String("ready")))
            count = 0;
        count += line.startsWith(prefix);
    }
    return count;
}

const ClipboardService::Item *itemOf(const ClipboardWatcher::Copy &copy, const QString &type)
{
    for (const ClipboardService::Item &item : copy.items)
        if (item.type == type)
            return &item;
    return nullptr;
}

} // namespace

class TestX11ClipboardWatcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    }

    void init()
    {
        m_watcher = std::make_unique<X11ClipboardWatcher>();
        // Everything but the made-up types, in the owner's order.
        m_watcher->setChoice([](const QStringList &types) {
            QStringList chosen;
            for (const QString &type : types)
                if (!type.startsWith(QLatin1String("x-junk-")))
                    chosen << type;
            return chosen;
        });
        m_watcher->start();
        QVERIFY(m_watcher->isRunning());
        QVERIFY2(m_watcher->isEventDriven(), "needs XFIXES");
        m_arrived = std::make_unique<QSignalSpy>(m_watcher.get(), &ClipboardWatcher::copyArrived);
        m_refused = std::make_unique<QSignalSpy>(m_watcher.get(), &ClipboardWatcher::copyRefused);
    }

    void cleanup()
    {
        m_owner.stop();
        m_arrived.reset();
        m_refused.reset();
        m_watcher.reset();
    }

    // First, while this process has not held much yet: its peak is what is measured.
    void refusesTooMuchBeforeHoldingIt_data()
    {
        QTest::addColumn<QStringList>("owner");
        QTest::addColumn<bool>("toldBeforehand"); // the size announced is the size sent
        QTest::newRow("one property") << QStringList{"--single-piece", "--chunk", "4194304"} << true;
        QTest::newRow("in pieces") << QStringList{"--chunk", "1048576"} << true;
        QTest::newRow("in pieces, size understated")
            << QStringList{"--chunk", "1048576", "--announce", "4096"} << false;
    }
    void refusesTooMuchBeforeHoldingIt()
    {
        QFETCH(QStringList, owner);
        QFETCH(bool, toldBeforehand);
        constexpr qint64 limit = 4 << 20;
        constexpr qint64 payload = 40 << 20;
        m_watcher->setByteLimit(limit);
        QTemporaryDir dir;
        QFile file(dir.filePath("huge"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(payload, 'k')) == payload);
        file.close();

        const qint64 before = peakResidentBytes();
        QVERIFY(m_owner.start(TestProgram::clipOwnerPath(),
                              owner + QStringList{"--type", "text/plain=small", "--type-file", "image/png=" + file.fileName()}));
        // Refused at the limit; on a loaded machine the copy's deadline may come first, and then
        // what arrives must still hold none of the payload.
        QVERIFY(QTest::qWaitFor([this] { return m_refused->count() + m_arrived->count() > 0; }, 10000));
        if (m_arrived->count() > 0) {
            const auto copy = m_arrived->first().first().value<ClipboardWatcher::Copy>();
            QVERIFY(copy.timedOut);
            QVERIFY(!itemOf(copy, "image/png"));
        }
        QCOMPARE(countLines(m_owner, "finished"), 0);
        // Taking the announcement lets the owner send its first piece; nothing after it is asked for.
        if (toldBeforehand)
            QVERIFY(countLines(m_owner, "piece") <= 1);
        // At most the limit and a piece, never the payload.
        const qint64 grown = peakResidentBytes() - before;
        QVERIFY2(grown < limit + (8 << 20), qPrintable(QString::number(grown >> 20) + " MiB"));
    }

    void endsATrickleAtTheCopyDeadline()
    {
        // Ten pieces, 300 ms apart: each piece comes well within a second, the whole takes three.
        QTemporaryDir dir;
        QFile file(dir.filePath("slow"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(10240, 'p')) == 10240);
        file.close();
        QVERIFY(m_owner.start(TestProgram::clipOwnerPath(),
                              {"--type", "text/plain=first", "--type-file", "image/png=" + file.fileName(),
                               "--chunk", "1024", "--piece-delay", "300"}));
        QVERIFY(m_arrived->wait(5000));
        QCOMPARE(countLines(m_owner, "finished"), 0);
        const auto copy = m_arrived->first().first().value<ClipboardWatcher::Copy>();
        QVERIFY(copy.timedOut);
        QVERIFY(itemOf(copy, "text/plain") && itemOf(copy, "text/plain")->data == "first");
        QVERIFY(!itemOf(copy, "image/png"));
    }

    void cutsALongTargetList()
    {
        QVERIFY(m_owner.start(TestProgram::clipOwnerPath(),
                              {"--type", "text/plain=kept", "--junk-targets", "20000"}, 20000));
        QVERIFY(m_arrived->wait(5000));
        const auto copy = m_arrived->first().first().value<ClipboardWatcher::Copy>();
        QVERIFY2(copy.types.size() <= 256, qPrintable(QString::number(copy.types.size())));
        QCOMPARE(copy.types.first(), "text/plain");
        QVERIFY(itemOf(copy, "text/plain") && itemOf(copy, "text/plain")->data == "kept");
    }

    void asksAStalledOwnerOnce()
    {
        QSignalSpy changed(m_watcher.get(), &ClipboardWatcher::changed);
        QVERIFY(m_owner.start(TestProgram::clipOwnerPath(),
                              {"--stall", "--retake", "200", "--type", "text/plain=never"}));
        // Ten times taken again while the first request waits out its deadline and after.
        for (int taken = 0; taken < 10; ++taken)
            QVERIFY(!m_owner.waitForLine("taken").isEmpty());
        QTRY_VERIFY(m_refused->count() >= 5);
        QCOMPARE(countLines(m_owner, "request"), 1);
        QCOMPARE(m_arrived->count(), 0);
        QCOMPARE(changed.count(), 1); // the listener hears of the first take only

        // Another owner is asked at once.
        TestProgram next;
        QVERIFY(next.start(TestProgram::clipOwnerPath(), {"--type", "text/plain=answered"}));
        QVERIFY(m_arrived->wait(5000));
        const auto copy = m_arrived->last().first().value<ClipboardWatcher::Copy>();
        QCOMPARE(itemOf(copy, "text/plain") ? itemOf(copy, "text/plain")->data : "missing", "answered");
    }

private:
    std::unique_ptr<X11ClipboardWatcher> m_watcher;
    std::unique_ptr<QSignalSpy> m_arrived;
    std::unique_ptr<QSignalSpy> m_refused;
    TestProgram m_owner;
};

KIWANO_TEST_MAIN(TestX11ClipboardWatcher)
#include "test_x11clipboardwatcher.moc"
