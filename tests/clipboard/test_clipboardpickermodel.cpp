// SPDX-License-Identifier: MIT
// Choosing from the picker: its filter and selection, then the copy and the paste into the app
// in front.
#include "clipfixture.h"

#include "clipboard/picker/clipboardpickermodel.h"

// A history of titled entries, newest first as listed, and a picker over it.
struct PickerFixture : ClipFixture
{
    explicit PickerFixture(const QStringList &newestFirst)
    {
        model = std::make_unique<ClipboardPickerModel>(openWith(newestFirst));
        model->pointerLocation = [] { return QPoint(); };
        QObject::connect(model.get(), &ClipboardPickerModel::chosen,
                         [this](const ClipItem &item, bool paste) { chosen.append({item.title, paste}); });
        model->reset();
    }

    QString selectedTitle() const
    {
        QString title = QStringLiteral("<none>");
        model->withSelected([&](const ClipItem &item) { title = item.title; });
        return title;
    }
    const ClipItem &entry(const QString &title) const { return items().at(titles().indexOf(title)); }

    std::unique_ptr<ClipboardPickerModel> model;
    QList<QPair<QString, bool>> chosen;
};

class TestClipboardPickerModel : public QObject
{
    Q_OBJECT
private slots:
    void filtersTitles_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("visible");
        QTest::newRow("spaces only") << "  \t " << QStringList{"abc def", "xABCx", "Café"};
        QTest::newRow("any case, trimmed") << "  ABC\t" << QStringList{"abc def", "xABCx"};
        QTest::newRow("inner space kept") << "c d" << QStringList{"abc def"};
        QTest::newRow("accents count") << "cafe" << QStringList{};
        QTest::newRow("accent matches") << "CAFÉ" << QStringList{"Café"};
        QTest::newRow("line break not trimmed") << "abc\n" << QStringList{};
    }
    void filtersTitles()
    {
        QFETCH(QString, query); QFETCH(QStringList, visible);
        PickerFixture f({"abc def", "xABCx", "Café"});
        f.model->setQuery(query);
        QCOMPARE(ClipFixture::titlesOf(f.model->visible()), visible);
        QCOMPARE(f.selectedTitle(), visible.isEmpty() ? QString("<none>") : visible.first());
        f.model->chooseSelected(false);
        f.model->move(1);
        QCOMPARE(f.chosen.isEmpty(), visible.isEmpty());
    }

    // Alt+Return (the option) is the other of copy and paste: it pastes when the setting copies.
    void optionFlipsThePasteSetting()
    {
        PickerFixture f({"first", "second"});
        f.clipboard->setPasteAutomatically(false);
        f.model->move(1);
        f.model->choose(9, false); // out of range: nothing
        f.model->chooseSelected(true);
        QCOMPARE(f.chosen, (QList<QPair<QString, bool>>{{"second", true}}));
    }

    // Deleting selects the entry that takes its place; one gone from under the picker leaves
    // nothing to act on.
    void selectionAfterDelete()
    {
        PickerFixture f({"a", "b", "c"});
        f.model->move(2);
        f.model->deleteSelected(); // the last one: the new last is selected
        QCOMPARE(f.selectedTitle(), "b");
        f.clipboard->deleteItem(f.entry("b"));
        f.model->chooseSelected(false);
        QVERIFY(f.chosen.isEmpty());
    }

    void choosingCopiesThenPastesOnTheNextTurn_data()
    {
        QTest::addColumn<bool>("paste");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QString>("front");
        QTest::addColumn<QList<bool>>("pastes");
        // Pastes into an editor and a terminal are typed into real windows in the platform tests.
        QTest::newRow("terminal") << true << true << "org.gnome.Terminal" << QList<bool>{true};
        QTest::newRow("xterm copies only") << true << true << "XTerm" << QList<bool>{};
        QTest::newRow("copy only") << false << true << "org.gnome.TextEditor" << QList<bool>{};
        QTest::newRow("untrusted") << true << false << "org.gnome.TextEditor" << QList<bool>{};
    }
    void choosingCopiesThenPastesOnTheNextTurn()
    {
        QFETCH(bool, paste); QFETCH(bool, trusted); QFETCH(QString, front);
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

KIWANO_TEST_MAIN(TestClipboardPickerModel)
#include "test_clipboardpickermodel.moc"
