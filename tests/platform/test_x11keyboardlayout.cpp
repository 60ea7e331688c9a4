// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QTest>

#include "hotkeys/hotkey.h"
#include "hotkeys/keyboard.h"
#include "platform/x11/x11keyboardlayout.h"

namespace {

// Sets these layouts (none: plain us) with no options left from before.
bool setLayout(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("setxkbmap"),
                  QStringList{QStringLiteral("-option"), QString(), QStringLiteral("-layout")}
                      + (arguments.isEmpty() ? QStringList{QStringLiteral("us")} : arguments));
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

} // namespace

class TestX11KeyboardLayout : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<X11KeyboardLayout> m_layout;

private slots:
    void init()
    {
        QVERIFY(setLayout({}));
        m_layout = std::make_unique<X11KeyboardLayout>();
        QVERIFY(m_layout->isReadable());
        Keyboard::setLayout(m_layout.get());
    }
    void cleanup()
    {
        Keyboard::setLayout(nullptr);
        m_layout.reset();
        setLayout({});
    }

    void usLayout()
    {
        QCOMPARE(Keyboard::character(0), std::optional<QString>(QStringLiteral("a")));
        QCOMPARE(Keyboard::name(0), QStringLiteral("A"));
        QCOMPARE(Keyboard::keyCode(QStringLiteral("v")), std::optional<quint16>(9));
        QCOMPARE(Keyboard::keyCode(QStringLiteral("6")), std::optional<quint16>(22));
        QCOMPARE(HotKey(22, HotKey::shift | HotKey::command).display(), QStringLiteral("Shift+Super+6"));
        // Keys that type nothing printable fall back to their fixed name or their number.
        QCOMPARE(Keyboard::character(105), std::nullopt);
        QCOMPARE(Keyboard::name(105), QStringLiteral("Print"));
        QCOMPARE(Keyboard::character(36), std::nullopt);
        QCOMPARE(Keyboard::name(113), QStringLiteral("#113"));  // Pause
        QCOMPARE(Keyboard::character(52), std::nullopt);         // no such key
    }

    void followsLayoutChangesWhileRunning_data()
    {
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("lookedUp");
        QTest::addColumn<quint32>("lookedUpCode");
        QTest::newRow("de: Y and Z swap") << QStringList{QStringLiteral("de")} << 6u
                                          << QStringLiteral("y") << QStringLiteral("z") << 16u;
        QTest::newRow("de: sharp s on the minus key") << QStringList{QStringLiteral("de")} << 27u
                                                      << QStringLiteral("ß") << QStringLiteral("ß") << 27u;
        const QStringList dvorak{QStringLiteral("us"), QStringLiteral("-variant"), QStringLiteral("dvorak")};
        QTest::newRow("dvorak: o on the S key") << dvorak << 1u << QStringLiteral("o") << QStringLiteral("v") << 47u;
        QTest::newRow("dvorak: s on the semicolon key")
            << dvorak << 41u << QStringLiteral("s") << QStringLiteral("s") << 41u;
    }
    void followsLayoutChangesWhileRunning()
    {
        QFETCH(QStringList, layout);
        QFETCH(quint32, keyCode);
        QFETCH(QString, character);
        QFETCH(QString, lookedUp);
        QFETCH(quint32, lookedUpCode);

        QCOMPARE(Keyboard::character(0), std::optional<QString>(QStringLiteral("a")));
        QVERIFY(setLayout(layout));
        // The server announces the new keymap; it is taken at the next lookup.
        QTRY_COMPARE(Keyboard::character(keyCode), std::optional<QString>(character));
        QCOMPARE(Keyboard::keyCode(lookedUp), std::optional<quint16>(lookedUpCode));
        QCOMPARE(Keyboard::name(keyCode), character.toUpper());

        QVERIFY(setLayout({QStringLiteral("us")}));
        QTRY_COMPARE(Keyboard::character(1), std::optional<QString>(QStringLiteral("s")));
    }

    void deadKeysHaveNoCharacter()
    {
        QVERIFY(setLayout({QStringLiteral("de")}));
        QTRY_COMPARE(Keyboard::character(16), std::optional<QString>(QStringLiteral("z")));
        QCOMPARE(Keyboard::character(50), std::nullopt);  // dead circumflex
        QCOMPARE(Keyboard::name(50), QStringLiteral("#50"));
    }

    void noServerMeansNoLayout()
    {
        X11KeyboardLayout nowhere(":987");
        QVERIFY(!nowhere.isReadable());
        QCOMPARE(nowhere.text(0), std::nullopt);
        Keyboard::setLayout(&nowhere);
        QCOMPARE(Keyboard::name(0), QStringLiteral("#0"));
        QCOMPARE(Keyboard::keyCode(QStringLiteral("v")), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestX11KeyboardLayout)
#include "test_x11keyboardlayout.moc"
