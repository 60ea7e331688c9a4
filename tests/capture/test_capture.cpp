// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "capture/capture.h"
#include "capture/history.h"
#include "capture/historyfixture.h"

// The capture component against stand-in tools that behave like the capture tool would, or not.
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
    // $1 is the mode and $3 the output path; every call is logged one per line.
    QString tool(const QString &body)
    {
        return HistoryFixture::writeScript(m_fixture.scratch() + QStringLiteral("/tool.sh"),
                                           QStringLiteral("echo \"$@\" >> '%1'\n%2").arg(log(), body));
    }
    QString log() const { return m_fixture.scratch() + QStringLiteral("/calls.log"); }
    QStringList calls() const
    {
        QFile file(log());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                              : QStringList();
    }
    QString sample(int seed)
    {
        return HistoryFixture::writePng(m_fixture.scratch() + QStringLiteral("/sample%1.png").arg(seed),
                                        HistoryFixture::sample(QSize(64, 48), seed));
    }
    // Every tool started has ended and its outcome was handled.
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
    QTest::addColumn<QString>("mode");
    QTest::newRow("region") << "-i";
    QTest::newRow("window") << "-iW";
    QTest::newRow("screen") << "-m";
}

void TestCapture::landedGrabIsAdoptedWithTheRightArguments()
{
    QFETCH(QString, mode);
    Capture capture(tool(QStringLiteral("cp '%1' \"$3\"").arg(sample(1))));
    QSignalSpy landed(&capture, &Capture::grabLanded);
    if (mode == "-i")
        capture.grabRegion();
    else if (mode == "-iW")
        capture.grabWindow();
    else
        capture.grabScreen();
    QVERIFY(landed.wait(10000));

    const QStringList arguments = calls().value(0).split(QLatin1Char(' '));
    QCOMPARE(arguments.mid(0, 2), (QStringList{mode, QStringLiteral("-x")}));
    static const QRegularExpression name(QStringLiteral("^kiwano-[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.png$"));
    QVERIFY2(name.match(QFileInfo(arguments.value(2)).fileName()).hasMatch(), qPrintable(arguments.value(2)));
    QCOMPARE(QFileInfo(arguments[2]).absolutePath(), QDir(QDir::tempPath()).absolutePath());
    QVERIFY(!QFileInfo::exists(arguments[2]));

    const auto entry = landed[0][0].value<GrabEntry>();
    QCOMPARE(History::load().size(), 1);
    QCOMPARE(History::load().first().url, entry.url);
    QCOMPARE(History::image(entry), HistoryFixture::sample(QSize(64, 48), 1));
}

void TestCapture::failedToolsInsertNothing_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("leavesFile");
    QTest::newRow("cancelled") << "exit 0" << false;
    QTest::newRow("failed") << "exit 3" << false;
    QTest::newRow("crashed mid-write") << "head -c 200 '%1' > \"$3\"; kill -SEGV $$" << true;
    QTest::newRow("garbage") << "echo not a picture > \"$3\"" << true;
    QTest::newRow("truncated") << "head -c 300 '%1' > \"$3\"" << true;
    QTest::newRow("missing tool") << "-" << false;
}

void TestCapture::failedToolsInsertNothing()
{
    QFETCH(QString, body);
    QFETCH(bool, leavesFile);
    Capture capture(body == "-" ? m_fixture.scratch() + QStringLiteral("/no-such-tool")
                                : tool(QString(body).replace("%1", sample(2))));
    QSignalSpy landed(&capture, &Capture::grabLanded);
    capture.grabRegion();
    QVERIFY(settled(capture));
    QCOMPARE(landed.size(), 0);
    QVERIFY(History::load().isEmpty());
    if (leavesFile) { // what the tool left is not taken, and not thrown away either
        const QString temporary = calls().value(0).section(QLatin1Char(' '), 2);
        QVERIFY(QFileInfo::exists(temporary));
        QFile::remove(temporary);
    }
}

void TestCapture::grabsLandInTheOrderTheToolsEnd()
{
    // The region grab's user takes longer than the screen grab.
    Capture capture(tool(QStringLiteral("if [ \"$1\" = -i ]; then sleep 0.7; cp '%1' \"$3\"; else cp '%2' \"$3\"; fi")
                             .arg(sample(3), sample(4))));
    QSignalSpy landed(&capture, &Capture::grabLanded);
    capture.grabRegion();
    capture.grabScreen();
    QVERIFY(settled(capture));
    QCOMPARE(landed.size(), 2);
    const auto first = landed[0][0].value<GrabEntry>();
    const auto second = landed[1][0].value<GrabEntry>();
    QCOMPARE(History::image(first), HistoryFixture::sample(QSize(64, 48), 4));
    QCOMPARE(History::image(second), HistoryFixture::sample(QSize(64, 48), 3));
    QCOMPARE(History::load().first().url, second.url);
    const QStringList made = calls(); // each grab has its own temporary file
    QVERIFY(made.size() == 2 && made[0].section(' ', 2) != made[1].section(' ', 2));
}

QTEST_GUILESS_MAIN(TestCapture)
#include "test_capture.moc"
