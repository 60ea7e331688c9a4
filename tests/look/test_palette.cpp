// SPDX-License-Identifier: MIT
#include <QTest>

#include "look/kiwano.h"

class TestPalette : public QObject
{
    Q_OBJECT
private slots:
    void swatchesStartWithTheDefaultRed()
    {
        const auto &colors = Kiwano::palette();
        QCOMPARE(colors.size(), 7);
        QCOMPARE(colors.first().rgba(), QColor::fromRgbF(0.9f, 0.15f, 0.15f).rgba());
        QCOMPARE(colors.at(1), Kiwano::yellow);
        QCOMPARE(colors.last(), QColor(Qt::white));
    }
};

QTEST_GUILESS_MAIN(TestPalette)
#include "test_palette.moc"
