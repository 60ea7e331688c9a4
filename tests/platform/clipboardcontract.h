// SPDX-License-Identifier: MIT
#pragma once
// What every clipboard service and its watcher promise, whatever the display server: one set of
// tests that each backend's suite inherits, run against that backend's own other clients (an
// owner program that misbehaves on request, and a command line reader).
#include "platform/clipboardwatcher.h"
#include "platform/testprograms.h"
#include "support/files.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

Q_DECLARE_METATYPE(ClipboardService::Item)

namespace ClipboardTesting {

inline const QString marker = QStringLiteral("local.kiwano-snapper.clip");

// Noise does not compress, so a copy is as large as asked for.
inline QByteArray randomBytes(qsizetype size, quint32 seed = 7)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// The bytes of one type of the copy; "missing" when it has none.
inline QByteArray itemOf(const ClipboardWatcher::Copy &copy, const QString &type)
{
    const auto item = std::ranges::find(copy.items, type, &ClipboardService::Item::type);
    return item == copy.items.end() ? "missing" : item->data;
}

// The most this process has held at once, from the kernel's own count.
inline qint64 peakResidentBytes()
{
    const QByteArray status = TestFiles::read(QStringLiteral("/proc/self/status"));
    const qsizetype at = status.indexOf("VmHWM:") + 6;
    return status.mid(at, status.indexOf('\n', at) - at).trimmed().split(' ').value(0).toLongLong() * 1024;
}

inline qsizetype countLines(TestProgram &program, const QString &prefix)
{
    return std::ranges::count_if(program.lines(), [&prefix](const QString &line) { return line.startsWith(prefix); });
}

} // namespace ClipboardTesting

class ClipboardContract : public QObject
{
    Q_OBJECT

protected:
    // Why this backend cannot be tested here; empty when it can.
    virtual QString skipReason() const { return {}; }
    virtual std::unique_ptr<ClipboardService> makeService() = 0;
    // The watcher reads copies made from the moment this returns true.
    virtual bool watching(ClipboardWatcher *) { return true; }
    // The backend's owner program, which takes the options of owneroptions.h.
    virtual QString ownerProgram() const = 0;
    // A shell command that writes one type of the clipboard to its standard output.
    virtual QString readCommand(const QString &type) const = 0;
    virtual QProcessEnvironment environment() const { return QProcessEnvironment::systemEnvironment(); }
    // Owner options that send a payload over the limit in the ways this backend can.
    virtual QList<QStringList> oversizedWays() const { return {{}}; }
    // As many types as an owner can offer here, far more than are read.
    virtual int manyTypes() const { return 300; }

    // Starts the owner program with these options and waits until it holds the clipboard.
    bool copyElsewhere(TestProgram &owner, const QStringList &arguments)
    {
        const qint64 before = m_service->changeCount();
        owner.process().setProcessEnvironment(environment());
        return owner.start(ownerProgram(), arguments) && QTest::qWaitFor([&] { return m_service->changeCount() > before; }, 5000);
    }
    QString fileWith(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("content-%1").arg(++m_files));
        return TestFiles::write(path, bytes) ? path : QString();
    }
    // What another client reads of one type; "failed" when the reader fails.
    QByteArray readElsewhere(const QString &type, const QString &after = {})
    {
        QProcess reader;
        reader.setProcessEnvironment(environment());
        reader.start(QStringLiteral("sh"), {"-c", readCommand(type) + after});
        return reader.waitForFinished(10000) && reader.exitCode() == 0 ? reader.readAllStandardOutput() : "failed";
    }
    ClipboardWatcher::Copy lastCopy() const { return m_arrived->last().first().value<ClipboardWatcher::Copy>(); }

    std::unique_ptr<ClipboardService> m_service;
    ClipboardWatcher *m_watcher = nullptr;
    std::unique_ptr<QSignalSpy> m_arrived;
    std::unique_ptr<QSignalSpy> m_refused;
    TestProgram m_before;
    QTemporaryDir m_dir;
    int m_files = 0;

private slots:
    void init()
    {
        if (const QString why = skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_service = makeService();
        // Something on the clipboard before the watch starts: never reported.
        QVERIFY(copyElsewhere(m_before, {"--type", "text/plain=present before"}));
        m_watcher = m_service->watcher();
        QVERIFY(m_watcher);
        // Everything but the made-up types, in the owner's order.
        m_watcher->setChoice([](const QStringList &types) { return types.filter(QRegularExpression("^(?!x-junk-)")); });
        m_arrived = std::make_unique<QSignalSpy>(m_watcher, &ClipboardWatcher::copyArrived);
        m_refused = std::make_unique<QSignalSpy>(m_watcher, &ClipboardWatcher::copyRefused);
        m_watcher->start();
        QVERIFY(m_watcher->isRunning());
        QTRY_VERIFY(watching(m_watcher));
    }

    void cleanup()
    {
        m_arrived.reset();
        m_refused.reset();
        m_service.reset();
        m_watcher = nullptr;
        m_before.stop();
    }

    // First, while this process has not held much yet: its peak is what is measured.
    void refusesTooMuchBeforeHoldingIt_data()
    {
        QTest::addColumn<QStringList>("way");
        for (const QStringList &way : oversizedWays())
            QTest::newRow(qPrintable(way.isEmpty() ? QStringLiteral("plain") : way.join(u' '))) << way;
    }
    void refusesTooMuchBeforeHoldingIt()
    {
        QFETCH(QStringList, way);
        constexpr qint64 limit = 4 << 20, payload = 40 << 20;
        m_watcher->setByteLimit(limit);
        const QString huge = fileWith(QByteArray(payload, 'k'));
        const qint64 before = ClipboardTesting::peakResidentBytes();
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, way + QStringList{"--type", "text/plain=small", "--type-file", "image/png=" + huge}));
        // Refused at the limit; on a loaded machine the copy's deadline may come first, and then
        // what arrives must still hold none of the payload.
        QTRY_VERIFY_WITH_TIMEOUT(m_refused->count() + m_arrived->count() > 0, 10000);
        if (!m_arrived->isEmpty())
            QVERIFY(lastCopy().timedOut && ClipboardTesting::itemOf(lastCopy(), "image/png") == "missing");
        // At most the limit and a piece, never the payload.
        const qint64 grown = ClipboardTesting::peakResidentBytes() - before;
        QVERIFY2(grown < limit + (8 << 20), qPrintable(QString::number(grown >> 20) + " MiB"));

        // The refused owner keeps sending while the next copy is read: none of it may get in.
        TestProgram next;
        const qsizetype arrived = m_arrived->count();
        QVERIFY(copyElsewhere(next, {"--type", "text/plain=next"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_arrived->count() > arrived, 5000);
        QCOMPARE(ClipboardTesting::itemOf(lastCopy(), "text/plain"), "next");
    }

    void readsWhatOthersCopy_data()
    {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QList<QByteArray>>("contents");
        QTest::newRow("text") << QStringList{"text/plain;charset=utf-8", "text/html", "text/plain"}
                              << QList<QByteArray>{"Grüße ⏎ 🥝", "<p>Hello</p>\n<p>Grüße</p>", "Hello"};
        // Far more than a pipe or one X request holds: sent while we read.
        QTest::newRow("png and tiff") << QStringList{"image/png", "image/tiff"}
                                      << QList<QByteArray>{ClipboardTesting::randomBytes(1 << 20), ClipboardTesting::randomBytes(30000, 3)};
        QTest::newRow("files and empty marker")
            << QStringList{"text/uri-list", "x-special/gnome-copied-files", ClipboardTesting::marker}
            << QList<QByteArray>{"file:///tmp/a.txt\r\nfile:///tmp/b%20c.pdf\r\n",
                                 "copy\nfile:///tmp/a.txt\nfile:///tmp/b%20c.pdf", ""};
        QTest::newRow("password hint beside text") << QStringList{"text/plain", "x-kde-passwordManagerHint"}
                                                   << QList<QByteArray>{"hunter2", "secret"};
    }
    void readsWhatOthersCopy()
    {
        QFETCH(QStringList, types);
        QFETCH(QList<QByteArray>, contents);
        QStringList arguments;
        for (qsizetype i = 0; i < types.size(); ++i)
            arguments << "--type-file" << types.at(i) + u'=' + fileWith(contents.at(i));
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, arguments));

        QTRY_VERIFY_WITH_TIMEOUT(!m_arrived->isEmpty(), 5000);
        QCOMPARE(m_arrived->count(), 1); // not the copy present at the start
        QVERIFY(!lastCopy().timedOut);
        QCOMPARE(lastCopy().types, types);
        for (qsizetype i = 0; i < types.size(); ++i)
            QCOMPARE(ClipboardTesting::itemOf(lastCopy(), types.at(i)), contents.at(i));
        // Read once, on the caller's thread.
        QTRY_COMPARE(m_service->types(), types);
        for (qsizetype i = 0; i < types.size(); ++i)
            QCOMPARE(m_service->data(types.at(i)).value_or("missing"), contents.at(i));
        QVERIFY(!m_service->data(QStringLiteral("text/rtf")));
        QVERIFY(!m_service->data(QStringLiteral("TARGETS")));
    }

    void writesWhatOthersReadBack_data()
    {
        QTest::addColumn<QList<ClipboardService::Item>>("items");
        QTest::newRow("text") << QList<ClipboardService::Item>{
            {"text/plain", "Grüße aus Kiwano"}, {"text/rtf", "{\\rtf1 Gr\\u252?\\'fc}"},
            {"text/html", "<b>Grüße</b>"}, {ClipboardTesting::marker, ""}};
        QTest::newRow("large image") << QList<ClipboardService::Item>{
            {"image/png", ClipboardTesting::randomBytes(6 << 20)}, {ClipboardTesting::marker, ""}};
    }
    void writesWhatOthersReadBack()
    {
        QFETCH(QList<ClipboardService::Item>, items);
        m_service->write(items);
        // Our own copy is read like any other, marker and all.
        QTRY_VERIFY_WITH_TIMEOUT(!m_arrived->isEmpty(), 5000);
        QVERIFY(lastCopy().types.contains(ClipboardTesting::marker));
        for (const auto &item : items) {
            QVERIFY2(ClipboardTesting::itemOf(lastCopy(), item.type) == item.data, qPrintable(item.type));
            QVERIFY2(readElsewhere(item.type) == item.data, qPrintable(item.type));
        }
        const QString type = items.first().type;
        // A reader that goes away after the first byte: our writes meet a closed pipe.
        QCOMPARE(readElsewhere(type, " | head -c 1"), items.first().data.left(1));

        // A reader that takes its first byte and then nothing more (the rest of its output waits
        // in a pipe that no one reads), and meanwhile one that reads.
        QProcess stalled;
        stalled.setProcessEnvironment(environment());
        // In a group of its own: the reader may hand the copying to a child, which must go too.
        stalled.setChildProcessModifier([] { ::setpgid(0, 0); });
        stalled.start("sh", {"-c", readCommand(type) + " | { head -c 1; exec sleep 60; }"});
        QVERIFY(stalled.waitForReadyRead(5000));
        QCOMPARE(readElsewhere(type), items.first().data);
        ::kill(-pid_t(stalled.processId()), SIGKILL);
        stalled.waitForFinished();

        // Taking it over from elsewhere leaves our copy behind.
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, {"--type", "text/plain=newer"}));
        QTRY_COMPARE(m_service->types(), QStringList({"text/plain"}));
    }

    void cutsALongTypeList()
    {
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, {"--type", "text/plain=kept", "--junk-types", QString::number(manyTypes())}));
        QTRY_VERIFY_WITH_TIMEOUT(!m_arrived->isEmpty(), 5000);
        QVERIFY2(lastCopy().types.size() <= 256, qPrintable(QString::number(lastCopy().types.size())));
        QCOMPARE(lastCopy().types.first(), "text/plain");
        QCOMPARE(ClipboardTesting::itemOf(lastCopy(), "text/plain"), "kept");
    }

    void asksAStalledOwnerOnce()
    {
        QSignalSpy changed(m_watcher, &ClipboardWatcher::changed);
        TestProgram owner;
        // It never answers, and takes the clipboard again every 200 ms with the same types.
        QVERIFY(copyElsewhere(owner, {"--stall", "--retake", "200", "--type", "text/plain=never"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_refused->count() >= 5, 5000);
        QCOMPARE(ClipboardTesting::countLines(owner, "request"), 1);
        for (const QList<QVariant> &arrived : std::as_const(*m_arrived))
            QVERIFY(arrived.first().value<ClipboardWatcher::Copy>().items.isEmpty());
        QCOMPARE(changed.count(), 1); // the listener hears of the first take only
        ::kill(pid_t(owner.process().processId()), SIGSTOP); // it keeps its offer and takes no more

        // Another owner is asked at once (one that offers other types: on Wayland the types are
        // all that tells owners apart).
        TestProgram next;
        const qsizetype arrived = m_arrived->count();
        QVERIFY(copyElsewhere(next, {"--type", "text/plain=answered", "--type", "text/html=answered"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_arrived->count() > arrived, 5000);
        QCOMPARE(ClipboardTesting::itemOf(lastCopy(), "text/plain"), "answered");
    }

    // Reading once: an owner that never sends costs the deadline once, not once per question,
    // and the next copy gets a fresh chance.
    void aStalledCopyCostsTheDeadlineOnce()
    {
        TestProgram owner;
        QVERIFY(copyElsewhere(owner, {"--stall-data", "--type", "text/plain=never", "--type", "text/html=never"}));
        QTRY_VERIFY(m_service->types().contains("text/html"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!m_service->data("text/plain"));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed()))); // Qt waits 5 s
        const qsizetype asked = ClipboardTesting::countLines(owner, "request");
        timer.restart();
        QVERIFY(!m_service->data("text/html"));
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(ClipboardTesting::countLines(owner, "request"), asked);

        TestProgram next;
        QVERIFY(copyElsewhere(next, {"--type", "text/plain=answered"}));
        QTRY_COMPARE(m_service->data("text/plain").value_or("missing"), "answered");
    }
};
