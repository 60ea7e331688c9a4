// SPDX-License-Identifier: MIT
#include "clipfixture.h"

#include <QJsonDocument>
#include <QTest>

class TestClipboardActions : public QObject
{
    Q_OBJECT
private slots:
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

        QCOMPARE(f.board.written.first().last().type, "local.kiwano-snapper.clip");

        // Paused: the clipboard is still written, but the entry does not change.
        clipboard.setPaused(true);
        clipboard.copy(f.items().last());
        clipboard.check();
        QCOMPARE(f.board.written.size(), 2);
        QCOMPARE(f.items().last().copies, 1);
    }

    void choosingCopiesThenPastesOnTheNextTurn_data()
    {
        QTest::addColumn<bool>("paste");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QString>("front");
        QTest::addColumn<QList<bool>>("pastes");
        // Pastes into an editor and into kitty are typed into real windows in the X11 tests.
        QTest::newRow("terminal") << true << true << "org.gnome.Terminal" << QList<bool>{true};
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

    void pinDeleteAndClear()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        for (const char *text : {"a", "b", "c", "d", "e"})
            f.copyText(text);
        const ClipItem a = f.items().last();
        clipboard.togglePin(a);
        QCOMPARE(f.titles(), (QStringList{"a", "e", "d", "c", "b"}));
        clipboard.togglePin(a); // a stale record (it was pinned since) matches nothing
        QVERIFY(f.items().first().pinned);
        clipboard.togglePin(f.items().at(2)); // d
        QCOMPARE(f.titles(), (QStringList{"d", "a", "e", "c", "b"}));

        const ClipItem gone = f.items().at(3);
        clipboard.deleteItem(gone);
        QVERIFY(!QFileInfo::exists(f.itemDir(gone)));
        QCOMPARE(f.titles(), (QStringList{"d", "a", "e", "b"}));

        // Unpinning when the unpinned group is full evicts at once.
        clipboard.setLimit(50);
        for (int i = 0; i < 48; ++i)
            f.copyText(QStringLiteral("filler %1").arg(i));
        QCOMPARE(f.items().size(), 52);
        clipboard.togglePin(f.items().at(1)); // a, the oldest copy
        QCOMPARE(f.items().size(), 51);
        QVERIFY(!f.titles().contains("a"));
        QCOMPARE(f.titles().first(), "d");
        QCOMPARE(f.titles().mid(49), (QStringList{"e", "b"}));

        const QString pinnedFolder = f.itemDir(f.items().first());
        const QString unpinnedFolder = f.itemDir(f.items().last());
        clipboard.clear(false);
        QCOMPARE(f.titles(), QStringList{"d"});
        QVERIFY(QFileInfo::exists(pinnedFolder));
        QVERIFY(!QFileInfo::exists(unpinnedFolder));

        clipboard.clear(true);
        QVERIFY(f.items().isEmpty());
        QCOMPARE(QJsonDocument::fromJson(f.indexBytes()).toJson(QJsonDocument::Compact), "[]");
        QCOMPARE(QDir(f.storeDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{});
    }
};

KIWANO_TEST_MAIN(TestClipboardActions)
#include "test_clipboardactions.moc"
