// SPDX-License-Identifier: MIT
#include <QSet>

#include "platform/keycodes.h"

class TestKeyCodes : public QObject
{
    Q_OBJECT
private slots:
    void positionsMapBothWays_data()
    {
        QTest::addColumn<quint32>("virtualKey");
        QTest::addColumn<quint32>("x11KeyCode");
        QTest::addColumn<int>("qtKey");  // also what Qt reports with Shift held; 0: none
        QTest::newRow("5 sits after 6 in the code order") << 23u << 14u << int(Qt::Key_5);
        QTest::newRow("Tab, shifted") << 48u << 23u << int(Qt::Key_Backtab);
        QTest::newRow("ISO key beside left Shift") << 10u << 94u << 0;
        QTest::newRow("Print as SysReq") << 105u << 107u << int(Qt::Key_SysReq);
        QTest::newRow("left Super") << 55u << 133u << int(Qt::Key_Meta);
    }
    void positionsMapBothWays()
    {
        QFETCH(quint32, virtualKey);
        QFETCH(quint32, x11KeyCode);
        QFETCH(int, qtKey);
        QCOMPARE(KeyCodes::toX11(virtualKey), std::optional<quint32>(x11KeyCode));
        QCOMPARE(KeyCodes::fromX11(x11KeyCode), std::optional<quint16>(virtualKey));
        QCOMPARE(KeyCodes::toEvdev(virtualKey), std::optional<quint32>(x11KeyCode - 8));
        if (qtKey != 0)
            QCOMPARE(KeyCodes::fromQtKey(qtKey), std::optional<quint16>(virtualKey));
    }

    void everyPositionIsNamedOnceAndUnknownCodesHaveNone()
    {
        QSet<quint16> virtualKeys, evdevCodes;
        for (const auto &p : KeyCodes::positions) {
            QVERIFY2(!virtualKeys.contains(p.virtualKey) && !evdevCodes.contains(p.evdev), qPrintable(QString::number(p.virtualKey)));
            virtualKeys.insert(p.virtualKey);
            evdevCodes.insert(p.evdev);
        }
        QCOMPARE(KeyCodes::toX11(52), std::nullopt);  // a gap in the numbering
        QCOMPARE(KeyCodes::toX11(200), std::nullopt);
        QCOMPARE(KeyCodes::fromX11(7), std::nullopt);  // below the X11 offset
        QCOMPARE(KeyCodes::fromX11(255), std::nullopt);
        QCOMPARE(KeyCodes::fromQtKey(Qt::Key_unknown), std::nullopt);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestKeyCodes)
#include "test_keycodes.moc"
