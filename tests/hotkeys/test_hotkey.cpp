// SPDX-License-Identifier: MIT

#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/desktopscreenshots.h"
#include "hotkeys/hotkey.h"
#include "hotkeys/keyboard.h"

using namespace Qt::StringLiterals;

// How shortcuts are named, and read from the desktop's own settings, over a US layout table.
class TestHotKey : public QObject
{
    Q_OBJECT
    FakeKeyboardLayout m_us;

private slots:
    void init() { m_us = FakeKeyboardLayout(), Keyboard::setLayout(&m_us); }
    void cleanup() { Keyboard::setLayout(nullptr); }

    void modifiersNamedGrabbedAndStored_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers"); QTest::addColumn<QString>("display");
        QTest::addColumn<quint32>("x11Modifiers"); QTest::addColumn<int>("stored");
        // The stored bits stay as the first shortcuts were written: 0x20000 Shift, 0x40000
        // Control, 0x80000 Alt, 0x100000 Super; each row's bits all differ from the others'.
        QTest::newRow("none") << Qt::KeyboardModifiers() << u"6"_s << 0u << 0;
        QTest::newRow("shift") << Qt::KeyboardModifiers(Qt::ShiftModifier) << u"Shift+6"_s << 0x1u << 0x20000;
        QTest::newRow("alt") << Qt::KeyboardModifiers(Qt::AltModifier) << u"Alt+6"_s << 0x8u << 0x80000;
        QTest::newRow("super") << Qt::KeyboardModifiers(Qt::MetaModifier) << u"Super+6"_s << 0x40u << 0x100000;
        QTest::newRow("all, in their order")
            << (Qt::MetaModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier)
            << u"Ctrl+Alt+Shift+Super+6"_s << 0x4du << 0x1e0000;
    }
    void modifiersNamedGrabbedAndStored()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers); QFETCH(QString, display); QFETCH(quint32, x11Modifiers);
        QFETCH(int, stored);
        // Keypad and group bits reach neither the text, the grab nor the file.
        const HotKey key(22, modifiers | Qt::KeypadModifier | Qt::GroupSwitchModifier);
        QCOMPARE(key.display(), display);
        QCOMPARE(key.x11Modifiers(), x11Modifiers);
        const QByteArray json = "{\"keyCode\":22,\"modifiers\":" + QByteArray::number(stored) + '}';
        QCOMPARE(key.toJson(), json);
        QCOMPARE(HotKey::fromJson(json), std::optional(key));
        // Where no layout can be read the key keeps a name a person can press, not its number.
        Keyboard::setLayout(nullptr);
        QCOMPARE(key.display(), display);
    }

    void takenCombinations_data()
    {
        QTest::addColumn<QString>("gnome");  // null: gsettings or the schema is missing
        QTest::addColumn<QString>("kde");    // null: no file
        QTest::addColumn<QStringList>("taken");
        const QStringList factory{u"Alt+Print"_s, u"Print"_s, u"Shift+Print"_s};
        const QString g = u"org.gnome.shell.keybindings "_s;
        QTest::newRow("nothing readable") << QString() << u"[kwin]\nA=B\n"_s << factory;
        QTest::newRow("GNOME turned off and moved")
            << g + "screenshot ['<Shift><Super>s', '<Primary>Print']\n" + g + "screenshot-window @as []\n" + g
                   + "show-screenshot-ui []\n"
            << QString() << QStringList{u"Ctrl+Print"_s, u"Shift+Super+S"_s};
        QTest::newRow("GNOME entry missing keeps its factory key")
            << g + "screenshot []\n" + g + "screenshot-window []\n" << QString() << QStringList{u"Print"_s};
        QTest::newRow("GNOME malformed values keep their factory keys")
            << g + "screenshot ['<Shift>Print'\n" + g + "screenshot-window '<Alt>Print'\n" + g
                   + "show-screenshot-ui ['a' 'b']\n"
            << QString() << factory;
        QTest::newRow("GNOME unknown names match nothing")
            << g + "screenshot ['<Hyper>Print', '<Super>XF86Frob', '<Alt', '']\n" + g
                   + "screenshot-window [\"<Alt>Print\"]\n" + g + "show-screenshot-ui @as []\n"
            << QString() << QStringList{u"Alt+Print"_s};
        QTest::newRow("Plasma 5, launch turned off")
            << g + "show-screenshot-ui ['<Super>n']\n"
            << u"[kwin]\nExpose=Ctrl+F9,Ctrl+F9,Toggle Present Windows\n[org.kde.spectacle.desktop]\n"
               "ActiveWindowScreenShot=Meta+Print,Meta+Print,Capture Active Window\n"
               "RectangularRegionScreenShot=Meta+Shift+Print\tMeta+Shift+S,Meta+Shift+Print,Capture Region\n"
               "_k_friendly_name=Spectacle\n_launch=none,Print,Spectacle\n"_s
            << QStringList{u"Alt+Print"_s, u"Shift+Print"_s, u"Shift+Super+Print"_s, u"Shift+Super+S"_s,
                           u"Super+N"_s, u"Super+Print"_s};
        QTest::newRow("newer Plasma stores only what changed")
            << QString()
            << u"[services][org.kde.spectacle.desktop]\n_launch=none\nRectangularRegionScreenShot=Meta+Shift+S\n"_s
            << QStringList{u"Ctrl+Super+Print"_s, u"Shift+Print"_s, u"Shift+Super+S"_s, u"Super+Print"_s};
        // "[broken" opens no group, so D still belongs to Spectacle; "[]" ends its group.
        QTest::newRow("KDE malformed")
            << QString()
            << u"[org.kde.spectacle.desktop]\n=,,,\nFullScreenScreenShot\nA=Ctrl+Frob,x\nB=,Print\n"
               "C=Shift+Print\tnone\t\x01\x02\n[broken\nD=Print\n[]\nE=Alt+Print\n"_s
            << QStringList{u"Print"_s, u"Shift+Print"_s};
    }
    void takenCombinations()
    {
        QFETCH(QString, gnome); QFETCH(QString, kde); QFETCH(QStringList, taken);
        const auto given = [](const QString &text) { return text.isNull() ? std::nullopt : std::optional(text); };
        QStringList names;
        for (const HotKey &key : DesktopScreenshots::shortcuts({given(gnome), given(kde)}))
            names.append(key.display());
        names.sort();
        names.removeDuplicates();
        QCOMPARE(names, taken);
    }

    void characterKeysFollowTheLayout()
    {
        m_us.texts.remove(1);
        m_us.texts.insert(41, u"s"_s);
        QCOMPARE(DesktopScreenshots::fromGtkAccelerator(u"<Super>S"_s)->keyCode, 41u);
        QCOMPARE(DesktopScreenshots::fromKdeShortcut(u"Meta+S"_s)->keyCode, 41u);
        QCOMPARE(DesktopScreenshots::fromGtkAccelerator(u"<Control>F5"_s), std::optional(HotKey(96, Qt::ControlModifier)));
        QCOMPARE(DesktopScreenshots::fromKdeShortcut(u"Ctrl+Alt+Print, Print"_s), std::nullopt);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestHotKey)
#include "test_hotkey.moc"
