// SPDX-License-Identifier: MIT
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/desktopscreenshots.h"
#include "hotkeys/hotkey.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"

using namespace Qt::StringLiterals;

namespace {

const QString gnomeDefaults = u"org.gnome.shell.keybindings focus-active-notification ['<Super>n']\n"
                              "org.gnome.shell.keybindings screenshot ['<Shift>Print']\n"
                              "org.gnome.shell.keybindings screenshot-window ['<Alt>Print']\n"
                              "org.gnome.shell.keybindings show-screenshot-ui ['Print']\n"
                              "org.gnome.shell.keybindings toggle-overview @as []\n"_s;

const QString plasma5 = u"[kwin]\nExpose=Ctrl+F9,Ctrl+F9,Toggle Present Windows\n\n"
                        "[org.kde.spectacle.desktop]\n"
                        "ActiveWindowScreenShot=Meta+Print,Meta+Print,Capture Active Window\n"
                        "FullScreenScreenShot=Shift+Print,Shift+Print,Capture Entire Desktop\n"
                        "RectangularRegionScreenShot=Meta+Shift+Print\tMeta+Shift+S,Meta+Shift+Print,Capture Region\n"
                        "_k_friendly_name=Spectacle\n"
                        "_launch=none,Print,Spectacle\n"_s;

std::optional<QString> unlessNull(const QString &text)
{
    return text.isNull() ? std::nullopt : std::optional(text);
}

} // namespace

// How shortcuts are named, and read from the desktop's own settings, over a US layout table.
class TestHotKey : public QObject
{
    Q_OBJECT
    FakeKeyboardLayout m_us;

private slots:
    void init()
    {
        m_us = FakeKeyboardLayout();
        Keyboard::setLayout(&m_us);
    }
    void cleanup() { Keyboard::setLayout(nullptr); }

    void everyModifierCombination_data()
    {
        QTest::addColumn<quint64>("modifiers");
        QTest::addColumn<QString>("display");
        QTest::addColumn<quint32>("x11Modifiers");
        const struct { quint64 bit; QString name; quint32 x11; } order[] = {
            {HotKey::control, u"Ctrl+"_s, 0x4}, {HotKey::option, u"Alt+"_s, 0x8},
            {HotKey::shift, u"Shift+"_s, 0x1}, {HotKey::command, u"Super+"_s, 0x40}};
        for (int combination = 0; combination < 16; ++combination) {
            quint64 mask = 0;
            quint32 x11 = 0;
            QString text;
            for (int i = 0; i < 4; ++i) {
                if (combination & (1 << i)) {
                    mask |= order[i].bit;
                    x11 |= order[i].x11;
                    text += order[i].name;
                }
            }
            QTest::newRow(qPrintable(text + u'6')) << mask << text + u'6' << x11;
        }
    }
    void everyModifierCombination()
    {
        QFETCH(quint64, modifiers);
        QFETCH(QString, display);
        QFETCH(quint32, x11Modifiers);
        // Caps Lock (0x10000) and device bits reach neither the text nor the grab.
        const HotKey key(22, modifiers | 0x10000 | 0x8);
        QCOMPARE(key.display(), display);
        QCOMPARE(key.x11Modifiers(), x11Modifiers);
    }

    void keyTable_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("character");  // empty: the key types nothing
        QTest::newRow("letter upper-cased") << 0u << u"A"_s << u"a"_s;
        QTest::newRow("6 sits after 5 in the code order") << 22u << u"6"_s << u"6"_s;
        QTest::newRow("Space") << 49u << u"Space"_s << QString();
        QTest::newRow("Return") << 36u << u"↩"_s << QString();
        QTest::newRow("F5") << 96u << u"F5"_s << QString();
        QTest::newRow("Print") << 105u << u"Print"_s << QString();
        QTest::newRow("no character") << 10u << u"#10"_s << QString();
        QTest::newRow("no such key") << 300u << u"#300"_s << QString();
    }
    void keyTable()
    {
        QFETCH(quint32, keyCode);
        QFETCH(QString, name);
        QFETCH(QString, character);
        QCOMPARE(Keyboard::name(keyCode), name);
        QCOMPARE(Keyboard::character(keyCode), character.isEmpty() ? std::nullopt : std::optional(character));
        if (!character.isEmpty())
            QCOMPARE(Keyboard::keyCode(character), std::optional<quint16>(keyCode));
    }

    void takenCombinations_data()
    {
        QTest::addColumn<QString>("gnome");  // null: gsettings or the schema is missing
        QTest::addColumn<QString>("kde");    // null: no file
        QTest::addColumn<QStringList>("taken");
        const QStringList factory{u"Alt+Print"_s, u"Print"_s, u"Shift+Print"_s};
        const QString g = u"org.gnome.shell.keybindings "_s;
        QTest::newRow("nothing readable") << QString() << QString() << factory;
        QTest::newRow("unrelated output and file") << u"No such schema\n"_s << u"[kwin]\nA=B\n"_s << factory;
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
        const QStringList plasma5Taken{u"Shift+Print"_s, u"Shift+Super+Print"_s, u"Shift+Super+S"_s, u"Super+Print"_s};
        QTest::newRow("Plasma 5, launch turned off") << QString() << plasma5 << plasma5Taken;
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
        QTest::newRow("both") << gnomeDefaults << plasma5 << QStringList{u"Alt+Print"_s, u"Print"_s} + plasma5Taken;
    }
    void takenCombinations()
    {
        QFETCH(QString, gnome);
        QFETCH(QString, kde);
        QFETCH(QStringList, taken);
        QStringList names;
        for (const HotKey &key : DesktopScreenshots::shortcuts({unlessNull(gnome), unlessNull(kde)}))
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
        QCOMPARE(DesktopScreenshots::fromGtkAccelerator(u"<Control>F5"_s), std::optional(HotKey(96, HotKey::control)));
        QCOMPARE(DesktopScreenshots::fromKdeShortcut(u"Ctrl+Alt+Print, Print"_s), std::nullopt);
    }

    void readerRunsGsettingsAndReadsTheKdeFile()
    {
        QTemporaryDir folder;
        const QByteArray oldPath = qgetenv("PATH"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("PATH", folder.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
        const auto restore = qScopeGuard([&] {
            qputenv("PATH", oldPath);
            qputenv("XDG_CONFIG_HOME", oldConfig);
        });
        const auto write = [&](const QString &name, const QByteArray &text) {
            QFile file(folder.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size()
                && file.setPermissions(file.permissions() | QFile::ExeOwner);
        };
        const HotKey altPrint(105, HotKey::option), shiftSuperS(1, HotKey::shift | HotKey::command);

        QVERIFY(!DesktopScreenshots::read().gnome && !DesktopScreenshots::read().kde);
        QVERIFY(HotKeyCenter::isTakenByDesktopScreenshots(altPrint));

        QVERIFY(write(u"gsettings"_s, "#!/bin/sh\n"
                      "[ \"$1 $2\" = \"list-recursively org.gnome.shell.keybindings\" ] || exit 3\n"
                      "echo \"org.gnome.shell.keybindings screenshot ['<Shift><Super>s']\"\n"
                      "echo \"org.gnome.shell.keybindings screenshot-window @as []\"\n"
                      "echo \"org.gnome.shell.keybindings show-screenshot-ui @as []\"\n"));
        QVERIFY(write(u"kglobalshortcutsrc"_s, plasma5.toUtf8()));
        QVERIFY(HotKeyCenter::isTakenByDesktopScreenshots(shiftSuperS));
        QVERIFY(HotKeyCenter::isTakenByDesktopScreenshots(HotKey(105, HotKey::command)));
        QVERIFY(!HotKeyCenter::isTakenByDesktopScreenshots(altPrint));

        // A gsettings without the schema fails; only KDE is left.
        QVERIFY(write(u"gsettings"_s, "#!/bin/sh\necho 'No such schema' >&2\nexit 1\n"));
        QVERIFY(!DesktopScreenshots::read().gnome);
        QVERIFY(!HotKeyCenter::isTakenByDesktopScreenshots(HotKey(105, 0)));
        QVERIFY(HotKeyCenter::isTakenByDesktopScreenshots(shiftSuperS));
    }
};

QTEST_GUILESS_MAIN(TestHotKey)
#include "test_hotkey.moc"
