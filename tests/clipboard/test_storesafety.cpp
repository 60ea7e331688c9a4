// SPDX-License-Identifier: MIT
// The clipboard folder against hostile files and a full disk: links are never followed, special
// files never read, a broken index never lost, a copy that cannot be saved never kept silently.
#include "clipfixture.h"

#include "clipboard/clipindex.h"
#include "support/smalldisk.h"

#include <QSignalSpy>

#include <sys/stat.h>

namespace {

bool isLink(const QString &path) { return QFileInfo(path).isSymLink(); }

// Puts a link, a FIFO or a folder where path was.
void replaceWith(const QString &path, const QString &kind, const QString &linkTarget)
{
    QFile::remove(path);
    QDir(path).removeRecursively();
    if (kind == "link")
        QVERIFY(QFile::link(linkTarget, path));
    else if (kind == "fifo")
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
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
        QVERIFY(QDir().mkpath(outside) && TestFiles::write(outside + "/0.bin", "secret")
                && TestFiles::write(outside + "/thumb.png", ClipFixture::png(4, 4)));
        Clipboard &clipboard = f.open();
        clipboard.add({{"text/plain", "a"}, {"image/png", ClipFixture::png(8, 8)}}, std::nullopt);
        f.store().waitForThumbnails();
        const ClipItem item = clipboard.items().first();
        const QString folder = f.itemDir(item);
        const QString path = replaced.isEmpty() ? folder : folder + "/" + replaced;
        replaceWith(path, kind, replaced.isEmpty() ? outside : outside + "/" + replaced);
        Clipboard &reopened = f.open(); // nothing cached

        QCOMPARE(f.store().read(item.id, "0.bin").has_value(), replaced == "thumb.png");
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
        QCOMPARE(f.store().read(clipboard.items().first().id, "0.bin"), QByteArray("two"));
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
        QVERIFY(kind == "file" ? TestFiles::write(f.storeDir(), "mine") : QFile::link(other, f.storeDir()));
        Clipboard &clipboard = f.open();
        QVERIFY(!f.store().canStore());
        QSignalSpy refused(&clipboard, &Clipboard::copyNotStored);
        f.copyText("secret");
        QCOMPARE(refused.size(), 1);
        QVERIFY(f.items().isEmpty());
        if (kind == "file")
            QCOMPARE(TestFiles::read(f.storeDir()), QByteArray("mine"));
        else
            QVERIFY(isLink(f.storeDir()) && TestFiles::mode(other) == 0755
                    && QDir(other).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    // An index that cannot be read or decoded is told of, left as it is until the next save, then
    // kept beside the new one as it was: a hand edit gone wrong can still be mended.
    void brokenIndexIsKeptAside_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("entry"); // beside a valid one, for "bytes"
        QTest::newRow("not json") << "bytes" << QByteArray("{\"id\": ");
        QTest::newRow("missing hash") << "bytes" << entryWith(",\"hash\":\"00\"", "");
        QTest::newRow("copies as text") << "bytes" << entryWith("\"copies\":1", "\"copies\":\"1\"");
        QTest::newRow("local date") << "bytes" << entryWith("09:59:23Z\",\"last", "09:59:23+01:00\",\"last");
        QTest::newRow("id a path") << "bytes" << entryWith("\"6F1C5D2E-8B1A-4E5F-9C3D-2A7B8E9F0A1B\"", "\"../victim\"");
        QTest::newRow("a fifo") << "fifo" << QByteArray();
        QTest::newRow("a folder") << "folder" << QByteArray();
        QTest::newRow("a link to a valid index") << "link" << QByteArray();
        QTest::newRow("far too large") << "large" << QByteArray();
    }
    void brokenIndexIsKeptAside()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, entry);
        ClipFixture f;
        QDir(f.home.path()).mkpath("KiwanoSnapper/victim");
        const QString index = f.storeDir() + "/index.json";
        const QString elsewhere = f.home.filePath("elsewhere.json");
        f.writeIndex("[" + validEntry + "]");
        QVERIFY(QFile::copy(index, elsewhere));
        if (kind == "bytes") {
            f.writeIndex("[" + validEntry + "," + entry + "]");
        } else if (kind == "large") {
            // Valid, but padded far beyond any history: not read at all.
            QVERIFY(TestFiles::write(index, "[" + validEntry + "]" + QByteArray(70 << 20, ' ')));
        } else {
            replaceWith(index, kind, elsewhere);
        }
        const QByteArray broken = kind == "bytes" ? TestFiles::read(index) : QByteArray();

        Clipboard &clipboard = f.open();
        QVERIFY(clipboard.items().isEmpty());
        QVERIFY(f.store().brokenIndexFound());
        if (kind == "bytes")
            QCOMPARE(f.indexBytes(), broken); // untouched until the next save
        clipboard.clear(false);
        QVERIFY(QFileInfo::exists(f.home.filePath("KiwanoSnapper/victim")));
        f.copyText("fresh");
        QCOMPARE(ClipIndex::decode(f.indexBytes())->size(), 1);
        const QStringList kept = keptIndexes(f);
        QCOMPARE(kept.size(), 1);
        const QString aside = f.storeDir() + "/" + kept.first();
        QCOMPARE(isLink(aside), kind == "link");
        QCOMPARE(QFileInfo(aside).isDir(), kind == "folder");
        if (kind == "bytes")
            QCOMPARE(TestFiles::read(aside), broken);
        if (kind == "large")
            QVERIFY(QFileInfo(aside).size() > 70 * 1024 * 1024);
    }

    void fewKeptIndexesAndNoneAfterClearingAll()
    {
        ClipFixture f;
        for (int round = 0; round < 5; ++round) {
            f.writeIndex("not json " + QByteArray::number(round));
            f.open();
            f.copyText(QString::number(round));
        }
        QCOMPARE(keptIndexes(f).size(), 3);
        QVERIFY(TestFiles::read(f.storeDir() + "/" + keptIndexes(f).last()).startsWith("not json 4"));

        f.clipboard->clear(false);
        QCOMPARE(keptIndexes(f).size(), 3);
        f.writeIndex("not json again");
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
        QCOMPARE(f.store().read(f.items().first().id, "0.bin"), QByteArray("before"));
        QCOMPARE(f.store().read(f.items().last().id, "0.bin"), QByteArray("older 0"));
        QCOMPARE(f.open().items().size(), 50);
    }
};

KIWANO_TEST_MAIN(TestStoreSafety)

#include "test_storesafety.moc"
