// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/panelplacement.h"


using Screens = QList<PanelPlacement::Screen>;
Q_DECLARE_METATYPE(Screens)

namespace {
const QSize panel{460, 540};
// A 1920 × 1080 monitor with a 30-point top bar and a 50-point dock at the bottom, and a second,
// smaller monitor to its right whose usable area has no bars.
const PanelPlacement::Screen left{{0, 0, 1920, 1080}, {0, 30, 1920, 1000}};
const PanelPlacement::Screen right{{1920, 0, 1280, 720}, {1920, 0, 1280, 720}};
} // namespace

class TestPickerPlacement : public QObject
{
    Q_OBJECT

private slots:
    void placesAtThePointer_data()
    {
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("topLeft");

        const Screens both{left, right};
        QTest::newRow("room all round") << both << QPoint(300, 200) << QPoint(300, 200);
        QTest::newRow("near the bottom, above the dock") << both << QPoint(300, 1000) << QPoint(300, 1030 - 540);
        QTest::newRow("bottom right corner") << both << QPoint(1919, 1079) << QPoint(1460, 490);
        QTest::newRow("in the top bar") << both << QPoint(300, 5) << QPoint(300, 30);
        QTest::newRow("second monitor, right edge") << both << QPoint(3190, 100) << QPoint(3200 - 460, 100);
        QTest::newRow("first pixel of the second monitor") << both << QPoint(1920, 300) << QPoint(1920, 180);
        QTest::newRow("below the smaller monitor: on no screen") << both << QPoint(2500, 900) << QPoint(2500, 900);
        QTest::newRow("no screens at all") << Screens{} << QPoint(10, 10) << QPoint(10, 10);
        // When the panel cannot fit, its top and right edges stay on screen.
        const Screens tiny{{{0, 0, 400, 300}, {0, 20, 400, 280}}};
        QTest::newRow("larger than the screen") << tiny << QPoint(200, 200) << QPoint(-60, 20);
    }
    void placesAtThePointer()
    {
        QFETCH(Screens, screens);
        QFETCH(QPoint, pointer);
        QTEST(PanelPlacement::topLeft(pointer, panel, screens), "topLeft");
    }
};

KIWANO_TEST_GUILESS_MAIN(TestPickerPlacement)
#include "test_pickerplacement.moc"
