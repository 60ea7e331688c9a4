// SPDX-License-Identifier: MIT
#include <QSignalSpy>
#include <QTest>

#include "app/quitsignals.h"

#include <csignal>

class TestQuitSignals : public QObject
{
    Q_OBJECT

private slots:
    void terminationSignalsArriveOnTheMainThread_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void terminationSignalsArriveOnTheMainThread()
    {
        QFETCH(int, number);
        QuitSignals signalsSeen;
        QVERIFY(signalsSeen.isWatching());
        QSignalSpy spy(&signalsSeen, &QuitSignals::quitRequested);
        // Without the handler this would end the test process.
        QCOMPARE(::raise(number), 0);
        QCOMPARE(spy.size(), 0);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), number);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestQuitSignals)
#include "test_quitsignals.moc"
