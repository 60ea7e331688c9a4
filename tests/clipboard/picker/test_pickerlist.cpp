// SPDX-License-Identifier: MIT
#include "panelfixture.h"

#include "clipboard/picker/view/cliplist.h"
#include "clipboard/picker/view/cliprow.h"
#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

#include <QMouseEvent>
#include <QScrollBar>

class TestPickerList : public QObject
{
    Q_OBJECT

private slots:
    // A click chooses the row under it at once, Alt+click the other of copy and paste.
    void clickingARowChoosesIt_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("alt");
        QTest::newRow("third row") << 2 << false;
        QTest::newRow("alt on the second") << 1 << true;
    }

    void clickingARowChoosesIt()
    {
        QFETCH(int, row);
        QFETCH(bool, alt);
        PanelFixture f({"one", "two", "three", "four"});
        f.panel->open(false);
        ClipListView *list = f.panel->view()->list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, alt ? Qt::AltModifier : Qt::NoModifier,
                          list->visualRect(list->model()->index(row, 0)).center());
        QVERIFY(!f.panel->isVisible());
        QCOMPARE(f.lastCopy(), f.titles().at(row));
        QVERIFY(f.nextTurn());
        QCOMPARE(f.keys.pastes.size(), alt ? 0 : 1);
    }

    // Moving the pointer over a row selects it; the keyboard's choice stands until it moves.
    void hoverSelectsOnceThePointerMoves()
    {
        PanelFixture f({"one", "two", "three", "four"});
        ClipListView *list = f.panel->view()->list();
        QTest::mouseMove(list->viewport(), QPoint(5, 5));
        f.panel->open(false);
        const QPoint third = list->visualRect(list->model()->index(2, 0)).center();
        QTest::mouseMove(list->viewport(), third);
        QTRY_COMPARE(f.selectedTitle(), QStringLiteral("three"));
        f.key(Qt::Key_Down);
        QCOMPARE(f.selectedTitle(), QStringLiteral("four"));
        // A move event where the pointer already is (the list's rows moving under a still pointer
        // send those); QTest would drop a move to the same place.
        QMouseEvent still(QEvent::MouseMove, QPointF(third), list->viewport()->mapToGlobal(QPointF(third)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &still);
        QVERIFY(f.nextTurn());
        QCOMPARE(f.selectedTitle(), QStringLiteral("four"));
        QTest::mouseMove(list->viewport(), third + QPoint(3, 0));
        QTRY_COMPARE(f.selectedTitle(), QStringLiteral("three"));
    }

    // The list follows the keyboard's selection down and back up.
    void selectionStaysInView()
    {
        QStringList titles;
        for (int i = 0; i < 40; ++i)
            titles << QStringLiteral("entry %1").arg(i);
        PanelFixture f(titles);
        f.panel->open(false);
        ClipListView *list = f.panel->view()->list();
        auto selectedShown = [&] {
            const QModelIndex index = list->model()->index(list->listModel().row(*f.panel->model().selectedID()), 0);
            return list->viewport()->rect().contains(list->visualRect(index));
        };
        f.press(QStringList(25, "down").join(u' '));
        QCOMPARE(f.selectedTitle(), QStringLiteral("entry 25"));
        QTRY_VERIFY(selectedShown());
        f.press(QStringList(25, "up").join(u' '));
        QTRY_COMPARE(list->verticalScrollBar()->value(), 0);
    }

    // A thumbnail file that holds no picture: the row falls back to its title.
    void brokenThumbnailShowsTheTitle()
    {
        PanelFixture f({});
        f.copy({{QStringLiteral("image/png"), ClipFixture::png(64, 48)}});
        f.store().waitForThumbnails();
        const ClipItem item = f.items().first();
        QVERIFY(TestFiles::write(f.itemDir(item) + "/thumb.png", "not a picture"));
        f.store().forgetThumbnails();
        f.panel->open(false);
        QVERIFY(!f.panel->grab().isNull());
        QCOMPARE(f.panel->view()->list()->delegate().thumbnailCount(), 1);
        ClipRow row{item, 0, true, f.clipboard->thumbnail(item)};
        QVERIFY(!row.geometry(QRectF(0, 0, 440, 74)).title.isEmpty());
        f.key(Qt::Key_Return);
        QCOMPARE(f.board.written.size(), 1);
    }

    void emptyStatesAndFooter()
    {
        PanelFixture f({});
        f.panel->open(false);
        ClipboardPickerView *view = f.panel->view();
        QVERIFY(view->showsEmptyState());
        const auto clear = [view] { return Widgets::buttonTitled<KiwanoButton>(view, QStringLiteral("Clear")); };
        QVERIFY(clear() && !clear()->isEnabled());
        f.press("return down");
        QVERIFY(f.panel->isVisible());
        f.panel->close();

        f.copyText(QStringLiteral("kiwi"));
        f.panel->open(false);
        QVERIFY(!view->showsEmptyState());
        QVERIFY(clear()->isEnabled());
        QVERIFY(!view->detailsText().isEmpty());
        QTest::keyClicks(view->searchField(), QStringLiteral("zz"));
        QVERIFY(view->showsEmptyState());
        QCOMPARE(view->detailsText(), QString());
        f.panel->close();

        QVERIFY(!view->showsSessionWarning());
        f.keys.trusted = false;
        f.panel->open(false);
        QVERIFY(view->showsSessionWarning());
        const QString pasteHint = view->hintText();
        f.panel->close();
        // Copying only needs no keys typed: no warning, and the footer says the other thing.
        f.clipboard->setPasteAutomatically(false);
        f.panel->open(false);
        QVERIFY(!view->showsSessionWarning());
        QVERIFY(view->hintText() != pasteHint);
    }

    // A thousand entries, a fifth of them pictures: only the rows on screen read a thumbnail, and
    // closing lets them go.
    void thumbnailsOnlyForVisibleRows()
    {
        PanelFixture f({});
        const QByteArray png = ClipFixture::png(300, 200);
        for (int i = 0; i < 60; ++i)
            f.copy({{QStringLiteral("image/png"), png}});
        f.store().waitForThumbnails();
        f.panel->open(false);
        ClipRowDelegate &rows = f.panel->view()->list()->delegate();
        QTRY_VERIFY(rows.thumbnailCount() > 0);
        QVERIFY2(rows.thumbnailCount() <= 7, qPrintable(QString::number(rows.thumbnailCount())));
        QVERIFY(f.store().cachedThumbnailCount() > 0);
        f.panel->close();
        QCOMPARE(rows.thumbnailCount(), 0);
        QCOMPARE(f.store().cachedThumbnailCount(), 0);
    }
};

KIWANO_TEST_MAIN(TestPickerList)
#include "test_pickerlist.moc"
