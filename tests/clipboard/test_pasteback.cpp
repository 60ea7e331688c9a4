// SPDX-License-Identifier: MIT
#include "clipfixture.h"

class TestPasteBack : public QObject
{
    Q_OBJECT
private slots:
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
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copyText("entry");
        f.keys.trusted = trusted;
        f.front.id = front;

        clipboard.choose(f.items().first(), paste);
        QCOMPARE(f.board.written.size(), 1);
        QVERIFY(f.keys.pastes.isEmpty()); // never before the picker has returned
        QCoreApplication::processEvents();
        QTEST(f.keys.pastes, "pastes");
    }

    // The X clipboard holds one item: a file list goes back as one text/uri-list, with the GNOME
    // form beside it for file managers that paste files only from that.
    void fileListsTravelWithTheGnomeForm()
    {
        ClipFixture f;
        Clipboard &clipboard = f.open();
        f.copy({{"text/uri-list", "file:///tmp/a.txt\r\nfile:///tmp/b%20c.pdf\r\n"}});
        clipboard.copy(f.items().first());
        const QList<Item> written = f.board.written.last();
        QCOMPARE(written.size(), 3);
        QCOMPARE(written.at(1).type, "x-special/gnome-copied-files");
        QCOMPARE(written.at(1).data, "copy\nfile:///tmp/a.txt\nfile:///tmp/b%20c.pdf");
        QCOMPARE(written.at(2).type, "local.kiwano-snapper.clip");
    }
};

KIWANO_TEST_MAIN(TestPasteBack)
#include "test_pasteback.moc"
