// SPDX-License-Identifier: MIT
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/desktopscreenshots.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"

using DesktopScreenshots::Settings;

namespace {

const HotKey print(105, 0);
const HotKey shiftPrint(105, HotKey::shift);
const HotKey altPrint(105, HotKey::option);
const HotKey superPrint(105, HotKey::command);
const HotKey shiftSuperPrint(105, HotKey::shift | HotKey::command);
const HotKey shiftSuperS(1, HotKey::shift | HotKey::command);

const QString gnomeDefaults = QStringLiteral(
    "org.gnome.shell.keybindings focus-active-notification ['<Super>n']\n"
    "org.gnome.shell.keybindings screenshot ['<Shift>Print']\n"
    "org.gnome.shell.keybindings screenshot-window ['<Alt>Print']\n"
    "org.gnome.shell.keybindings show-screenshot-ui ['Print']\n"
    "org.gnome.shell.keybindings toggle-overview @as []\n");

const QString plasma5 = QStringLiteral(
    "[kwin]\nExpose=Ctrl+F9,Ctrl+F9,Toggle Present Windows\n\n"
    "[org.kde.spectacle.desktop]\n"
    "ActiveWindowScreenShot=Meta+Print,Meta+Print,Capture Active Window\n"
    "FullScreenScreenShot=Shift+Print,Shift+Print,Capture Entire Desktop\n"
    "RectangularRegionScreenShot=Meta+Shift+Print\tMeta+Shift+S,Meta+Shift+Print,Capture Region\n"
    "_k_friendly_name=Spectacle\n"
    "_launch=none,Print,Spectacle\n");

QList<HotKey> taken(const Settings &settings)
{
    return DesktopScreenshots::shortcuts(settings);
}

} // namespace

class TestDesktopScreenshots : public QObject
{
    Q_OBJECT
private:
    FakeKeyboardLayout m_us;

private slots:
    void init()
    {
        m_us = FakeKeyboardLayout();
        Keyboard::setLayout(&m_us);
    }
    void cleanup() { Keyboard::setLayout(nullptr); }

    void nothingReadableMeansTheFactoryTable()
    {
        QCOMPARE(taken(Settings{}), (QList<HotKey>{print, shiftPrint, altPrint}));
        // Output without a single line of the schema, a file without Spectacle's group.
        const Settings unrelated{QStringLiteral("No such schema\n"), QStringLiteral("[kwin]\nA=B\n")};
        QCOMPARE(taken(unrelated), (QList<HotKey>{print, shiftPrint, altPrint}));
    }

    void gnomeDefaultsTakeThePrintKeys()
    {
        const Settings settings{gnomeDefaults, std::nullopt};
        QVERIFY(DesktopScreenshots::isTaken(print, settings));
        QVERIFY(DesktopScreenshots::isTaken(shiftPrint, settings));
        QVERIFY(DesktopScreenshots::isTaken(altPrint, settings));
        QVERIFY(!DesktopScreenshots::isTaken(superPrint, settings));
        QVERIFY(!DesktopScreenshots::isTaken(HotKey(45, HotKey::command), settings));  // Super+N
    }

    void gnomeEntries_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QList<HotKey>>("expected");
        const QString head = QStringLiteral("org.gnome.shell.keybindings ");
        QTest::newRow("turned off and moved")
            << head + "screenshot ['<Shift><Super>s', '<Primary>Print']\n" + head
                   + "screenshot-window @as []\n" + head + "show-screenshot-ui []\n"
            << QList<HotKey>{shiftSuperS, HotKey(105, HotKey::control)};
        QTest::newRow("missing entry keeps its factory key")
            << head + "screenshot []\n" + head + "screenshot-window []\n" << QList<HotKey>{print};
        QTest::newRow("malformed values keep their factory keys")
            << head + "screenshot ['<Shift>Print'\n" + head + "screenshot-window '<Alt>Print'\n"
                   + head + "show-screenshot-ui ['a' 'b']\n"
            << QList<HotKey>{shiftPrint, altPrint, print};
        QTest::newRow("unknown names match nothing")
            << head + "screenshot ['<Hyper>Print', '<Super>XF86Frob', '<Alt', '']\n" + head
                   + "screenshot-window [\"<Alt>Print\"]\n" + head + "show-screenshot-ui @as []\n"
            << QList<HotKey>{altPrint};
    }
    void gnomeEntries()
    {
        QFETCH(QString, output);
        QFETCH(QList<HotKey>, expected);
        QCOMPARE(taken(Settings{output, std::nullopt}), expected);
    }

    void kdeSpectacleGroupIsRead()
    {
        const Settings settings{std::nullopt, plasma5};
        const auto keys = taken(settings);
        QVERIFY(!keys.contains(print));  // the launch shortcut is "none"
        QVERIFY(keys.contains(shiftPrint));
        QVERIFY(keys.contains(superPrint));
        QVERIFY(keys.contains(shiftSuperPrint));
        QVERIFY(keys.contains(shiftSuperS));  // second shortcut of the same entry
        QVERIFY(!keys.contains(altPrint));
    }

    void newerPlasmaStoresOnlyChangedShortcuts()
    {
        const Settings settings{std::nullopt, QStringLiteral(
            "[services][org.kde.spectacle.desktop]\n_launch=none\n"
            "RectangularRegionScreenShot=Meta+Shift+S\n")};
        const auto keys = taken(settings);
        QVERIFY(!keys.contains(print));
        QVERIFY(keys.contains(shiftPrint));  // still at Spectacle's own default
        QVERIFY(keys.contains(shiftSuperS));
        QVERIFY(!keys.contains(shiftSuperPrint));
    }

    void malformedKdeFilesMatchNothingUnreadable()
    {
        const Settings garbage{std::nullopt, QStringLiteral(
            "[org.kde.spectacle.desktop]\n=,,,\nFullScreenScreenShot\nA=Ctrl+Frob,x\nB=,Print\n"
            "C=Shift+Print\tnone\t\x01\x02\n[broken\nD=Print\n[]\nE=Alt+Print\n")};
        // "[broken" opens no group, so D still belongs to Spectacle; "[]" ends its group.
        const auto keys = taken(garbage);
        QCOMPARE(keys.size(), 2);
        QVERIFY(keys.contains(shiftPrint));
        QVERIFY(keys.contains(print));
    }

    void gnomeAndKdeTogether()
    {
        const auto keys = taken(Settings{gnomeDefaults, plasma5});
        QVERIFY(keys.contains(print));        // GNOME
        QVERIFY(keys.contains(superPrint));   // KDE
    }

    void characterKeysFollowTheLayout()
    {
        QCOMPARE(DesktopScreenshots::fromGtkAccelerator(QStringLiteral("<Super><Shift>s")),
                 std::optional<HotKey>(shiftSuperS));
        // On a layout where another key types "s", the binding means that key.
        m_us.texts.remove(1);
        m_us.texts.insert(41, QStringLiteral("s"));
        QCOMPARE(DesktopScreenshots::fromGtkAccelerator(QStringLiteral("<Super>S"))->keyCode, 41u);
        QCOMPARE(DesktopScreenshots::fromKdeShortcut(QStringLiteral("Meta+S"))->keyCode, 41u);
        QCOMPARE(DesktopScreenshots::fromGtkAccelerator(QStringLiteral("<Control>F5")),
                 std::optional<HotKey>(HotKey(96, HotKey::control)));
        QCOMPARE(DesktopScreenshots::fromKdeShortcut(QStringLiteral("Ctrl+Alt+Print, Print")), std::nullopt);
    }

    void readerRunsGsettingsAndReadsTheKdeFile()
    {
        QTemporaryDir folder;
        const QByteArray oldPath = qgetenv("PATH");
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("PATH", folder.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
        const auto restore = qScopeGuard([&] {
            qputenv("PATH", oldPath);
            qputenv("XDG_CONFIG_HOME", oldConfig);
        });

        // No gsettings and no file: the factory table.
        Settings settings = DesktopScreenshots::read();
        QVERIFY(!settings.gnome && !settings.kde);
        QVERIFY(HotKeyCenter::isTakenByDesktopScreenshots(altPrint));

        QFile script(folder.filePath(QStringLiteral("gsettings")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "[ \"$1 $2\" = \"list-recursively org.gnome.shell.keybindings\" ] || exit 3\n"
                     "echo \"org.gnome.shell.keybindings screenshot ['<Shift><Super>s']\"\n"
                     "echo \"org.gnome.shell.keybindings screenshot-window @as []\"\n"
                     "echo \"org.gnome.shell.keybindings show-screenshot-ui @as []\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        settings = DesktopScreenshots::read();
        QVERIFY(settings.gnome);
        QVERIFY(HotKeyCenter::isTakenByDesktopScreenshots(shiftSuperS));
        QVERIFY(!HotKeyCenter::isTakenByDesktopScreenshots(altPrint));

        QFile kde(folder.filePath(QStringLiteral("kglobalshortcutsrc")));
        QVERIFY(kde.open(QIODevice::WriteOnly));
        kde.write(plasma5.toUtf8());
        kde.close();
        QVERIFY(HotKeyCenter::isTakenByDesktopScreenshots(superPrint));

        // A gsettings without the schema fails; only KDE is left.
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\necho 'No such schema' >&2\nexit 1\n");
        script.close();
        settings = DesktopScreenshots::read();
        QVERIFY(!settings.gnome);
        QVERIFY(!HotKeyCenter::isTakenByDesktopScreenshots(print));
        QVERIFY(HotKeyCenter::isTakenByDesktopScreenshots(shiftSuperS));
    }
};

QTEST_GUILESS_MAIN(TestDesktopScreenshots)
#include "test_desktopscreenshots.moc"
