// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "capture/capture.h"
#include "capture/history.h"
#include "capture/historyfixture.h"

// The capture component against stand-in tools: shell scripts that behave like the capture
// tool would (or would not).
class TestCapture : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture.reset(); }

    void landedGrabIsAdoptedWithTheRightArguments_data();
    void landedGrabIsAdoptedWithTheRightArguments();
    void failedToolsInsertNothing_data();
    void failedToolsInsertNothing();
    void grabsLandInTheOrderTheToolsEnd();

private:
    // A tool script: $1 is the mode, $3 the output path; every call is logged one per line.
    QString tool(const QString &body)
    {
        const QString path = m_fixture.scratch() + QStringLiteral("/tool.sh");
        const QString script = QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n%2\n")
                                   .arg(log(), body);
        HistoryFixture::writeBytes(path, script.toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    QString log() const { return m_fixture.scratch() + QStringLiteral("/calls.log"); }
    QStringList calls() const
    {
        QFile file(log());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QString sample(int seed)
    {
        return HistoryFixture::writePng(m_fixture.scratch() + QStringLiteral("/sample%1.png").arg(seed),
                                        HistoryFixture::sample(QSize(64, 48), seed));
    }
    // Waits until every tool started by capture has ended and its outcome was handled.
    static bool settled(Capture &capture)
    {
        QDeadlineTimer deadline(10000);
        while (!capture.findChildren<QProcess *>().isEmpty() && !deadline.hasExpired())
            QTest::qWait(20);
        QTest::qWait(50);
        return capture.findChildren<QProcess *>().isEmpty();
    }

    HistoryFixture m_fixture;
};

void TestCapture::landedGrabIsAdoptedWithTheRightArguments_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("mode");
    QTest::newRow("region") << "region" << "-i";
    QTest::newRow("window") << "window" << "-iW";
    QTest::newRow("screen") << "screen" << "-m";
}

void TestCapture::landedGrabIsAdoptedWithTheRightArguments()
{
    QFETCH(QString, kind);
    QFETCH(QString, mode);
    Capture capture(tool(QStringLiteral("cp '%1' \"$3\"").arg(sample(1))));
    QSignalSpy landed(&capture, &Capture::grabLanded);
    if (kind == "region")
        capture.grabRegion();
    else if (kind == "window")
        capture.grabWindow();
    else
        capture.grabScreen();
    QVERIFY(landed.wait(10000));

    const QStringList arguments = calls().value(0).split(QLatin1Char(' '));
    QCOMPARE(arguments.size(), 3);
    QCOMPARE(arguments[0], mode);
    QCOMPARE(arguments[1], QStringLiteral("-x"));
    static const QRegularExpression name(QStringLiteral("^kiwano-[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.png$"));
    QVERIFY2(name.match(QFileInfo(arguments[2]).fileName()).hasMatch(), qPrintable(arguments[2]));
    QCOMPARE(QFileInfo(arguments[2]).absolutePath(), QDir(QDir::tempPath()).absolutePath());
    QVERIFY(!QFileInfo::exists(arguments[2]));

    const auto entry = landed[0][0].value<GrabEntry>();
    QCOMPARE(History::load(), QList<GrabEntry>{History::load().value(0)});
    QCOMPARE(History::load().first().url, entry.url);
    QCOMPARE(History::image(entry), HistoryFixture::sample(QSize(64, 48), 1));
}

void TestCapture::failedToolsInsertNothing_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("leavesFile");
    QTest::newRow("cancelled") << "exit 0" << false;
    QTest::newRow("failed") << "exit 3" << false;
    QTest::newRow("crashed mid-write")
        << "head -c 200 '%1' > \"$3\"; kill -SEGV $$" << true;
    QTest::newRow("garbage") << "echo not a picture > \"$3\"" << true;
    QTest::newRow("truncated") << "head -c 300 '%1' > \"$3\"" << true;
    QTest::newRow("missing tool") << "-" << false;
}

void TestCapture::failedToolsInsertNothing()
{
    QFETCH(QString, body);
    QFETCH(bool, leavesFile);
    const QString path = body == "-" ? m_fixture.scratch() + QStringLiteral("/no-such-tool")
                                     : tool(QString(body).replace("%1", sample(2)));
    Capture capture(path);
    QSignalSpy landed(&capture, &Capture::grabLanded);
    capture.grabRegion();
    QVERIFY(settled(capture));
    QCOMPARE(landed.size(), 0);
    QVERIFY(History::load().isEmpty());
    if (leavesFile) {
        // What the tool left is not taken, and not thrown away either.
        const QString temporary = calls().value(0).section(QLatin1Char(' '), 2);
        QVERIFY(QFileInfo::exists(temporary));
        QFile::remove(temporary);
    }
}

void TestCapture::grabsLandInTheOrderTheToolsEnd()
{
    // The region grab's user takes longer than the screen grab.
    const QString body = QStringLiteral("if [ \"$1\" = -i ]; then sleep 0.7; cp '%1' \"$3\"; "
                                        "else cp '%2' \"$3\"; fi")
                             .arg(sample(3), sample(4));
    Capture capture(tool(body));
    QSignalSpy landed(&capture, &Capture::grabLanded);
    capture.grabRegion();
    capture.grabScreen();
    QVERIFY(settled(capture));
    QCOMPARE(landed.size(), 2);
    const auto first = landed[0][0].value<GrabEntry>();
    const auto second = landed[1][0].value<GrabEntry>();
    QCOMPARE(History::image(first), HistoryFixture::sample(QSize(64, 48), 4));
    QCOMPARE(History::image(second), HistoryFixture::sample(QSize(64, 48), 3));
    QVERIFY(first.url != second.url);
    QCOMPARE(History::load().first().url, second.url);

    const QStringList made = calls();
    QCOMPARE(made.size(), 2);
    QVERIFY(made[0].section(' ', 2) != made[1].section(' ', 2));
}

QTEST_GUILESS_MAIN(TestCapture)
#include "test_capture.moc"
