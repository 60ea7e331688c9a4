// SPDX-License-Identifier: MIT
#include <QTest>

#include "selection.h"

// The selection geometry of the capture tool, with two monitors side by side of different sizes.
class TestSelection : public QObject
{
    Q_OBJECT

private slots:
    void windowUnderThePointer_data();
    void windowUnderThePointer();
    void boxesStayOnThePointersMonitor_data();
    void boxesStayOnThePointersMonitor();

private:
    const QRect left{0, 0, 1920, 1080};
    const QRect right{1920, 0, 2560, 1440};
    const QList<QRect> monitors{right, left}; // primary first
    const QRect bounds{0, 0, 4480, 1440};
};

void TestSelection::windowUnderThePointer_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRect>("picked");
    QTest::newRow("topmost wins") << QPoint(150, 150) << QRect(100, 100, 200, 200);
    QTest::newRow("lower window") << QPoint(60, 60) << QRect(50, 50, 400, 300);
    QTest::newRow("cut to the screen") << QPoint(4400, 1400) << QRect(4300, 1300, 180, 140);
    QTest::newRow("desktop is the monitor") << QPoint(3000, 800) << right;
}

void TestSelection::windowUnderThePointer()
{
    QFETCH(QPoint, point);
    QFETCH(QRect, picked);
    const QList<QRect> windows{QRect(100, 100, 200, 200), QRect(50, 50, 400, 300),
                               QRect(4300, 1300, 500, 500)};
    QCOMPARE(Selection::windowAt(windows, monitors, bounds, point), picked);
}

void TestSelection::boxesStayOnThePointersMonitor_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRect>("magnifier");
    QTest::newRow("room below right") << QPoint(100, 100) << QRect(124, 124, 122, 142);
    QTest::newRow("left monitor's right edge") << QPoint(1910, 100) << QRect(1765, 124, 122, 142);
    QTest::newRow("bottom right corner") << QPoint(4479, 1439) << QRect(4334, 1274, 122, 142);
    QTest::newRow("gap below the small monitor") << QPoint(100, 1300) << QRect(124, 938, 122, 142);
}

void TestSelection::boxesStayOnThePointersMonitor()
{
    QFETCH(QPoint, point);
    QFETCH(QRect, magnifier);
    const QRect monitor = Selection::monitorAt(monitors, point);
    const QRect box = Selection::beside(QSize(122, 142), point, 24, monitor);
    QCOMPARE(box, magnifier);
    QVERIFY(monitor.contains(box));
    const QRect label = Selection::labelFor(QSize(80, 20), QRect(point - QPoint(50, 50), QSize(50, 50)), 6, monitor);
    QVERIFY(monitor.contains(label));
}

QTEST_GUILESS_MAIN(TestSelection)
#include "test_selection.moc"
