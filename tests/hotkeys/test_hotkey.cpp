// SPDX-License-Identifier: MIT
#include <QTest>

#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/hotkey.h"
#include "hotkeys/keyboard.h"

class TestHotKey : public QObject
{
    Q_OBJECT
private:
    FakeKeyboardLayout m_us;

private slots:
    void init() { Keyboard::setLayout(&m_us); }
    void cleanup() { Keyboard::setLayout(nullptr); }

    void displayNamesModifiersInFixedOrder_data()
    {
        QTest::addColumn<quint64>("modifiers");
        QTest::addColumn<QString>("expected");
        const struct { quint64 bit; const char *name; } order[] = {
            {HotKey::control, "Ctrl+"}, {HotKey::option, "Alt+"},
            {HotKey::shift, "Shift+"}, {HotKey::command, "Super+"}};
        for (int combination = 0; combination < 16; ++combination) {
            quint64 mask = 0;
            QString text;
            for (int i = 0; i < 4; ++i) {
                if (combination & (1 << i)) {
                    mask |= order[i].bit;
                    text += QLatin1String(order[i].name);
                }
            }
            QTest::newRow(qPrintable(text + u'6')) << mask << text + u'6';
        }
    }
    void displayNamesModifiersInFixedOrder()
    {
        QFETCH(quint64, modifiers);
        QFETCH(QString, expected);
        // Caps Lock (0x10000) and device bits never reach the text.
        QCOMPARE(HotKey(22, modifiers | 0x10000 | 0x8).display(), expected);
    }

    void keysAreNamed_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<QString>("name");
        QTest::newRow("letter upper-cased") << 0u << QStringLiteral("A");
        QTest::newRow("C") << 8u << QStringLiteral("C");
        QTest::newRow("Space") << 49u << QStringLiteral("Space");
        QTest::newRow("Return") << 36u << QStringLiteral("↩");
        QTest::newRow("Escape") << 53u << QStringLiteral("⎋");
        QTest::newRow("F5") << 96u << QStringLiteral("F5");
        QTest::newRow("Print") << 105u << QStringLiteral("Print");
        QTest::newRow("no character") << 10u << QStringLiteral("#10");
        QTest::newRow("no such key") << 300u << QStringLiteral("#300");
    }
    void keysAreNamed()
    {
        QFETCH(quint32, keyCode);
        QFETCH(QString, name);
        QCOMPARE(Keyboard::name(keyCode), name);
    }

    void withoutLayoutNamesFallBackToTheCode()
    {
        Keyboard::setLayout(nullptr);
        QCOMPARE(Keyboard::character(0), std::nullopt);
        QCOMPARE(Keyboard::name(0), QStringLiteral("#0"));
        QCOMPARE(Keyboard::name(49), QStringLiteral("Space"));
        QCOMPARE(Keyboard::keyCode(QStringLiteral("v")), std::nullopt);
        QCOMPARE(HotKey(8, HotKey::shift | HotKey::command).display(), QStringLiteral("Shift+Super+#8"));
    }

    void keyCodeFindsTheFirstKeyTypingTheText()
    {
        QCOMPARE(Keyboard::keyCode(QStringLiteral("v")), std::optional<quint16>(9));
        QCOMPARE(Keyboard::keyCode(QStringLiteral("V")), std::nullopt);  // exact, no case folding
        m_us.texts.insert(100, QStringLiteral("v"));
        QCOMPARE(Keyboard::keyCode(QStringLiteral("v")), std::optional<quint16>(9));
        m_us.texts.remove(9);
        QCOMPARE(Keyboard::keyCode(QStringLiteral("v")), std::optional<quint16>(100));
        QCOMPARE(Keyboard::keyCode(QString()), std::nullopt);
    }

    void functionKeysAreExactlyF1ToF12()
    {
        const QList<quint32> functionKeys{96, 97, 98, 99, 100, 101, 103, 109, 111, 118, 120, 122};
        for (quint32 code = 0; code < 140; ++code)
            QCOMPARE(Keyboard::isFunctionKey(code), functionKeys.contains(code));
    }

    void x11ModifiersFollowTheDesktopMapping()
    {
        QCOMPARE(HotKey(22, HotKey::shift | HotKey::command).x11Modifiers(), 0x41u);
        QCOMPARE(HotKey(22, HotKey::control).x11Modifiers(), 0x4u);
        QCOMPARE(HotKey(22, HotKey::option).x11Modifiers(), 0x8u);
        QCOMPARE(HotKey(22, HotKey::relevant).x11Modifiers(), 0x4du);
    }

    void jsonRoundTrips()
    {
        const HotKey key(22, HotKey::shift | HotKey::command);
        QCOMPARE(key.toJson(), QByteArray("{\"keyCode\":22,\"modifiers\":1179648}"));
        QCOMPARE(HotKey::fromJson(key.toJson()), std::optional<HotKey>(key));
    }

    void jsonThatIsNoShortcutDecodesToNothing_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("not JSON") << QByteArray("hello");
        QTest::newRow("array") << QByteArray("[22, 1179648]");
        QTest::newRow("missing modifiers") << QByteArray("{\"keyCode\":22}");
        QTest::newRow("number as text") << QByteArray("{\"keyCode\":\"22\",\"modifiers\":0}");
        QTest::newRow("negative") << QByteArray("{\"keyCode\":-1,\"modifiers\":0}");
        QTest::newRow("fraction") << QByteArray("{\"keyCode\":2.5,\"modifiers\":0}");
        QTest::newRow("past 32 bits") << QByteArray("{\"keyCode\":4294967296,\"modifiers\":0}");
        QTest::newRow("truncated") << QByteArray("{\"keyCode\":22,\"modif");
    }
    void jsonThatIsNoShortcutDecodesToNothing()
    {
        QFETCH(QByteArray, json);
        QCOMPARE(HotKey::fromJson(json), std::nullopt);
    }

    void decodedModifiersAreMaskedLikeRecordedOnes()
    {
        // Caps Lock was on in a hand-edited value; it must still equal the recorded shortcut.
        const auto key = HotKey::fromJson("{\"keyCode\":22,\"modifiers\":1245184,\"extra\":1}");
        QCOMPARE(key, std::optional<HotKey>(HotKey(22, HotKey::shift | HotKey::command)));
    }

    void presets()
    {
        using namespace HotKeyPresets;
        QCOMPARE(kiwanoDefault(HotKeyAction::grabRegion)->display(), QStringLiteral("Shift+Super+6"));
        QCOMPARE(kiwanoDefault(HotKeyAction::grabWindow), std::nullopt);
        QCOMPARE(kiwanoDefault(HotKeyAction::grabScreen), std::nullopt);
        QCOMPARE(kiwanoDefault(HotKeyAction::clipboard)->display(), QStringLiteral("Shift+Super+C"));
        QCOMPARE(desktopDefault(HotKeyAction::grabRegion)->display(), QStringLiteral("Shift+Print"));
        QCOMPARE(desktopDefault(HotKeyAction::grabWindow)->display(), QStringLiteral("Alt+Print"));
        QCOMPARE(desktopDefault(HotKeyAction::grabScreen)->display(), QStringLiteral("Print"));
        QCOMPARE(desktopDefault(HotKeyAction::clipboard)->display(), QStringLiteral("Shift+Super+C"));
    }
};

QTEST_GUILESS_MAIN(TestHotKey)
#include "test_hotkey.moc"
