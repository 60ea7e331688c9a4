// SPDX-License-Identifier: MIT
#include "platform/appnames.h"
#include "platform/desktopentries.h"
#include "platform/xdgsandbox.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

class TestDesktopEntries : public QObject
{
    Q_OBJECT

private slots:


    void readsTheMainGroupOnly_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("wmClass");

        QTest::newRow("plain") << QStringList{"Type=Application", "Name=Secrets", "StartupWMClass=secrets"} << "en_US" << "Secrets" << "secrets";
        QTest::newRow("language") << QStringList{"Type=Application", "Name=Files", "Name[de]=Dateien"} << "de_DE" << "Dateien" << "";
        QTest::newRow("language and country first")
            << QStringList{"Type=Application", "Name=Colour", "Name[en]=Colour", "Name[en_US]=Color"}
            << "en_US" << "Color" << "";
        QTest::newRow("escapes") << QStringList{"Type=Application", "Name=Two\\sWords\\\\"} << "C" << "Two Words\\" << "";
        QTest::newRow("hidden") << QStringList{"Type=Application", "Name=Gone", "Hidden=true"} << "C" << "" << "";
        QTest::newRow("link") << QStringList{"Type=Link", "Name=Site", "URL=https://example.org"} << "C" << "" << "";
    }

    void readsTheMainGroupOnly()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, locale);
        QFETCH(QString, name);
        XdgSandbox sandbox;
        // An action group's keys must not override the application's own.
        const QString path = sandbox.addDesktopFile(
            QStringLiteral("app.desktop"),
            lines + QStringList{"", "[Desktop Action new]", "Name=New Window", "StartupWMClass=nope",
                                "Hidden=true"});
        const auto entry = DesktopEntries::read(path, QStringLiteral("app"), locale);
        // Entries that are hidden or not applications read as none.
        QCOMPARE(entry.has_value(), !name.isEmpty());
        QCOMPARE(entry.value_or(DesktopEntry{}).name, name);
        QTEST(entry.value_or(DesktopEntry{}).startupWmClass, "wmClass");
    }

    void program_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("program");

        QTest::newRow("path and field codes") << "/usr/bin/keepassxc %f" << "/usr/bin/keepassxc";
        QTest::newRow("quoted with spaces") << "\"/opt/My App/run\" --new %U" << "/opt/My App/run";
        QTest::newRow("escaped quote") << "\"/opt/a\\\"b\" x" << "/opt/a\"b";
        QTest::newRow("env first") << "env GDK_BACKEND=x11 LANG=C firefox-esr %u" << "firefox-esr";
        QTest::newRow("empty") << "" << "";
    }

    void program()
    {
        QFETCH(QString, exec);
        QTEST(DesktopEntries::program(exec), "program");
    }

    void installedEntries()
    {
        XdgSandbox sandbox;
        sandbox.addDesktopFile("editor.desktop", {"Type=Application", "Name=System Editor"}, true);
        sandbox.addDesktopFile("editor.desktop", {"Type=Application", "Name=My Editor"});
        sandbox.addDesktopFile("viewer.desktop", {"Type=Application", "Name=Viewer"}, true);
        sandbox.addDesktopFile("viewer.desktop", {"Type=Application", "Name=Viewer", "Hidden=true"});
        sandbox.addDesktopFile("kde4/okular.desktop", {"Type=Application", "Name=Okular"}, true);

        // User files hide system files of the same id, even to hide them away.
        const auto entries = DesktopEntries::installed();
        QCOMPARE(entries->byId("editor").value_or(DesktopEntry{}).name, QStringLiteral("My Editor"));
        QVERIFY(!entries->byId("viewer"));
        QVERIFY(!entries->byId("editor.desktop"));
        QCOMPARE(entries->byId("kde4-okular").value_or(DesktopEntry{}).name, QStringLiteral("Okular"));

        // Applications installed later are seen.
        QVERIFY(!entries->byId("second"));
        sandbox.addDesktopFile("second.desktop", {"Type=Application", "Name=Second"}, true);
        QVERIFY(DesktopEntries::installed()->byId("second"));
    }

    void identifiesWindows_data()
    {
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("wmClass");
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("id");

        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        QTest::newRow("instance") << "gnome-terminal-server" << "Whatever" << "" << "org.gnome.Terminal";
        QTest::newRow("class wins over program") << "x" << "KeePassXC" << self << "org.keepassxc.KeePassXC";
        QTest::newRow("program") << "x" << "Y" << self << "selftest";
        QTest::newRow("case matters") << "x" << "keepassXC" << "" << "";
        QTest::newRow("program shared by shown entries") << "x" << "Y" << "/bin/sh" << "";
    }

    void identifiesWindows()
    {
        QFETCH(QString, instance);
        QFETCH(QString, wmClass);
        QFETCH(QString, executable);
        XdgSandbox sandbox;
        const QString self = QCoreApplication::applicationFilePath();
        const QList<QPair<QString, QStringList>> files{
            {"org.keepassxc.KeePassXC", {"Name=KeePassXC", "StartupWMClass=KeePassXC", "Exec=keepassxc %f"}},
            {"org.gnome.Terminal", {"Name=Terminal", "StartupWMClass=gnome-terminal-server", "Exec=gnome-terminal"}},
            // The same program behind a hidden helper entry does not make it ambiguous.
            {"selftest", {"Name=Self", "Exec=\"" + self + "\" --x"}},
            {"selftest-handler", {"Name=Self Handler", "NoDisplay=true", "Exec=" + self}},
            {"script-a", {"Name=A", "Exec=/bin/sh a"}}, {"script-b", {"Name=B", "Exec=/bin/sh b"}}};
        for (const auto &[id, lines] : files)
            sandbox.addDesktopFile(id + ".desktop", QStringList{"Type=Application"} + lines, true);

        const auto entry = DesktopEntries::installed()->forWindow(
            instance, wmClass, executable.isEmpty() ? QString()
                                                    : QFileInfo(executable).canonicalFilePath());
        QTEST(entry ? entry->id : QString(), "id");
    }

    void appNames()
    {
        XdgSandbox sandbox;
        const QString path = sandbox.addDesktopFile("org.gnome.World.Secrets.desktop",
                                                    {"Type=Application", "Name=Secrets", "StartupWMClass=secrets-window"}, true);
        const auto name = [](const QString &id) { return AppNames::name(id).value_or("none"); };
        QCOMPARE(name("org.gnome.World.Secrets"), "Secrets");
        QCOMPARE(name("secrets-window"), "Secrets");
        QCOMPARE(name("Unknown"), "none");
        QCOMPARE(name(""), "none");
        // Unknown ids are asked again; known names stay once found.
        sandbox.addDesktopFile("Unknown.desktop", {"Type=Application", "Name=Now Known"});
        QCOMPARE(name("Unknown"), "Now Known");
        QVERIFY(QFile::remove(path));
        QCOMPARE(name("org.gnome.World.Secrets"), "Secrets");
    }
};

KIWANO_TEST_GUILESS_MAIN(TestDesktopEntries)
#include "test_desktopentries.moc"
