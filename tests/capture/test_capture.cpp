// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>

#include "capture/capture.h"
#include "capture/history.h"
#include "capture/historyfixture.h"

// The capture component against stand-in tools that behave like the capture tool would, or not.
class TestCapture : public QObject
{
    Q_OBJECT

    // $1 is the mode and $3 the output path; every call is logged one per line.
    QString tool(const QString &body)
    {
        return HistoryFixture::writeScript(m_fixture.scratch("tool.sh"), QString("echo \"$@\" >> '%1'\n%2").arg(m_fixture.scratch("calls.log"), body));
    }
    QStringList calls() const { return QString::fromUtf8(TestFiles::read(m_fixture.scratch("calls.log"))).split('\n', Qt::SkipEmptyParts); }
    QString sample(int seed) { return HistoryFixture::writePng(m_fixture.scratch(QString("sample%1.png").arg(seed)), image(seed)); }
    static QImage image(int seed) { return HistoryFixture::sample(QSize(64, 48), seed); }
    // Every tool started has ended and its outcome was handled.
    static bool settled(Capture &capture)
    {
        if (!QTest::qWaitFor([&] { return capture.findChildren<QProcess *>().isEmpty(); }, 10000))
            return false;
        // An outcome told on a later turn of the event loop is handled once one passes.
        bool turned = false;
        QMetaObject::invokeMethod(&capture, [&turned] { turned = true; }, Qt::QueuedConnection);
        return QTest::qWaitFor([&turned] { return turned; });
    }
    HistoryFixture m_fixture;

private slots:
    void init() { m_fixture.reset(); }

    void landedGrabIsAdoptedWithTheRightArguments_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("region") << "-i";
        QTest::newRow("window") << "-iW";
        QTest::newRow("screen") << "-m";
    }
    void landedGrabIsAdoptedWithTheRightArguments()
    {
        QFETCH(QString, mode);
        Capture capture(tool(QString("cp '%1' \"$3\"").arg(sample(1))));
        QSignalSpy landed(&capture, &Capture::grabLanded);
        mode == "-i" ? capture.grabRegion() : mode == "-iW" ? capture.grabWindow() : capture.grabScreen();
        QVERIFY(landed.wait(10000));

        const QStringList arguments = calls().value(0).split(' ');
        QCOMPARE(arguments.mid(0, 2), (QStringList{mode, "-x"}));
        static const QRegularExpression name("^kiwano-[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.png$");
        QVERIFY(name.match(QFileInfo(arguments.value(2)).fileName()).hasMatch());
        QCOMPARE(QFileInfo(arguments[2]).absolutePath(), Capture::temporaryFolder());
        QVERIFY(!QFileInfo::exists(arguments[2]));
        const auto entry = landed[0][0].value<GrabEntry>();
        QCOMPARE(HistoryFixture::names(History::dir()), QStringList{entry.url.fileName()});
        QCOMPARE(History::image(entry), image(1));
    }

    void failedToolsInsertNothing_data()
    {
        QTest::addColumn<QString>("body"); QTest::addColumn<bool>("leavesFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("cancelled") << "exit 0" << false << "";
        QTest::newRow("failed") << "exit 3" << false << "";
        // Only the tool's own last line reaches the user; a library's chatter does not.
        QTest::newRow("failed, saying why")
            << "echo 'kiwano-capture: first try' >&2; echo 'kiwano-capture: the desktop refused the screenshot' >&2; "
               "echo 'qt.qpa.wayland: noise' >&2; exit 1"
            << false << "the desktop refused the screenshot";
        QTest::newRow("library chatter only") << "echo 'qt.qpa.wayland: noise' >&2; exit 1" << false << "";
        QTest::newRow("crashed mid-write") << "head -c 200 '%1' > \"$3\"; kill -SEGV $$" << true << "";
        QTest::newRow("garbage") << "echo not a picture > \"$3\"" << true << "";
        QTest::newRow("truncated") << "head -c 300 '%1' > \"$3\"" << true << "";
        QTest::newRow("missing tool") << "-" << false << "";
    }
    void failedToolsInsertNothing()
    {
        QFETCH(QString, body); QFETCH(bool, leavesFile); QFETCH(QString, reason);
        Capture capture(body == "-" ? m_fixture.scratch("no-such-tool") : tool(QString(body).replace("%1", sample(2))));
        QSignalSpy landed(&capture, &Capture::grabLanded), failed(&capture, &Capture::grabFailed);
        capture.grabRegion();
        QVERIFY(settled(capture));
        QVERIFY(landed.isEmpty() && History::load().isEmpty());
        QCOMPARE(failed.size(), reason.isEmpty() ? 0 : 1);
        QCOMPARE(failed.value(0).value(0).toString(), reason);
        if (leavesFile) { // what the tool left is not taken, and not thrown away either
            const QString temporary = calls().value(0).section(' ', 2);
            QVERIFY(QFileInfo::exists(temporary));
            QFile::remove(temporary);
        }
    }

    void grabsLandInTheOrderTheToolsEnd()
    {
        // The region grab's user takes longer than the screen grab.
        Capture capture(tool(QString("if [ \"$1\" = -i ]; then sleep 0.7; cp '%1' \"$3\"; else cp '%2' \"$3\"; fi").arg(sample(3), sample(4))));
        QSignalSpy landed(&capture, &Capture::grabLanded);
        capture.grabRegion();
        capture.grabScreen();
        QVERIFY(settled(capture));
        QCOMPARE(landed.size(), 2);
        const auto first = landed[0][0].value<GrabEntry>(), second = landed[1][0].value<GrabEntry>();
        QCOMPARE(History::image(first), image(4));
        QCOMPARE(History::image(second), image(3));
        QCOMPARE(History::load().first().url, second.url);
        const QStringList made = calls(); // each grab has its own temporary file
        QVERIFY(made.size() == 2 && made[0].section(' ', 2) != made[1].section(' ', 2));
    }

    // A tool started ahead waits for its request on standard input; the grab goes to it, lands
    // like any other, and the next tool is started ahead once the grab is done.
    void aToolStartedAheadTakesTheNextGrab()
    {
        const QString waiting = QString("if [ \"$1\" = --standby ]; then\n"
                                        "  IFS=\"$(printf '\\t')\" read -r mode silent path || exit 0\n"
                                        "  echo \"ahead $mode $silent $path\" >> '%1'\n"
                                        "  cp '%2' \"$path\"\n"
                                        "else cp '%3' \"$3\"; fi")
                                    .arg(m_fixture.scratch("calls.log"), sample(5), sample(6));
        Capture capture(tool(waiting));
        QSignalSpy landed(&capture, &Capture::grabLanded);
        capture.keepToolReady(true);
        QVERIFY(QTest::qWaitFor([&] { return capture.hasReadyTool(); }, 5000));
        capture.grabWindow();
        QVERIFY(landed.wait(10000));
        QCOMPARE(History::image(landed[0][0].value<GrabEntry>()), image(5));
        QVERIFY(calls().value(1).startsWith("ahead -iW -x "));
        QVERIFY(QTest::qWaitFor([&] { return capture.hasReadyTool(); }, 5000));

        // Told to stop, the waiting tool ends with its input closed and grabs start fresh.
        capture.keepToolReady(false);
        QVERIFY(!capture.hasReadyTool());
        capture.grabScreen();
        QVERIFY(landed.wait(10000));
        QCOMPARE(History::image(landed[1][0].value<GrabEntry>()), image(6));
        QVERIFY(settled(capture));
    }

    // A tool that cannot wait here says so with status 3: it is not asked again.
    void aToolThatCannotWaitIsNotAskedAgain()
    {
        Capture capture(tool(QString("if [ \"$1\" = --standby ]; then exit 3; fi\ncp '%1' \"$3\"").arg(sample(7))));
        QSignalSpy landed(&capture, &Capture::grabLanded);
        capture.keepToolReady(true);
        QVERIFY(QTest::qWaitFor([&] { return calls().size() == 1; }, 5000));
        QVERIFY(settled(capture));
        capture.grabRegion();
        QVERIFY(landed.wait(10000));
        QVERIFY(settled(capture));
        // Past the moment a waiting tool would start again: none does.
        QVERIFY(!QTest::qWaitFor([&] { return !capture.findChildren<QProcess *>().isEmpty(); }, 1500));
        QCOMPARE(calls().size(), 2);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestCapture)
#include "test_capture.moc"
