// SPDX-License-Identifier: MIT
#include <QSet>
#include <QTest>

#include "platform/keycodes.h"

class TestKeyCodes : public QObject
{
    Q_OBJECT
private slots:
    void positionsMapBothWays_data()
    {
        QTest::addColumn<quint32>("virtualKey");
        QTest::addColumn<quint32>("x11KeyCode");
        QTest::addColumn<int>("qtKey");

        QTest::newRow("A") << 0u << 38u << int(Qt::Key_A);
        QTest::newRow("C") << 8u << 54u << int(Qt::Key_C);
        QTest::newRow("V") << 9u << 55u << int(Qt::Key_V);
        QTest::newRow("3") << 20u << 12u << int(Qt::Key_3);
        QTest::newRow("4") << 21u << 13u << int(Qt::Key_4);
        QTest::newRow("5 sits after 6 in the code order") << 23u << 14u << int(Qt::Key_5);
        QTest::newRow("6") << 22u << 15u << int(Qt::Key_6);
        QTest::newRow("Return") << 36u << 36u << int(Qt::Key_Return);
        QTest::newRow("Tab") << 48u << 23u << int(Qt::Key_Tab);
        QTest::newRow("Space") << 49u << 65u << int(Qt::Key_Space);
        QTest::newRow("grave, top left") << 50u << 49u << int(Qt::Key_QuoteLeft);
        QTest::newRow("Backspace") << 51u << 22u << int(Qt::Key_Backspace);
        QTest::newRow("Escape") << 53u << 9u << int(Qt::Key_Escape);
        QTest::newRow("ISO key beside left Shift") << 10u << 94u << 0;
        QTest::newRow("F1") << 122u << 67u << int(Qt::Key_F1);
        QTest::newRow("F5") << 96u << 71u << int(Qt::Key_F5);
        QTest::newRow("F12") << 111u << 96u << int(Qt::Key_F12);
        QTest::newRow("Print") << 105u << 107u << int(Qt::Key_Print);
        QTest::newRow("Delete") << 117u << 119u << int(Qt::Key_Delete);
        QTest::newRow("Left") << 123u << 113u << int(Qt::Key_Left);
        QTest::newRow("Up") << 126u << 111u << int(Qt::Key_Up);
        QTest::newRow("keypad 5") << 87u << 84u << 0;
        QTest::newRow("keypad Enter") << 76u << 104u << int(Qt::Key_Enter);
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

    void everyPositionIsNamedOnce()
    {
        QSet<quint16> virtualKeys, evdevCodes;
        QSet<int> qtKeys;
        for (const auto &p : KeyCodes::positions) {
            QVERIFY2(!virtualKeys.contains(p.virtualKey), qPrintable(QString::number(p.virtualKey)));
            QVERIFY2(!evdevCodes.contains(p.evdev), qPrintable(QString::number(p.evdev)));
            virtualKeys.insert(p.virtualKey);
            evdevCodes.insert(p.evdev);
            if (p.qtKey != 0) {
                QVERIFY(!qtKeys.contains(p.qtKey));
                qtKeys.insert(p.qtKey);
            }
            QCOMPARE(KeyCodes::fromEvdev(p.evdev), std::optional<quint16>(p.virtualKey));
        }
    }

    void unknownCodesHaveNoPosition()
    {
        QCOMPARE(KeyCodes::toX11(52), std::nullopt);     // a gap in the numbering
        QCOMPARE(KeyCodes::toX11(200), std::nullopt);
        QCOMPARE(KeyCodes::fromX11(0), std::nullopt);     // below the X11 offset
        QCOMPARE(KeyCodes::fromX11(7), std::nullopt);
        QCOMPARE(KeyCodes::fromX11(255), std::nullopt);
        QCOMPARE(KeyCodes::fromQtKey(0), std::nullopt);
        QCOMPARE(KeyCodes::fromQtKey(Qt::Key_unknown), std::nullopt);
    }

    void qtKeysOfShiftedCharactersFindTheirPosition()
    {
        // With Shift held Qt reports the character typed, not the key.
        QCOMPARE(KeyCodes::fromQtKey(Qt::Key_AsciiCircum), std::optional<quint16>(22));
        QCOMPARE(KeyCodes::fromQtKey(Qt::Key_Ampersand), std::optional<quint16>(26));
        QCOMPARE(KeyCodes::fromQtKey(Qt::Key_Backtab), std::optional<quint16>(48));
        QCOMPARE(KeyCodes::fromQtKey(Qt::Key_SysReq), std::optional<quint16>(105));
        QCOMPARE(KeyCodes::fromQtKey('c'), std::optional<quint16>(8));
    }
};

QTEST_GUILESS_MAIN(TestKeyCodes)
#include "test_keycodes.moc"
