// SPDX-License-Identifier: MIT
// The clipboard folder: its index, its files, and what it does against hostile files and a full
// disk: links are never followed, special files never read, a broken index never lost, a copy that
// cannot be saved never kept silently, a writer killed midway leaves a whole index.
#include "clipfixture.h"

#include "clipboard/clipindex.h"
#include "support/smalldisk.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>

#include <cstdio>

#include <sys/stat.h>

namespace {

// Saves a history of 3 entries and one of 1997 in turn as fast as it can, until killed.
int saveForever(const QString &dir)
{
    Store store(dir);
    QList<ClipItem> items(2000);
    for (ClipItem &item : items) {
        item.id = QUuid::createUuid();
        item.title = QString(200, QLatin1Char('x'));
        item.firstCopied = item.lastCopied = QDateTime::currentDateTimeUtc();
        item.hash = QString(64, QLatin1Char('a'));
    }
    const QList<ClipItem> small = items.mid(0, 3), large = items.mid(3);
    store.save(small);
    store.waitForWrites();
    std::printf("saving\n");
    std::fflush(stdout);
    for (;;) {
        store.save(small);
        store.save(large);
    }
}

bool wholeIndex(const QByteArray &bytes)
{
    const auto items = ClipIndex::decode(bytes);
    return items && (items->size() == 3 || items->size() == 1997);
}

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

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    void indexFormatAndRoundTrip()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.now = QDateTime(QDate(2026, 12, 5), QTime(9, 59, 23, 640), Qt::UTC);
        clipboard.add({{"text/plain", "hello"}}, QStringLiteral("org.gnome.TextEditor"));
        clipboard.add({{"text/html", "<b>hi</b>"}}, std::nullopt);

        const QJsonArray array = QJsonDocument::fromJson(f.indexBytes()).array();
        QCOMPARE(array.size(), 2);
        const QJsonObject withApp = array.at(0).toObject(); // equal times keep the order of arrival
        QCOMPARE(withApp.keys(), (QStringList{"app", "contents", "copies", "firstCopied", "hasImage", "hash",
                                              "id", "lastCopied", "pinned", "title"}));
        QCOMPARE(withApp.value("contents").toArray(),
                 QJsonArray({QJsonObject{{"type", "text/plain"}, {"file", "0.bin"}}}));
        QCOMPARE(withApp.value("firstCopied").toString(), "2026-12-05T09:59:23Z");
        QCOMPARE(withApp.value("app").toString(), "org.gnome.TextEditor");
        const QByteArray expected = QCryptographicHash::hash("text/plainhello", QCryptographicHash::Sha256).toHex();
        QCOMPARE(withApp.value("hash").toString(), QString::fromLatin1(expected));

        // Read back: every field but the dropped fraction of a second.
        ClipItem before = clipboard.items().at(0);
        Clipboard &reloaded = f.open();
        before.firstCopied = before.lastCopied = QDateTime(QDate(2026, 12, 5), QTime(9, 59, 23), Qt::UTC);
        QCOMPARE(reloaded.items().at(0), before);

        // Any text survives escaping.
        ClipItem odd = before;
        odd.contents = {{"x\"y\\z", "1.bin"}};
        odd.title = QString("quote \" backslash \\ tab\t line\n nul") + QChar(0) + QChar(0x1f) + " \U0001F95D";
        odd.copies = 1234567890123;
        QCOMPARE(ClipIndex::decode(ClipIndex::encode({odd})), QList<ClipItem>{odd});
    }

    // Private whatever the umask, an existing folder made private again, and one that vanished
    // made again.
    void filesAreWrittenPrivately()
    {
        ClipFixture f;
        QFile::setPermissions(f.storeDir(), QFileDevice::Permissions(0x7755));
        const mode_t previous = ::umask(0);
        Clipboard &clipboard = f.open();
        clipboard.add({{"text/plain", "a"}, {"image/png", ClipFixture::png(8, 8)}}, std::nullopt);
        f.waitForWrites();
        const QString item = f.itemDir(clipboard.items().first());
        QCOMPARE(TestFiles::mode(f.storeDir()), 0700);
        QCOMPARE(TestFiles::mode(item), 0700);
        for (const QString &file : {f.storeDir() + "/index.json", item + "/0.bin", item + "/1.bin", item + "/thumb.png"})
            QCOMPARE(TestFiles::mode(file), 0600);

        QVERIFY(QDir(f.storeDir()).removeRecursively());
        f.copyText("two");
        ::umask(previous);
        QCOMPARE(f.titles(), QStringList({"two", "a"}));
        QCOMPARE(TestFiles::mode(f.storeDir()), 0700);
        QVERIFY(TestFiles::read(f.storeDir() + "/CACHEDIR.TAG").startsWith("Signature: 8a477f597d28d172789f06886806bc55\n"));
        QCOMPARE(f.store().read(clipboard.items().first().id, "0.bin"), QByteArray("two"));
    }

    void handEditedIndexLoads()
    {
        ClipFixture f;
        // Lower-case identifiers and any key order are accepted; "app" may be absent.
        const QByteArray lower = R"({"hash":"11","pinned":true,"copies":3,"lastCopied":"2026-12-05T10:00:00Z","firstCopied":"2026-12-05T09:00:00Z","hasImage":false,"title":"lower","contents":[],"id":"6f1c5d2e-8b1a-4e5f-9c3d-2a7b8e9f0a1c"})";
        f.writeIndex("[" + lower + "]");
        Clipboard &clipboard = f.open();
        QCOMPARE(f.titles(), QStringList{"lower"});
        QCOMPARE(f.items().first().app, std::nullopt);
        clipboard.sortAndSave();
        const QJsonObject saved = QJsonDocument::fromJson(f.indexBytes()).array().first().toObject();
        QCOMPARE(saved.value("id").toString(), "6F1C5D2E-8B1A-4E5F-9C3D-2A7B8E9F0A1C");
        QVERIFY(!saved.contains("app"));
    }

    void unsafeFileNamesAndMissingFoldersCopyNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("parent") << "../index.json";
        QTest::newRow("absolute") << "/etc/hostname";
        QTest::newRow("nested") << "sub/0.bin";
        QTest::newRow("folder deleted") << "0.bin";
    }
    void unsafeFileNamesAndMissingFoldersCopyNothing()
    {
        QFETCH(QString, file);
        ClipFixture f;
        f.writeIndex("[" + entryWith("\"file\":\"0.bin\"", "\"file\":\"" + file.toUtf8() + "\"") + "]");
        Clipboard &clipboard = f.open();
        QCOMPARE(f.items().size(), 1); // the entry stays listed
        const QString folder = f.itemDir(f.items().first());
        QVERIFY(QDir().mkpath(folder + "/sub") && TestFiles::write(folder + "/sub/0.bin", "nested"));
        if (file == "0.bin")
            QVERIFY(QDir(folder).removeRecursively());

        QCOMPARE(f.store().read(f.items().first().id, file), std::nullopt);
        clipboard.copy(f.items().first());
        QVERIFY(f.board.written.isEmpty());
        QCOMPARE(clipboard.thumbnail(f.items().first()), std::nullopt);
    }

    void killedWriterLeavesAWholeIndex()
    {
        ClipFixture f;
        qputenv("KIWANO_STORE_SAVE_LOOP", QFile::encodeName(f.storeDir()));
        for (int round = 0; round < 8; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForReadyRead(10000));
            // A reader meanwhile sees one whole index or the other, never a partial one.
            QElapsedTimer running;
            running.start();
            while (running.elapsed() < 20 + 37 * round)
                QVERIFY(wholeIndex(f.indexBytes()));
            writer.kill();
            writer.waitForFinished();
            QVERIFY(wholeIndex(f.indexBytes()));
        }
        qunsetenv("KIWANO_STORE_SAVE_LOOP");
    }

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
        QFETCH(QString, replaced); QFETCH(QString, kind);
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
        QFETCH(QString, kind); QFETCH(QByteArray, entry);
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

KIWANO_TEST_OWN_MAIN(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("KIWANO_STORE_SAVE_LOOP")) {
        QCoreApplication app(argc, argv);
        return saveForever(qEnvironmentVariable("KIWANO_STORE_SAVE_LOOP"));
    }
    QGuiApplication app(argc, argv);
    TestStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_store.moc"
