// SPDX-License-Identifier: MIT
#include <QProcess>

#include "hotkeys/keyboard.h"
#include "platform/x11/x11keyboardlayout.h"

using namespace Qt::StringLiterals;

static bool setLayout(const QStringList &layout)
{
    QProcess process;
    process.start(u"setxkbmap"_s, QStringList{u"-option"_s, QString(), u"-layout"_s} + layout);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

class TestX11KeyboardLayout : public QObject
{
    Q_OBJECT
    std::optional<X11KeyboardLayout> m_layout;

private slots:
    void init()
    {
        QVERIFY(setLayout({u"us"_s}));
        QVERIFY(m_layout.emplace().isReadable());
        Keyboard::setLayout(&*m_layout);
    }
    void cleanup()
    {
        Keyboard::setLayout(nullptr);
        setLayout({u"us"_s});
    }

    void followsTheLayoutWhileRunning_data()
    {
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("character");  // empty: the key types nothing
        const QStringList us{u"us"_s}, de{u"de"_s}, dvorak{u"us"_s, u"-variant"_s, u"dvorak"_s};
        QTest::newRow("us: letter upper-cased") << us << 0u << u"A"_s << u"a"_s;
        QTest::newRow("us: Return") << us << 36u << u"↩"_s << QString();
        QTest::newRow("us: Pause has no name") << us << 113u << u"#113"_s << QString();
        QTest::newRow("de: Y and Z swap") << de << 6u << u"Y"_s << u"y"_s;
        QTest::newRow("de: sharp s on the minus key") << de << 27u << u"ß"_s.toUpper() << u"ß"_s;
        QTest::newRow("de: dead circumflex") << de << 50u << u"#50"_s << QString();
        QTest::newRow("dvorak: o on the S key") << dvorak << 1u << u"O"_s << u"o"_s;
    }
    void followsTheLayoutWhileRunning()
    {
        QFETCH(QStringList, layout);
        QFETCH(quint32, keyCode);
        QFETCH(QString, name);
        QFETCH(QString, character);
        QCOMPARE(Keyboard::character(0), std::optional(u"a"_s));  // the US keymap is loaded
        QVERIFY(setLayout(layout));
        // The server announces the new keymap; it is taken at the next lookup.
        QTRY_COMPARE(Keyboard::name(keyCode), name);
        QCOMPARE(Keyboard::character(keyCode), character.isEmpty() ? std::nullopt : std::optional(character));
        if (!character.isEmpty())
            QCOMPARE(Keyboard::keyCode(character), std::optional<quint16>(keyCode));
    }

    void noServerMeansNoLayout()
    {
        X11KeyboardLayout nowhere(":987");
        QVERIFY(!nowhere.isReadable());
        Keyboard::setLayout(&nowhere);
        QCOMPARE(Keyboard::name(0), u"#0"_s);
        QCOMPARE(Keyboard::keyCode(u"v"_s), std::nullopt);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestX11KeyboardLayout)
#include "test_x11keyboardlayout.moc"
