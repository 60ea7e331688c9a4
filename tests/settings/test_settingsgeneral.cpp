// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "look/widgets/kiwanobutton.h"
#include "settings/generalsection.h"
#include "settings/autostart.h"
#include "settings/settingsparts.h"
#include "settings/updatesettings.h"

#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class TestSettingsGeneral : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture = std::make_unique<SettingsFixture>();
        m_config = m_fixture->root.filePath(QStringLiteral("config"));
        m_updates = std::make_unique<UpdateSettings>();
    }
    void cleanup() { m_section.reset(), m_updates.reset(), m_fixture.reset(); }
    // The toggle writes and removes the autostart file. A change that fails (a file where the
    // folder should be) says why and leaves the toggle as it was; the next one that works takes
    // the message away.
    void loginToggleWritesAndRemovesTheAutostartFile()
    {
        const QString file = autostartFolder() + QStringLiteral("/kiwano-snapper.desktop");
        QVERIFY(TestFiles::write(autostartFolder(), "a file where the folder should be"));
        GeneralSection *section = makeSection();
        section->loginToggle()->click();
        QVERIFY(!section->loginToggle()->isChecked());
        QVERIFY(section->loginError()->isVisibleTo(section) && !section->loginError()->text().isEmpty());

        QVERIFY(QFile::remove(autostartFolder()));
        section->loginToggle()->click();
        QVERIFY(section->loginToggle()->isChecked());
        QVERIFY(!section->loginError()->isVisibleTo(section));
        QVERIFY(QString::fromUtf8(TestFiles::read(file)).contains("\nExec=" + QCoreApplication::applicationFilePath() + u'\n'));
        QVERIFY(makeSection()->loginToggle()->isChecked()); // a new view reads it back as on

        m_section->loginToggle()->click();
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!makeSection()->loginToggle()->isChecked());
    }
    void autostartFileReadsAsOn_data()
    {
        QTest::addColumn<QByteArray>("content"); QTest::addColumn<bool>("on");

        const QByteArray head = "[Desktop Entry]\nType=Application\nExec=kiwano-snapper\n";
        QTest::newRow("plain") << head << true;
        QTest::newRow("hidden") << head + "Hidden=true\n" << false;
        QTest::newRow("hidden with spaces") << head + "Hidden = true\n" << false;
        QTest::newRow("not hidden") << head + "Hidden=false\n" << true;
        QTest::newRow("hidden in another group") << head + "[Desktop Action new]\nHidden=true\n" << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }
    void autostartFileReadsAsOn()
    {
        QFETCH(QByteArray, content);
        QVERIFY(TestFiles::write(autostartFolder() + QStringLiteral("/kiwano-snapper.desktop"), content));
        QTEST(makeSection()->loginToggle()->isChecked(), "on");
    }
    // The toggle above writes under XDG_CONFIG_HOME; unset, it is ~/.config.
    void autostartFollowsXdgConfigHome()
    {
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(Autostart::path(), QDir::homePath() + QStringLiteral("/.config/autostart/kiwano-snapper.desktop"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
    }
    // The autostart file's Exec line for program paths that need the Desktop Entry escapes, where
    // the desktop's own reader below cannot show them (quotes, backslashes and the like it does).
    void execLineEscapes_data()
    {
        QTest::addColumn<QString>("program"); QTest::addColumn<QString>("exec");
        QTest::newRow("percent, unquoted") << u"/opt/100%/kiwano"_s << u"/opt/100%%/kiwano"_s;
        QTest::newRow("percent, quoted") << u"/opt/a %f/k"_s << u"\"/opt/a %%f/k\""_s;
        QTest::newRow("newline and tab") << u"/opt/a\nb\tc/k"_s << u"\"/opt/a\\nb\\tc/k\""_s;
    }
    void execLineEscapes()
    {
        QFETCH(QString, program);
        QTEST(Autostart::execLine(program), "exec");
        QCOMPARE(Autostart::desktopEntry(program).count('\n'), 8); // one line per key, whatever the path holds
    }
    // What a desktop's own reader makes of the file: GLib finds and starts the program at a path
    // full of characters that need escaping, and the program sees its own path.
    void desktopStartsTheProgramAtAHostilePath()
    {
        const QString gio = QStandardPaths::findExecutable(u"gio"_s);
        if (gio.isEmpty())
            QSKIP("needs gio");
        QTemporaryDir dir;
        // GLib looks the program up before it expands %%, so a % in the path is left to the table.
        const QString folder = dir.filePath(u"Kiwano \\ \"q\" $HOME `id` 'a' ;&"_s);
        const QString program = folder + u"/kiwano"_s;
        const QString ran = dir.filePath(u"ran"_s);
        QVERIFY(TestFiles::write(program, "#!/bin/sh\nprintf '%s' \"$0\" > '" + QFile::encodeName(ran) + "'\n",
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString entry = dir.filePath(u"kiwano-snapper.desktop"_s);
        QVERIFY(TestFiles::write(entry, Autostart::desktopEntry(program)));

        QProcess launch;
        launch.start(gio, {u"launch"_s, entry});
        QVERIFY(launch.waitForFinished(10000));
        QCOMPARE(launch.exitCode(), 0);
        QTRY_COMPARE(QString::fromUtf8(TestFiles::read(ran)), program);
    }

private:
    QString autostartFolder() const { return m_config + QStringLiteral("/autostart"); }
    GeneralSection *makeSection()
    {
        m_section = std::make_unique<GeneralSection>(m_updates.get(), [] {});
        return m_section.get();
    }

    std::unique_ptr<SettingsFixture> m_fixture;
    std::unique_ptr<UpdateSettings> m_updates;
    std::unique_ptr<GeneralSection> m_section;
    QString m_config;
};

KIWANO_TEST_MAIN(TestSettingsGeneral)
#include "test_settingsgeneral.moc"
