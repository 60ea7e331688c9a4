// SPDX-License-Identifier: MIT
#include "clipfixture.h"

#include "clipboard/picker/clipboardpickermodel.h"

#include <QSignalSpy>
#include <QTest>

// A history of titled entries, newest first as listed, and a picker over it with a pointer the
// test moves.
struct PickerFixture : ClipFixture
{
    explicit PickerFixture(const QStringList &newestFirst)
    {
        Clipboard &clipboard = open();
        for (auto title = newestFirst.crbegin(); title != newestFirst.crend(); ++title)
            copyText(*title);
        model = std::make_unique<ClipboardPickerModel>(clipboard);
        model->pointerLocation = [this] { return pointer; };
        model->onChoose = [this](const ClipItem &item, bool paste) { chosen.append({item.title, paste}); };
        model->reset();
    }

    QStringList visibleTitles() const
    {
        QStringList titles;
        for (const ClipItem &item : model->visible())
            titles.append(item.title);
        return titles;
    }
    QString selectedTitle() const
    {
        QString title = QStringLiteral("<none>");
        model->withSelected([&](const ClipItem &item) { title = item.title; });
        return title;
    }
    const ClipItem &entry(const QString &title) const { return items().at(titles().indexOf(title)); }

    std::unique_ptr<ClipboardPickerModel> model;
    QPoint pointer{100, 100};
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
        QTest::newRow("empty") << "" << QStringList{"abc def", "xABCx", "Café", "tab\there"};
        QTest::newRow("spaces only") << "  \t " << QStringList{"abc def", "xABCx", "Café", "tab\there"};
        QTest::newRow("any case") << "ABC" << QStringList{"abc def", "xABCx"};
        QTest::newRow("trimmed") << "  abc\t" << QStringList{"abc def", "xABCx"};
        QTest::newRow("inner space kept") << "c d" << QStringList{"abc def"};
        QTest::newRow("accents count") << "cafe" << QStringList{};
        QTest::newRow("accent matches") << "CAFÉ" << QStringList{"Café"};
        QTest::newRow("line break not trimmed") << "abc\n" << QStringList{};
    }
    void filtersTitles()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, visible);
        PickerFixture f({"abc def", "xABCx", "Café", "tab\there"});
        f.model->setQuery(query);
        // Titles show tabs as spaces.
        QStringList expected = visible;
        expected.replaceInStrings("\t", " ");
        QCOMPARE(f.visibleTitles(), expected);
        QCOMPARE(f.selectedTitle(), expected.isEmpty() ? QString("<none>") : expected.first());
    }

    void queryWithoutMatchesChoosesNothing()
    {
        PickerFixture f({"one", "two"});
        f.model->setQuery("zzz");
        QCOMPARE(f.model->selectedID(), std::nullopt);
        f.model->chooseSelected(false);
        f.model->move(1);
        QVERIFY(f.chosen.isEmpty());
        QCOMPARE(f.model->selectedID(), std::nullopt);
    }

    void keyboardMovesWithoutWrapping()
    {
        PickerFixture f({"1", "2", "3", "4", "5"});
        QCOMPARE(f.selectedTitle(), "1");
        f.model->move(-1);
        QCOMPARE(f.selectedTitle(), "1");
        for (int i = 0; i < 3; ++i)
            f.model->move(1);
        QCOMPARE(f.selectedTitle(), "4");
        f.model->move(1);
        f.model->move(1);
        QCOMPARE(f.selectedTitle(), "5");

        f.model->setQuery("zzz");
        f.model->setQuery("");
        f.model->reset();
        f.model->setQuery("3");
        f.model->setQuery("");  // selection follows the query to the first entry
        QCOMPARE(f.selectedTitle(), "1");
    }

    void pointerTakesOverOnlyOnceItMoves()
    {
        PickerFixture f({"1", "2", "3", "4"});
        // Opened, then the mouse moved a little over the third row.
        f.pointer += QPoint(2, 1);
        f.model->hover(f.entry("3"));
        QCOMPARE(f.selectedTitle(), "3");
        QCOMPARE(f.model->keyboardMouse(), std::nullopt);

        // Down arrow with the mouse still: rows scrolling under the pointer do not take over.
        f.model->move(1);
        QCOMPARE(f.model->keyboardMouse(), f.pointer);
        f.model->hover(f.entry("1"));
        f.model->hover(f.entry("2"));
        QCOMPARE(f.selectedTitle(), "4");
        f.pointer += QPoint(0, 1);
        f.model->hover(f.entry("2"));
        QCOMPARE(f.selectedTitle(), "2");

        f.model->reset();
        QCOMPARE(f.model->keyboardMouse(), f.pointer);
        f.model->hover(f.entry("3"));
        QCOMPARE(f.selectedTitle(), "1");
    }

    void optionFlipsThePasteSetting_data()
    {
        QTest::addColumn<bool>("pasteSetting");
        QTest::addColumn<bool>("option");
        QTest::addColumn<bool>("paste");
        QTest::newRow("return pastes") << true << false << true;
        QTest::newRow("alt+return copies") << true << true << false;
        QTest::newRow("setting off: return copies") << false << false << false;
        QTest::newRow("setting off: alt+return pastes") << false << true << true;
    }
    void optionFlipsThePasteSetting()
    {
        QFETCH(bool, pasteSetting);
        QFETCH(bool, option);
        QFETCH(bool, paste);
        PickerFixture f({"first", "second"});
        f.clipboard->setPasteAutomatically(pasteSetting);
        f.model->move(1);
        f.model->chooseSelected(option);
        QCOMPARE(f.chosen, (QList<QPair<QString, bool>>{{"second", paste}}));
    }

    void chooseByPosition()
    {
        PickerFixture f({"first", "second"});
        f.model->move(1);
        f.model->choose(9, false);
        f.model->choose(-1, false);
        QVERIFY(f.chosen.isEmpty());
        f.model->choose(0, false);
        QCOMPARE(f.chosen, (QList<QPair<QString, bool>>{{"first", true}}));
    }

    void deletingKeepsTheSelectionInPlace()
    {
        PickerFixture f({"a", "b", "c"});
        f.model->move(1);
        f.model->deleteSelected();
        QCOMPARE(f.visibleTitles(), (QStringList{"a", "c"}));
        QCOMPARE(f.selectedTitle(), "c");
        f.model->deleteSelected(); // the last one: the new last is selected
        QCOMPARE(f.selectedTitle(), "a");
        f.model->deleteSelected();
        QCOMPARE(f.model->selectedID(), std::nullopt);
        QVERIFY(f.clipboard->items().isEmpty());
    }

    void selectionFollowsAPinnedEntry()
    {
        PickerFixture f({"a", "b", "c"});
        QSignalSpy visible(f.model.get(), &ClipboardPickerModel::visibleChanged);
        f.model->move(1);
        f.model->move(1);
        f.model->withSelected([&](const ClipItem &item) { f.clipboard->togglePin(item); });
        QCOMPARE(f.visibleTitles(), (QStringList{"c", "a", "b"}));
        QCOMPARE(f.selectedTitle(), "c");
        QVERIFY(!visible.isEmpty());

        // A selected entry that disappears under the picker leaves nothing to act on.
        f.clipboard->deleteItem(f.entry("c"));
        f.model->chooseSelected(false);
        QVERIFY(f.chosen.isEmpty());
    }

    void focusRequestsCount()
    {
        PickerFixture f({"a"});
        QSignalSpy focus(f.model.get(), &ClipboardPickerModel::focusTokenChanged);
        f.model->focusSearch();
        f.model->focusSearch();
        QCOMPARE(f.model->focusToken(), 2);
        QCOMPARE(focus.size(), 2);
    }
};

QTEST_MAIN(TestClipboardPickerModel)
#include "test_clipboardpickermodel.moc"
