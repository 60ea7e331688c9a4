// SPDX-License-Identifier: MIT
#include "clipfixture.h"

#include "clipboard/clipindex.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cstdio>

namespace {

// Saves two different histories in turn as fast as it can, until killed.
int saveForever(const QString &dir)
{
    Store store(dir);
    QList<ClipItem> small, large;
    for (int i = 0; i < 2000; ++i) {
        ClipItem item;
        item.id = QUuid::createUuid();
        item.title = QString(200, QLatin1Char('x'));
        item.firstCopied = item.lastCopied = QDateTime::currentDateTimeUtc();
        item.hash = QString(64, QLatin1Char('a'));
        (i < 3 ? small : large).append(item);
    }
    store.save(small);
    store.waitForWrites();
    std::printf("saving\n");
    std::fflush(stdout);
    for (;;) {
        store.save(small);
        store.save(large);
    }
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
        QCOMPARE(withApp.value("id").toString(), idText(clipboard.items().at(0).id));
        QCOMPARE(withApp.value("contents").toArray(),
                 QJsonArray({QJsonObject{{"type", "text/plain"}, {"file", "0.bin"}}}));
        QCOMPARE(withApp.value("firstCopied").toString(), "2026-12-05T09:59:23Z");
        QCOMPARE(withApp.value("app").toString(), "org.gnome.TextEditor");
        const QByteArray expected = QCryptographicHash::hash("text/plainhello", QCryptographicHash::Sha256).toHex();
        QCOMPARE(withApp.value("hash").toString(), QString::fromLatin1(expected));
        QVERIFY(!array.at(1).toObject().contains("app"));

        // Read back: every field but the dropped fraction of a second.
        ClipItem before = clipboard.items().at(0);
        Clipboard &reloaded = f.open();
        before.firstCopied = before.lastCopied = QDateTime(QDate(2026, 12, 5), QTime(9, 59, 23), Qt::UTC);
        QCOMPARE(reloaded.items().at(0), before);
        QCOMPARE(reloaded.items().at(1).app, std::nullopt);

        // Any text survives escaping.
        ClipItem odd = before;
        odd.contents = {{"x\"y\\z", "1.bin"}};
        odd.title = QString("quote \" backslash \\ tab\t line\n nul") + QChar(0) + QChar(0x1f) + " \U0001F95D";
        odd.copies = 1234567890123;
        QCOMPARE(ClipIndex::decode(ClipIndex::encode({odd})), QList<ClipItem>{odd});
    }

    // Private whatever the umask, and an existing folder is made private again.
    void filesAreWrittenPrivately()
    {
        ClipFixture f;
        QFile::setPermissions(f.storeDir(), QFileDevice::Permissions(0x7755));
        const mode_t previous = ::umask(0);
        Clipboard &clipboard = f.open();
        clipboard.add({{"text/plain", "a"}, {"image/png", ClipFixture::png(8, 8)}}, std::nullopt);
        f.waitForWrites();
        ::umask(previous);
        const QString item = f.itemDir(clipboard.items().first());
        QCOMPARE(TestFiles::mode(f.storeDir()), 0700);
        QCOMPARE(TestFiles::mode(item), 0700);
        for (const QString &file : {f.storeDir() + "/index.json", item + "/0.bin", item + "/1.bin", item + "/thumb.png"})
            QCOMPARE(TestFiles::mode(file), 0600);
        QVERIFY(TestFiles::read(f.storeDir() + "/CACHEDIR.TAG").startsWith("Signature: 8a477f597d28d172789f06886806bc55\n"));
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
            while (running.elapsed() < 20 + 37 * round) {
                const auto items = ClipIndex::decode(f.indexBytes());
                QVERIFY(items && (items->size() == 3 || items->size() == 1997));
            }
            writer.kill();
            writer.waitForFinished();
            const auto items = ClipIndex::decode(f.indexBytes());
            QVERIFY(items && (items->size() == 3 || items->size() == 1997));
        }
        qunsetenv("KIWANO_STORE_SAVE_LOOP");
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
