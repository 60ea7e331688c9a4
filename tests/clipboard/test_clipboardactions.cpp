// SPDX-License-Identifier: MIT
#include "clipfixture.h"

#include <QJsonDocument>
#include <QTest>

namespace {

QStringList typesOf(const QList<Item> &items)
{
    QStringList types;
    for (const Item &item : items)
        types.append(item.type);
    return types;
}

} // namespace

class TestClipboardActions : public QObject
{
    Q_OBJECT
private slots:
    void copyBackWritesTheStoredTypesAndTheMarker()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copy({{"text/plain", "styled"}, {"text/rtf", "{\\rtf1 styled}"}, {"text/html", "<b>styled</b>"},
                {"TIMESTAMP", "1"}, {"text/x-moz-url-priv", "x"}});
        clipboard.copy(f.items().first());
        QCOMPARE(f.board.written.size(), 1);
        const QList<Item> written = f.board.written.first();
        QCOMPARE(typesOf(written), (QStringList{"text/plain", "text/rtf", "text/html", "local.kiwano-snapper.clip"}));
        QCOMPARE(written.at(2).data, "<b>styled</b>");
        QCOMPARE(written.last().data, QByteArray());
    }

    void copyBackOfFilesAddsTheFileManagerForm()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copy({{"text/plain", "/tmp/a\n/tmp/b c\n/tmp/d"},
                {"text/uri-list", "file:///tmp/a\r\nfile:///tmp/b%20c\r\nfile:///tmp/d\r\n"},
                {"x-special/gnome-copied-files", "copy\nfile:///tmp/a"}});
        QCOMPARE(f.titles(), QStringList{"a, b c, d"});
        clipboard.copy(f.items().first());
        const QList<Item> written = f.board.written.first();
        QCOMPARE(typesOf(written), (QStringList{"text/plain", "text/uri-list", "x-special/gnome-copied-files",
                                                "local.kiwano-snapper.clip"}));
        QCOMPARE(written.at(2).data, "copy\nfile:///tmp/a\nfile:///tmp/b%20c\nfile:///tmp/d");
    }

    void copyBackMergesOnTheNextPoll()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("old");
        f.copyText("newer");
        const ClipItem old = f.items().last();
        clipboard.setIgnoreNext(true);
        f.front.id = "org.gnome.TextEditor";

        clipboard.copy(old);
        f.now = f.now.addSecs(10);
        clipboard.check();
        QCOMPARE(f.titles(), (QStringList{"old", "newer"}));
        QCOMPARE(f.items().first().copies, 2);
        QCOMPARE(f.items().first().lastCopied, f.now);
        QCOMPARE(f.items().first().app, std::nullopt); // the history's own write records no application
        QVERIFY(clipboard.ignoreNext());

        // Paused: the clipboard is still written, but the entry does not change.
        clipboard.setPaused(true);
        clipboard.copy(f.items().last());
        clipboard.check();
        QCOMPARE(f.board.written.size(), 2);
        QCOMPARE(f.titles(), (QStringList{"old", "newer"}));
        QCOMPARE(f.items().last().copies, 1);
    }

    void copyBackOfAPartlyMissingEntryMakesANewOne()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copy({{"text/plain", "two"}, {"text/html", "<p>two</p>"}});
        QVERIFY(QFile::remove(f.itemDir(f.items().first()) + "/1.bin"));
        clipboard.copy(f.items().first());
        QCOMPARE(typesOf(f.board.written.first()), (QStringList{"text/plain", "local.kiwano-snapper.clip"}));
        f.copy(f.board.items());
        QCOMPARE(f.items().size(), 2);

        QVERIFY(QDir(f.itemDir(f.items().last())).removeRecursively());
        const qint64 before = f.board.changeCount();
        clipboard.copy(f.items().last());
        QCOMPARE(f.board.changeCount(), before); // nothing left to write: the clipboard is untouched
    }

    void choosingCopiesThenPastesOnTheNextTurn_data()
    {
        QTest::addColumn<bool>("paste");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QString>("front");
        QTest::addColumn<QList<bool>>("pastes");
        QTest::newRow("paste") << true << true << "org.gnome.TextEditor" << QList<bool>{false};
        QTest::newRow("terminal") << true << true << "org.gnome.Terminal" << QList<bool>{true};
        QTest::newRow("terminal class") << true << true << "kitty" << QList<bool>{true};
        QTest::newRow("xterm copies only") << true << true << "XTerm" << QList<bool>{};
        QTest::newRow("copy only") << false << true << "org.gnome.TextEditor" << QList<bool>{};
        QTest::newRow("untrusted") << true << false << "org.gnome.TextEditor" << QList<bool>{};
    }
    void choosingCopiesThenPastesOnTheNextTurn()
    {
        QFETCH(bool, paste);
        QFETCH(bool, trusted);
        QFETCH(QString, front);
        QFETCH(QList<bool>, pastes);
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("entry");
        f.keys.trusted = trusted;
        f.front.id = front;

        clipboard.choose(f.items().first(), paste);
        QCOMPARE(f.board.written.size(), 1);
        QVERIFY(f.keys.pastes.isEmpty()); // never before the picker has returned
        QCoreApplication::processEvents();
        QCOMPARE(f.keys.pastes, pastes);
    }

    void pinningFollowsTheStoredRecord()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        for (const char *text : {"a", "b", "c"})
            f.copyText(text);
        const ClipItem a = f.items().last();
        clipboard.togglePin(a);
        QCOMPARE(f.titles(), (QStringList{"a", "c", "b"}));
        QVERIFY(f.items().first().pinned);

        clipboard.togglePin(a); // a stale record (it was pinned since) matches nothing
        QVERIFY(f.items().first().pinned);
        clipboard.togglePin(f.items().first());
        QCOMPARE(f.titles(), (QStringList{"c", "b", "a"}));

        // Unpinning when the unpinned group is full evicts at once.
        clipboard.togglePin(f.items().last());
        clipboard.setLimit(2);
        f.copyText("d");
        QCOMPARE(f.titles(), (QStringList{"a", "d", "c"}));
        clipboard.togglePin(f.items().first());
        QCOMPARE(f.titles(), (QStringList{"d", "c"}));
    }

    void deleteAndClear()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        for (int i = 0; i < 13; ++i)
            f.copyText(QString::number(i));
        for (const char *pin : {"2", "7", "11"})
            clipboard.togglePin(f.items().at(f.titles().indexOf(pin)));
        QCOMPARE(f.titles().mid(0, 3), (QStringList{"11", "7", "2"}));

        const ClipItem gone = f.items().at(4);
        clipboard.deleteItem(gone);
        QVERIFY(!QFileInfo::exists(f.itemDir(gone)));
        QCOMPARE(f.items().size(), 12);
        QVERIFY(!f.titles().contains(gone.title));

        const QString pinnedFolder = f.itemDir(f.items().first());
        const QString unpinnedFolder = f.itemDir(f.items().last());
        clipboard.clear(false);
        QCOMPARE(f.titles(), (QStringList{"11", "7", "2"}));
        QVERIFY(QFileInfo::exists(pinnedFolder));
        QVERIFY(!QFileInfo::exists(unpinnedFolder));

        clipboard.clear(true);
        QVERIFY(f.items().isEmpty());
        QCOMPARE(QJsonDocument::fromJson(f.indexBytes()).toJson(QJsonDocument::Compact), "[]");
        QCOMPARE(QDir(f.storeDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{});
    }

    void quittingClearsOnlyWhenAsked()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("pinned");
        clipboard.togglePin(f.items().first());
        f.copyText("loose");
        clipboard.start();
        f.board.offer({{"text/plain", QByteArray(2 * 1024 * 1024, 'w')}}); // still being written at quit
        clipboard.check();
        clipboard.prepareForQuit();
        QVERIFY(!clipboard.isRunning());
        QCOMPARE(f.items().size(), 3);

        clipboard.setClearOnQuit(true);
        clipboard.prepareForQuit();
        QCOMPARE(f.titles(), QStringList{"pinned"});
        QCOMPARE(f.open().items().size(), 1);
    }

    void oddPreferencesFallBackToDefaults()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapper");
        settings.setValue("clipboard.enabled", "perhaps");
        settings.setValue("clipboard.paste", 3);
        settings.sync();
        QVERIFY(clipboard.isEnabled());
        QVERIFY(clipboard.pasteAutomatically());
        clipboard.setUserIgnoredApps({"only.one"}); // a one-element list reads back as a list
        QCOMPARE(clipboard.userIgnoredApps(), QStringList{"only.one"});
    }
};

QTEST_MAIN(TestClipboardActions)
#include "test_clipboardactions.moc"
