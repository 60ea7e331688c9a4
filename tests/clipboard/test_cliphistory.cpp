// SPDX-License-Identifier: MIT
#include "clipfixture.h"

#include <QDirIterator>
#include <QMap>
#include <QSignalSpy>

namespace {

// Every file under the history folder by its relative path, with its bytes.
QMap<QString, QByteArray> tree(const ClipFixture &f)
{
    f.waitForWrites();
    QMap<QString, QByteArray> files;
    QDirIterator it(f.storeDir(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(f.storeDir()).relativeFilePath(path), TestFiles::read(path));
    }
    return files;
}

QStringList folders(const ClipFixture &f)
{
    return QDir(f.storeDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestClipHistory : public QObject
{
    Q_OBJECT
private slots:
    // The same content again is one entry, with its count, first date, pin and newest application;
    // so is what XWayland re-offers of a Wayland copy under the X names, one owner after the
    // other. One representation more is other content; a TIFF alone is kept as PNG.
    void equalContentIsOneEntry()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.front.id = "org.gnome.TextEditor";
        f.copyText("same");
        const QDateTime first = f.now;
        clipboard.togglePin(f.items().first());
        f.copyText("other");
        f.front.id = "firefox";
        f.copy({{"UTF8_STRING", "same"}, {"text/plain;charset=utf-8", "same"}});
        f.copy({{"UTF8_STRING", "same"}});
        f.front.id.clear(); // no application leaves the last one
        f.copy({{"text/plain", "same"}, {"text/plain;charset=utf-8", "same"}});
        QCOMPARE(f.titles(), (QStringList{"same", "other"}));
        const ClipItem merged = f.items().first();
        QCOMPARE(merged.copies, 4);
        QCOMPARE(merged.firstCopied, first);
        QCOMPARE(merged.lastCopied, f.now);
        QCOMPARE(merged.app, "firefox");
        QVERIFY(merged.pinned);
        f.copy({{"text/plain", "same"}, {"text/html", "<i>same</i>"}});
        QCOMPARE(f.items().size(), 3);

        f.copy({{"image/tiff", ClipFixture::png(64, 32, "TIFF")}});
        const ClipItem tiff = f.items().at(1); // under the pinned one
        QCOMPARE(tiff.contents.size(), 1);
        QCOMPARE(tiff.contents.first().type, "image/png");
        QCOMPARE(QImage::fromData(*f.store().read(tiff.id, tiff.contents.first().file)).size(), QSize(64, 32));
    }

    void largeCopiesJoinOnceWritten()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        const QList<Item> large{{"text/plain", QByteArray(3 * 1024 * 1024, 'L')}};
        f.board.offer(large);
        clipboard.check();
        f.copyText("small, later");
        f.now = f.now.addSecs(1);
        f.board.offer(large); // the same content again, before the first is written
        clipboard.check();
        QTRY_COMPARE(f.items().size(), 2);
        QCOMPARE(f.items().first().copies, 2);
        QCOMPARE(f.items().first().lastCopied, f.now);
        QCOMPARE(folders(f).size(), 2);
        QCOMPARE(f.store().read(f.items().first().id, "0.bin")->size(), large.first().data.size());
    }

    // Pinned entries lead and stay beyond the limit of unpinned ones; the oldest unpinned go.
    void pinsAndTheLimit()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        clipboard.setLimit(2); // kept within what the settings offer
        QCOMPARE(clipboard.limit(), 50);
        f.copyText("A");
        const QString folderA = f.itemDir(f.items().first());
        for (int i = 0; i < 50; ++i)
            f.copyText(QString::number(i));
        QCOMPARE(f.items().size(), 50);
        QCOMPARE(f.titles().last(), "0");
        QVERIFY(!QFileInfo::exists(folderA));

        const ClipItem zero = f.items().last();
        clipboard.togglePin(zero);
        clipboard.togglePin(zero); // a stale record (it was pinned since) matches nothing
        f.copyText("new");
        QCOMPARE(f.items().size(), 51);
        QCOMPARE(f.titles().mid(0, 2), (QStringList{"0", "new"}));
        QCOMPARE(f.titles().last(), "1");
        // Unpinning when the unpinned group is full evicts at once.
        clipboard.togglePin(f.items().first());
        QCOMPARE(f.items().size(), 50);
        QVERIFY(!f.titles().contains("0"));
    }

    // A delete outside the picker is final; a clear keeps the pinned unless told to take all.
    void deleteAndClear()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        for (const char *text : {"a", "b", "c"})
            f.copyText(text);
        clipboard.togglePin(f.items().last());
        clipboard.deleteItem(f.items().at(1));
        QVERIFY(!clipboard.undoRemoval());
        QCOMPARE(f.titles(), (QStringList{"a", "b"}));
        clipboard.clear(false);
        QCOMPARE(f.titles(), QStringList{"a"});
        QCOMPARE(folders(f), QStringList{idText(f.items().first().id)}); // nothing kept aside either
        clipboard.clear(true);
        QVERIFY(f.items().isEmpty());
        QCOMPARE(f.indexBytes().trimmed(), "[]");
        QCOMPARE(folders(f), QStringList{});
    }

    void clearThenUndoBringsEverythingBack()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("first");
        f.copy({{QStringLiteral("image/png"), ClipFixture::png(400, 300)}});
        f.copy({{QStringLiteral("text/plain"), "third"}, {QStringLiteral("text/html"), "<b>third</b>"}});
        f.copyText("pinned");
        clipboard.togglePin(f.items().first());
        f.copyText("first"); // copied twice: its date and count must come back too
        f.store().waitForThumbnails();
        const QList<ClipItem> before = f.items();
        const QMap<QString, QByteArray> files = tree(f);
        QVERIFY(files.contains(f.itemDir(before.at(3)).section(QLatin1Char('/'), -1) + "/thumb.png"));
        // That the cleared entries leave the index and their folders at once is an end-to-end test.
        QSignalSpy kept(&clipboard, &Clipboard::removalKept);
        clipboard.clear(false, true);
        QCOMPARE(kept.value(0).value(0).toInt(), 3);
        QCOMPARE(f.titles(), QStringList{"pinned"});
        QVERIFY(clipboard.undoRemoval());
        QCOMPARE(f.items(), before);
        QCOMPARE(tree(f), files); // the index too, and nothing left in the holding folder
        QVERIFY(!clipboard.undoRemoval());
    }

    void removedEntryComesBackBesideNewCopies()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        clipboard.setLimit(50);
        for (int i = 0; i < 50; ++i)
            f.copyText(QString::number(i));
        const ClipItem removed = f.items().at(10); // "39"
        clipboard.deleteItem(removed, true);
        f.copyText("new");
        QVERIFY(clipboard.undoRemoval());
        QCOMPARE(f.items().size(), 50); // the limit holds: the oldest went
        QVERIFY(!f.titles().contains("0"));
        QCOMPARE(f.items().at(11), removed);
        QCOMPARE(*f.store().read(removed.id, "0.bin"), QByteArray("39"));

        // The same content copied again meanwhile is one entry once the old one returns.
        const ClipItem first = f.items().first();
        clipboard.deleteItem(first, true);
        f.copyText("new");
        QVERIFY(clipboard.undoRemoval());
        QCOMPARE(f.titles().count("new"), 1);
        const ClipItem back = f.items().first();
        QCOMPARE(back.id, first.id);
        QCOMPARE(back.firstCopied, first.firstCopied);
        QCOMPARE(back.lastCopied, f.now);
        QCOMPARE(back.copies, 2);
        QCOMPARE(folders(f).size(), 50);
        f.open();
        QCOMPARE(f.items().first().id, first.id);
    }

    void nothingStaysKeptAside()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        const QString holding = f.store().holdingDir();
        // A second removal lets the first go; the toast ending lets the last go.
        f.copyText("b");
        f.copyText("c");
        clipboard.deleteItem(f.items().first(), true);
        const ClipItem later = f.items().first();
        clipboard.deleteItem(later, true);
        QCOMPARE(QDir(holding).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{idText(later.id)});
        clipboard.forgetRemoval();
        QVERIFY(!QFileInfo::exists(holding));

        // Clear on quit is a real clear, whatever waited for an undo.
        f.copyText("d");
        clipboard.deleteItem(f.items().first(), true);
        clipboard.setClearOnQuit(true);
        clipboard.prepareForQuit();
        QVERIFY(f.items().isEmpty());
        QCOMPARE(folders(f), QStringList{});

        // The process dies with the toast still up: the next start finds the holding folder.
        f.copyText("e");
        clipboard.clear(false, true);
        QVERIFY(QFileInfo::exists(holding));
        f.clipboard.release();
        QVERIFY(!f.open().undoRemoval());
        QCOMPARE(folders(f), QStringList{});
    }
};

KIWANO_TEST_MAIN(TestClipHistory)
#include "test_cliphistory.moc"
