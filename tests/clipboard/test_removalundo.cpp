// SPDX-License-Identifier: MIT
#include "clipfixture.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QMap>
#include <QSignalSpy>
#include <QTest>

namespace {

// Every file under the history folder by its relative path, with its bytes.
QMap<QString, QByteArray> tree(const QString &folder)
{
    Store::waitForWrites();
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(QDir(folder).relativeFilePath(path), file.readAll());
    }
    return files;
}

} // namespace

class TestRemovalUndo : public QObject
{
    Q_OBJECT
private slots:
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
        Store::waitForThumbnails();
        const QList<ClipItem> before = f.items();
        const QMap<QString, QByteArray> files = tree(f.storeDir());
        QVERIFY(files.contains(f.itemDir(before.at(3)).section(QLatin1Char('/'), -1) + "/thumb.png"));

        QSignalSpy kept(&clipboard, &Clipboard::removalKept);
        clipboard.clear(false, true);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept.first().first().toInt(), 3);
        QCOMPARE(f.titles(), QStringList{"pinned"});
        for (const ClipItem &item : before.mid(1))
            QVERIFY(!QFileInfo::exists(f.itemDir(item)));
        QVERIFY(!f.indexBytes().contains("third"));

        QVERIFY(clipboard.undoRemoval());
        QCOMPARE(f.items(), before);
        QCOMPARE(tree(f.storeDir()), files); // the index too, and nothing left in the holding folder
        QVERIFY(clipboard.thumbnail(before.at(3)).has_value());
        QCOMPARE(*Store::read(before.at(2).id, "1.bin"), QByteArray("<b>third</b>"));
        QVERIFY(!clipboard.undoRemoval());

        // What the history reads at its next start is the same.
        f.open();
        QCOMPARE(f.items(), before);
    }

    void removedEntryComesBackBesideNewCopies()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        clipboard.setLimit(50);
        for (int i = 0; i < 50; ++i)
            f.copyText(QString::number(i));
        const ClipItem removed = f.items().at(10); // "39"
        QSignalSpy kept(&clipboard, &Clipboard::removalKept);
        clipboard.deleteItem(removed, true);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(f.items().size(), 49);
        f.copyText("new");
        QCOMPARE(f.items().size(), 50);

        QVERIFY(clipboard.undoRemoval());
        QCOMPARE(f.items().size(), 50); // the limit holds: the oldest went
        QVERIFY(!f.titles().contains("0"));
        QCOMPARE(f.titles().mid(0, 2), (QStringList{"new", "49"}));
        QCOMPARE(f.items().at(11), removed);
        QCOMPARE(*Store::read(removed.id, "0.bin"), QByteArray("39"));

        // The same content copied again meanwhile is one entry once the old one returns.
        const ClipItem first = f.items().first();
        clipboard.deleteItem(first, true);
        f.copyText("new");
        QVERIFY(f.items().first().id != first.id);
        QVERIFY(clipboard.undoRemoval());
        QCOMPARE(f.items().size(), 50);
        QCOMPARE(f.titles().count("new"), 1);
        const ClipItem back = f.items().first();
        QCOMPARE(back.id, first.id);
        QCOMPARE(back.firstCopied, first.firstCopied);
        QCOMPARE(back.lastCopied, f.now);
        QCOMPARE(back.copies, 2);
        QCOMPARE(QDir(f.storeDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 50);
        f.open();
        QCOMPARE(f.items().size(), 50);
        QCOMPARE(f.items().first().id, first.id);
    }

    void nothingStaysKeptAside()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("a");
        f.copyText("b");
        const QString holding = Store::holdingDir();

        // The tray's clear and a delete outside the picker are final.
        clipboard.deleteItem(f.items().first());
        QVERIFY(!QFileInfo::exists(holding));
        QVERIFY(!clipboard.undoRemoval());

        // A second removal lets the first go; the toast ending lets the last go.
        f.copyText("c");
        clipboard.deleteItem(f.items().first(), true);
        const ClipItem later = f.items().first();
        clipboard.deleteItem(later, true);
        QCOMPARE(QDir(holding).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{idText(later.id)});
        clipboard.forgetRemoval();
        QVERIFY(!QFileInfo::exists(holding));

        // Clear on quit is a real clear, whatever waited for an undo.
        f.copyText("d");
        f.copyText("e");
        clipboard.deleteItem(f.items().first(), true);
        clipboard.setClearOnQuit(true);
        clipboard.prepareForQuit();
        QVERIFY(!QFileInfo::exists(holding));
        QVERIFY(f.items().isEmpty());
        QCOMPARE(QDir(f.storeDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});
    }

    void crashLeftoversArePurgedAtStart()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("kept");
        f.copyText("removed");
        clipboard.clear(false, true);
        QVERIFY(QFileInfo::exists(Store::holdingDir()));
        // The process dies with the toast still up: the next start finds the holding folder.
        f.clipboard.release();
        Clipboard &next = f.open();
        QVERIFY(!QFileInfo::exists(Store::holdingDir()));
        QVERIFY(next.items().isEmpty());
        QVERIFY(!next.undoRemoval());
        QCOMPARE(QDir(f.storeDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});
    }
};

KIWANO_TEST_OWN_MAIN(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestRemovalUndo test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_removalundo.moc"
