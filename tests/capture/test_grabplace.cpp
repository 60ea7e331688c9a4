// SPDX-License-Identifier: MIT
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "capture/grabplace.h"

// The place the capture tool tells after a grab comes back from its line and from the settings
// only when it makes sense, and follows a screen whose size changed.
class TestGrabPlace : public QObject
{
    Q_OBJECT

private slots:
    void linesMakingNoSenseAreRefused_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("unknown kind") << "place monitor 0,0,10,10 100x100";
        QTest::newRow("empty rectangle") << "place region 10,10,0,5 100x100";
        QTest::newRow("past the screen's edge") << "place region 95,0,10,10 100x100";
        QTest::newRow("negative") << "place region -5,0,10,10 100x100";
        QTest::newRow("no screen") << "place region 0,0,10,10 0x0";
        QTest::newRow("huge screen") << "place region 0,0,10,10 99999x99999";
        QTest::newRow("overflowing number") << "place region 0,0,10,10 4294967306x100";
        QTest::newRow("missing part") << "place region 0,0,10 100x100";
        QTest::newRow("trailing words") << "place region 0,0,10,10 100x100 and more";
        QTest::newRow("another line") << "kiwano-capture: could not write the picture";
    }
    void linesMakingNoSenseAreRefused()
    {
        QFETCH(QString, line);
        QVERIFY(!GrabPlace::fromLine(line));
    }

    void aPlaceComesBackFromItsLineAndTheSettings()
    {
        const GrabPlace window{GrabPlace::Kind::window, QRect(499, 380, 402, 65), QSize(1280, 800)};
        QCOMPARE(GrabPlace::fromLine(window.toLine()), window);
        // The tool's output may hold other lines; the last place counts.
        const QByteArray output = "Qt: something\n" + GrabPlace{GrabPlace::Kind::region, QRect(1, 2, 3, 4), QSize(9, 9)}
                                      .toLine().toLatin1() + "\n" + window.toLine().toLatin1() + "\nplace region x\n";
        QCOMPARE(GrabPlace::lastIn(output), window);

        QTemporaryDir folder;
        QSettings settings(folder.filePath("s.ini"), QSettings::IniFormat);
        QVERIFY(!GrabPlace::load(settings));
        window.save(settings);
        QCOMPARE(GrabPlace::load(settings), window);
        settings.setValue("LastGrab/place", QStringList{"place", "region"});
        QVERIFY(!GrabPlace::load(settings));
    }

    void aPlaceFollowsTheScreensSize_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QSize>("from");
        QTest::addColumn<QSize>("to");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("same size") << QRect(10, 20, 30, 40) << QSize(100, 100) << QSize(100, 100) << QRect(10, 20, 30, 40);
        QTest::newRow("twice the pixels") << QRect(10, 20, 30, 40) << QSize(1280, 800) << QSize(2560, 1600)
                                          << QRect(20, 40, 60, 80);
        QTest::newRow("the whole screen") << QRect(0, 0, 1920, 1080) << QSize(1920, 1080) << QSize(1280, 720)
                                          << QRect(0, 0, 1280, 720);
        QTest::newRow("far corner kept inside") << QRect(1919, 1079, 1, 1) << QSize(1920, 1080) << QSize(640, 360)
                                                << QRect(639, 359, 1, 1);
        QTest::newRow("never empty") << QRect(5, 5, 1, 1) << QSize(1000, 1000) << QSize(100, 100) << QRect(1, 1, 1, 1);
    }
    void aPlaceFollowsTheScreensSize()
    {
        QFETCH(QRect, rect);
        QFETCH(QSize, from);
        QFETCH(QSize, to);
        const GrabPlace scaled = GrabPlace{GrabPlace::Kind::region, rect, from}.onScreen(to);
        QTEST(scaled.rect, "expected");
        QCOMPARE(scaled.screen, to);
        QVERIFY(GrabPlace::fromLine(scaled.toLine()));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestGrabPlace)
#include "test_grabplace.moc"
