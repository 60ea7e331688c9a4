// SPDX-License-Identifier: MIT
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "settings/autostart.h"

using namespace Qt::StringLiterals;

// The autostart file's Exec line for program paths that need the Desktop Entry escapes.
class TestAutostart : public QObject
{
    Q_OBJECT

private slots:
    void execLineEscapes_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << u"/usr/bin/kiwano-snapper"_s << u"/usr/bin/kiwano-snapper"_s;
        QTest::newRow("space") << u"/opt/Kiwano Snapper/kiwano"_s << u"\"/opt/Kiwano Snapper/kiwano\""_s;
        QTest::newRow("percent, unquoted") << u"/opt/100%/kiwano"_s << u"/opt/100%%/kiwano"_s;
        QTest::newRow("percent, quoted") << u"/opt/a %f/k"_s << u"\"/opt/a %%f/k\""_s;
        // \ becomes \\ inside the quotes, then each of those \\ again in the file.
        QTest::newRow("backslash") << u"/opt/a\\b/k"_s << u"\"/opt/a\\\\\\\\b/k\""_s;
        QTest::newRow("quote, grave, dollar") << u"/opt/\"q\" `x` $HOME/k"_s
                                             << u"\"/opt/\\\\\"q\\\\\" \\\\`x\\\\` \\\\$HOME/k\""_s;
        QTest::newRow("single quote and shell characters")
            << u"/opt/it's;&|<>~*?#()/k"_s << u"\"/opt/it's;&|<>~*?#()/k\""_s;
        QTest::newRow("newline and tab") << u"/opt/a\nb\tc/k"_s << u"\"/opt/a\\nb\\tc/k\""_s;
    }
    void execLineEscapes()
    {
        QFETCH(QString, program);
        QTEST(Autostart::execLine(program), "exec");
        const QByteArray entry = Autostart::desktopEntry(program);
        QVERIFY(entry.contains("\nExec=" + Autostart::execLine(program).toUtf8() + '\n'));
        QCOMPARE(entry.count('\n'), 8); // one line per key, whatever the path holds
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
        QVERIFY(QDir().mkpath(folder));
        const QString program = folder + u"/kiwano"_s;
        const QString ran = dir.filePath(u"ran"_s);
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$0\" > '" + QFile::encodeName(ran) + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        const QString entry = dir.filePath(u"kiwano-snapper.desktop"_s);
        QFile file(entry);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Autostart::desktopEntry(program));
        file.close();

        QProcess launch;
        launch.start(gio, {u"launch"_s, entry});
        QVERIFY(launch.waitForFinished(10000));
        QCOMPARE(launch.exitCode(), 0);
        QTRY_VERIFY(QFileInfo(ran).size() > 0);
        QFile seen(ran);
        QVERIFY(seen.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(seen.readAll()), program);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestAutostart)
#include "test_autostart.moc"
