// SPDX-License-Identifier: MIT
#include <QDir>
#include <QTemporaryDir>

#include <unistd.h>

#include "platform/preferences.h"
#include "support/files.h"

using namespace Qt::StringLiterals;

// Hand-edited settings values: each outside its range or set reads as the key's default, and
// reading never rewrites the file (a whole file of nonsense is an end-to-end test).
class TestPreferences : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_home;

    QString file() const { return m_home->filePath(u"KiwanoSnapper/KiwanoSnapper.ini"_s); }
    void write(const QByteArray &bytes) const { QVERIFY(QDir().mkpath(QFileInfo(file()).path()) && TestFiles::write(file(), bytes)); }
    void writeLine(const char *key, const QByteArray &value) const { write("[General]\n" + QByteArray(key) + '=' + value + '\n'); }

private slots:
    void init()
    {
        m_home.emplace();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home->path());
    }

    void limitOutsideTheStepperReadsAsTheDefault_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("limit");
        QTest::newRow("absent") << QByteArray() << 200;
        QTest::newRow("below the stepper") << "49"_ba << 200;
        QTest::newRow("lowest") << "50"_ba << 50;
        QTest::newRow("with spaces") << "\" 300 \""_ba << 300;
        QTest::newRow("highest") << "1000"_ba << 1000;
        QTest::newRow("above the stepper") << "1001"_ba << 200;
        QTest::newRow("past 64 bits") << "99999999999999999999999"_ba << 200;
        QTest::newRow("fraction") << "300.5"_ba << 200;
        QTest::newRow("word") << "many"_ba << 200;
    }
    void limitOutsideTheStepperReadsAsTheDefault()
    {
        QFETCH(QByteArray, stored);
        if (!stored.isNull())
            writeLine("clipboard.limit", stored);
        const QByteArray before = TestFiles::read(file());
        QTEST(Preferences::value(Preferences::clipboardLimit), "limit");
        QCOMPARE(TestFiles::read(file()), before);
    }

    void settingALimitKeepsItInRange()
    {
        for (const auto &[set, kept] : {std::pair{-7, 50}, {5000, 1000}, {350, 350}}) {
            Preferences::setValue(Preferences::clipboardLimit, set);
            QCOMPARE(Preferences::value(Preferences::clipboardLimit), kept);
        }
    }

    void flagsAreTrueOrFalse_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("paste"); // default true
        QTest::addColumn<bool>("clearOnQuit"); // default false
        QTest::newRow("true") << "true"_ba << true << true;
        QTest::newRow("false") << "false"_ba << false << false;
        QTest::newRow("capitals") << "FALSE"_ba << false << false;
        QTest::newRow("number") << "1"_ba << true << false;
        QTest::newRow("word") << "yes"_ba << true << false;
    }
    void flagsAreTrueOrFalse()
    {
        QFETCH(QByteArray, stored);
        write("[General]\nclipboard.paste=" + stored + "\nclipboard.clearOnQuit=" + stored + '\n');
        const QByteArray before = TestFiles::read(file());
        QTEST(Preferences::value(Preferences::clipboardPaste), "paste");
        QTEST(Preferences::value(Preferences::clipboardClearOnQuit), "clearOnQuit");
        QCOMPARE(TestFiles::read(file()), before);
    }

    void foldersMustTakeFiles()
    {
        const QString writable = m_home->filePath(u"Shots"_s);
        QVERIFY(QDir().mkpath(writable));
        const QString aFile = m_home->filePath(u"plain.txt"_s);
        QVERIFY(TestFiles::write(aFile, {}));
        const auto stored = [this](const QString &path) {
            QSettings(file(), QSettings::IniFormat).setValue(u"save.folder"_s, path);
            return Preferences::value(Preferences::saveFolder);
        };
        QCOMPARE(stored(writable), writable);
        QCOMPARE(stored(writable + u"/not yet/made"_s), writable + u"/not yet/made"_s);
        for (const QString &refused : {aFile, aFile + u"/below a file"_s, u"relative/Shots"_s, QString(), u"/proc/self/nothing"_s})
            QCOMPARE(stored(refused), std::nullopt);
        if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(writable, QFile::ReadOwner | QFile::ExeOwner));
            QCOMPARE(stored(writable), std::nullopt);
            QVERIFY(QFile::setPermissions(writable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        write("[General]\nsave.folder=@Variant(\\0\\0\\0\\n)\n");
        QCOMPARE(Preferences::value(Preferences::saveFolder), std::nullopt);
    }

    void ignoredAppsAreAListOfNames_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QStringList>("apps");
        QTest::newRow("one") << "org.gnome.Terminal"_ba << QStringList{u"org.gnome.Terminal"_s};
        QTest::newRow("two") << "a.b, KeePassXC"_ba << QStringList{u"a.b"_s, u"KeePassXC"_s};
        QTest::newRow("an empty name") << "a.b, "_ba << QStringList();
        QTest::newRow("control character") << "\"a\\x1b[31m\""_ba << QStringList();
        QTest::newRow("too long") << QByteArray(300, 'x') << QStringList();
    }
    void ignoredAppsAreAListOfNames()
    {
        QFETCH(QByteArray, stored);
        writeLine("clipboard.ignoredApps", stored);
        QTEST(Preferences::value(Preferences::clipboardIgnoredApps), "apps");
    }

    void blobsAreBytesOnly()
    {
        write("[General]\nhotkey.a=@ByteArray(98)\nhotkey.b=@ByteArray()\n"
              "hotkey.c={\"keyCode\":9}\nhotkey.d=7\n");
        for (const auto &[key, stored] : {std::pair{"a", "98"}, {"b", ""}, {"c", "none"}, {"d", "none"}, {"absent", "none"}})
            QCOMPARE(Preferences::value(Preferences::hotKey, QString::fromLatin1(key)).value_or("none"), QByteArray(stored));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestPreferences)
#include "test_preferences.moc"
