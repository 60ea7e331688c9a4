// SPDX-License-Identifier: MIT
// The clipboard folder against hostile files and a full disk: links are never followed, special
// files never read, a broken index never lost, a copy that cannot be saved never kept silently.
#include "clipfixture.h"

#include "clipboard/clipindex.h"
#include "support/files.h"
#include "support/smalldisk.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isLink(const QString &path)
{
    return QFileInfo(path).isSymLink();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Puts a link, a FIFO or a folder where path was.
void replaceWith(const QString &path, const QString &kind, const QString &linkTarget)
{
    QFile::remove(path);
    QDir(path).removeRecursively();
    const QByteArray name = QFile::encodeName(path);
    if (kind == "link")
        QVERIFY(::symlink(QFile::encodeName(linkTarget).constData(), name.constData()) == 0);
    else if (kind == "fifo")
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
    else
        QVERIFY(QDir().mkdir(path));
}

QStringList keptIndexes(const ClipFixture &f)
{
    return QDir(f.storeDir()).entryList({"index.json.broken-*"}, QDir::AllEntries | QDir::System | QDir::Hidden);
}

} // namespace

class TestStoreSafety : public QObject
{
    Q_OBJECT

private slots:
    void linksAndSpecialFilesAreNeverFollowed_data()
    {
        QTest::addColumn<QString>("replaced");
        QTest::addColumn<QString>("kind");
        QTest::newRow("content a link to a secret") << "0.bin" << "link";
        QTest::newRow("content a fifo") << "0.bin" << "fifo";
        QTest::newRow("content a folder") << "0.bin" << "folder";
        QTest::newRow("thumbnail a link to a picture") << "thumb.png" << "link";
        QTest::newRow("thumbnail a fifo") << "thumb.png" << "fifo";
        QTest::newRow("entry folder a link") << "" << "link";
    }
    void linksAndSpecialFilesAreNeverFollowed()
    {
        QFETCH(QString, replaced);
        QFETCH(QString, kind);
        ClipFixture f;
        const QString outside = f.home.filePath("outside");
        QVERIFY(QDir().mkpath(outside));
        writeFile(outside + "/0.bin", "secret");
        writeFile(outside + "/thumb.png", ClipFixture::png(4, 4));
        Clipboard &clipboard = f.open();
        clipboard.add({{"text/plain", "a"}, {"image/png", ClipFixture::png(8, 8)}}, std::nullopt);
        Store::waitForThumbnails();
        const ClipItem item = clipboard.items().first();
        const QString folder = f.itemDir(item);
        const QString path = replaced.isEmpty() ? folder : folder + "/" + replaced;
        replaceWith(path, kind, replaced.isEmpty() ? outside : outside + "/" + replaced);
        Clipboard &reopened = f.open(); // nothing cached

        QCOMPARE(Store::read(item.id, "0.bin").has_value(), replaced == "thumb.png");
        QCOMPARE(reopened.thumbnail(item).has_value(), replaced == "0.bin");
        reopened.deleteItem(item);
        QVERIFY(!QFileInfo::exists(path) && !isLink(path));
        QCOMPARE(TestFiles::read(outside + "/0.bin"), QByteArray("secret"));
        QVERIFY(QFileInfo::exists(outside + "/thumb.png"));
    }

    void vanishedFolderIsMadeAgain()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("one");
        QVERIFY(QDir(f.storeDir()).removeRecursively());
        f.copyText("two");
        QCOMPARE(f.titles(), QStringList({"two", "one"}));
        QCOMPARE(TestFiles::mode(f.storeDir()), 0700);
        QVERIFY(TestFiles::read(f.storeDir() + "/CACHEDIR.TAG").startsWith("Signature: 8a477f597d28d172789f06886806bc55"));
        QCOMPARE(Store::read(clipboard.items().first().id, "0.bin"), QByteArray("two"));
    }

    void somethingElseInPlaceOfTheFolderIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a file") << "file";
        QTest::newRow("a link to someone's folder") << "link";
    }
    void somethingElseInPlaceOfTheFolderIsLeftAlone()
    {
        QFETCH(QString, kind);
        ClipFixture f;
        const QString other = f.home.filePath("other");
        QVERIFY(QDir().mkpath(other));
        QVERIFY(QFile::setPermissions(other, QFileDevice::Permissions(0x7755)));
        QVERIFY(QDir(f.storeDir()).removeRecursively());
        if (kind == "file")
            writeFile(f.storeDir(), "mine");
        else
            QVERIFY(::symlink(QFile::encodeName(other).constData(), QFile::encodeName(f.storeDir()).constData()) == 0);
        Store::setDir(f.storeDir());
        QVERIFY(!Store::canStore());

        Clipboard &clipboard = f.open();
        QSignalSpy refused(&clipboard, &Clipboard::copyNotStored);
        f.copyText("secret");
        QCOMPARE(refused.size(), 1);
        QVERIFY(f.items().isEmpty());
        if (kind == "file") {
            QCOMPARE(TestFiles::read(f.storeDir()), QByteArray("mine"));
        } else {
            QVERIFY(isLink(f.storeDir()));
            QCOMPARE(TestFiles::mode(other), 0755);
            QCOMPARE(QDir(other).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        }
    }

    void unreadableIndexIsKeptAsideAndReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a fifo") << "fifo";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a link to a valid index") << "link";
        QTest::newRow("far too large") << "large";
    }
    void unreadableIndexIsKeptAsideAndReported()
    {
        QFETCH(QString, kind);
        ClipFixture f;
        const QString index = f.storeDir() + "/index.json";
        const QString elsewhere = f.home.filePath("elsewhere.json");
        f.open();
        f.copyText("kept elsewhere");
        Store::waitForWrites();
        QVERIFY(QFile::copy(index, elsewhere));
        if (kind == "large") {
            // Valid, but padded far beyond any history: not read at all.
            QFile padded(index);
            QVERIFY(padded.open(QIODevice::Append));
            const QByteArray spaces(1024 * 1024, ' ');
            for (int i = 0; i < 70; ++i)
                padded.write(spaces);
        } else
            replaceWith(index, kind, elsewhere);
        Store::setDir(f.storeDir());
        QVERIFY(!Store::brokenIndexFound());

        Clipboard &clipboard = f.open();
        QVERIFY(clipboard.items().isEmpty());
        QVERIFY(Store::brokenIndexFound());
        f.copyText("fresh");
        QCOMPARE(ClipIndex::decode(f.indexBytes())->size(), 1);
        const QStringList kept = keptIndexes(f);
        QCOMPARE(kept.size(), 1);
        const QString aside = f.storeDir() + "/" + kept.first();
        QCOMPARE(isLink(aside), kind == "link");
        QCOMPARE(QFileInfo(aside).isDir(), kind == "folder");
        if (kind == "large")
            QVERIFY(QFileInfo(aside).size() > 70 * 1024 * 1024);
    }

    void fewKeptIndexesAndNoneAfterClearingAll()
    {
        ClipFixture f;
        for (int round = 0; round < 5; ++round) {
            f.writeIndex("not json " + QByteArray::number(round));
            Store::setDir(f.storeDir());
            f.open();
            f.copyText(QString::number(round));
        }
        QCOMPARE(keptIndexes(f).size(), 3);
        QVERIFY(TestFiles::read(f.storeDir() + "/" + keptIndexes(f).last()).startsWith("not json 4"));

        f.clipboard->clear(false);
        QCOMPARE(keptIndexes(f).size(), 3);
        f.writeIndex("not json again");
        Store::setDir(f.storeDir());
        f.open().clear(true);
        QCOMPARE(keptIndexes(f), QStringList());
        QCOMPARE(ClipIndex::decode(f.indexBytes())->size(), 0);
    }

    // Runs out of files on a tiny disk at each step of storing a copy: the folder, a content
    // file, the index.
    void copyThatCannotBeStoredIsDroppedWhole_data()
    {
        QTest::addColumn<int>("freeInodes");
        QTest::newRow("no room for the entry folder") << 0;
        QTest::newRow("no room for its content") << 1;
        QTest::newRow("no room for the index") << 2;
    }
    void copyThatCannotBeStoredIsDroppedWhole()
    {
        QFETCH(int, freeInodes);
        ClipFixture f;
        SmallDisk disk(f.storeDir(), "size=1m,nr_inodes=256,mode=0700");
        if (!disk.mounted())
            QSKIP("mounting a tmpfs needs root");
        Store::setDir(f.storeDir());
        Clipboard &clipboard = f.open();
        clipboard.setLimit(50); // the new copy would evict the oldest
        QSignalSpy refused(&clipboard, &Clipboard::copyNotStored);
        for (int i = 0; i < 49; ++i)
            f.copyText(QStringLiteral("older %1").arg(i));
        f.copyText("before");
        const QByteArray indexBefore = f.indexBytes();
        QVERIFY(disk.leaveInodes(qulonglong(freeInodes)));
        const QStringList filled = QDir(f.storeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

        const QStringList titles = f.titles();
        f.copyText("lost?");
        QCOMPARE(refused.size(), 1);
        QCOMPARE(f.titles(), titles);
        QCOMPARE(f.indexBytes(), indexBefore);
        QCOMPARE(QDir(f.storeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), filled);
        // After a restart the history is what the user saw.
        QCOMPARE(Store::read(f.items().first().id, "0.bin"), QByteArray("before"));
        QCOMPARE(Store::read(f.items().last().id, "0.bin"), QByteArray("older 0"));
        QCOMPARE(f.open().items().size(), 50);
    }

    void titlesAreShortWhateverWasCopied_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("data");
        QByteArray names;
        for (int i = 0; i < 100000; ++i)
            names += "file:///home/user/photos/holiday-" + QByteArray::number(i) + ".jpg\r\n";
        QTest::newRow("100,000 file names") << "text/uri-list" << names;
        QTest::newRow("one file with a huge name") << "text/uri-list" << "file:///" + QByteArray(200000, 'n');
        QTest::newRow("one letter under 100,000 accents")
            << "text/plain" << "e" + QString(100000, QChar(0x0301)).toUtf8();
    }
    void titlesAreShortWhateverWasCopied()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, data);
        ClipFixture f;
        f.open();
        f.copy({{type, data}});
        QCOMPARE(f.items().size(), 1);
        QVERIFY2(f.items().first().title.size() <= 1600, qPrintable(QString::number(f.items().first().title.size())));
        QVERIFY(!f.items().first().title.isEmpty());
        QVERIFY(f.indexBytes().size() < 8000);
    }
};

KIWANO_TEST_OWN_MAIN(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestStoreSafety test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_storesafety.moc"
