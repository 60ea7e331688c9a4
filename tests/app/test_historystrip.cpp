// SPDX-License-Identifier: MIT
#include <QScrollBar>

#include "app/appfixture.h"
#include "app/historydelegate.h"
#include "app/historymodel.h"
#include "app/historystrip.h"
#include "app/stripview.h"
#include "capture/appstate.h"
#include "look/kiwano.h"
#include "support/widgets.h"

// The strip of grabs: choosing, deleting and dropping grabs over a real history folder.
class TestHistoryStrip : public QObject
{
    Q_OBJECT

    HistoryFixture m_fixture;

    static void showStrip(HistoryStrip &strip)
    {
        strip.resize(900, HistoryStrip::height);
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
    }

private slots:
    void init() { m_fixture.reset(); }

    // A click and the arrows select, stopping at the ends; the keys act on the strip whenever it
    // has the focus, so the focus shows however it came.
    void clicksAndArrowsSelectWithTheFocusRinged()
    {
        AppFixture::writeGrabs(3);
        AppState state;
        const QList<GrabEntry> entries = state.entries();
        HistoryStrip strip(&state);
        showStrip(strip);
        StripView *view = strip.view();
        const auto ringed = [&](int row) {
            // Peel dashes in the yellow gap above the item, where nothing else is drawn.
            const QRect item = view->visualRect(strip.model()->index(row))
                                   .translated(view->viewport()->mapTo(&strip, QPoint()));
            const QImage image = strip.grab().toImage();
            const int y = item.top() - int(HistoryDelegate::focusGap) + 1;
            int dashes = 0;
            for (int x = item.left(); x < item.right(); ++x)
                dashes += image.pixel(x, y) == Kiwano::peel.rgb();
            return dashes > item.width() / 3;
        };

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(strip.model()->index(1)).center());
        QCOMPARE(state.selected(), entries.at(1).url);
        QVERIFY(view->hasFocus());
        QTRY_VERIFY(ringed(1));
        QVERIFY(!ringed(0));
        QTest::keyClick(view, Qt::Key_Right);
        QTest::keyClick(view, Qt::Key_Right); // at the oldest already
        QCOMPARE(state.selected(), entries.at(2).url);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(view, Qt::Key_Left);
        QCOMPARE(state.selected(), entries.at(0).url);
        QTRY_VERIFY(ringed(0));
        QVERIFY(!ringed(2));
        QVERIFY(strip.model()->data(strip.model()->index(0), HistoryModel::SelectedRole).toBool());
        view->clearFocus();
        QTRY_VERIFY(!ringed(0));
    }

    void aNewSelectionIsScrolledToTheCentre()
    {
        AppFixture::writeGrabs(30);
        AppState state;
        const QList<GrabEntry> entries = state.entries();
        state.setSelected(entries.at(20).url);
        HistoryStrip strip(&state);
        showStrip(strip);
        StripView *view = strip.view();
        QScrollBar *bar = view->horizontalScrollBar();
        QVERIFY(bar->maximum() > 0);
        // What was selected before the strip showed stays where the row starts.
        QCOMPARE(bar->value(), 0);

        auto centreOf = [&](int row) { return view->visualRect(strip.model()->index(row)).center().x(); };
        const int middle = view->viewport()->width() / 2;
        state.setSelected(entries.at(15).url);
        QTRY_VERIFY(std::abs(centreOf(15) - middle) <= 1);
        // The ends are centred as far as the row reaches.
        state.setSelected(entries.at(29).url);
        QTRY_COMPARE(bar->value(), bar->maximum());
        state.setSelected(entries.at(0).url);
        QTRY_COMPARE(bar->value(), 0);
    }

    void itemsTellTheirFileAndShowTheirThumbnail()
    {
        AppFixture::writeGrabs(2);
        // A grab file that is no PNG at all keeps the kiwano in place of a picture.
        HistoryFixture::writeBytes(History::dir() + "/grab-20260102-000000-BROKEN.png", "not a png");
        AppState state;
        HistoryStrip strip(&state);
        showStrip(strip);
        HistoryModel *model = strip.model();
        const int broken = model->row(QUrl::fromLocalFile(History::dir() + "/grab-20260102-000000-BROKEN.png"));
        QVERIFY(broken >= 0);
        const int good = broken == 0 ? 1 : 0;

        QTRY_VERIFY(!model->data(model->index(good), HistoryModel::ThumbnailRole).value<QImage>().isNull());
        QVERIFY(model->data(model->index(broken), HistoryModel::ThumbnailRole).value<QImage>().isNull());
        const QString name = model->data(model->index(good), Qt::AccessibleTextRole).toString();
        QVERIFY2(name.startsWith("just now, grab-20260101-"), qPrintable(name));
    }

    void dropsOfImageFilesBecomeSelectedGrabs()
    {
        AppState state;
        HistoryStrip strip(&state);
        showStrip(strip);
        const QString file = HistoryFixture::writePng(m_fixture.scratch("dropped.png"), HistoryFixture::sample(QSize(64, 40), 5));

        // Text is no image: no outline, nothing taken.
        QVERIFY(!Widgets::dragEnter(&strip, AppFixture::textDrop("hello")));
        QVERIFY(!strip.isTargeted());
        QVERIFY(Widgets::dragEnter(&strip, AppFixture::fileDrop(file)));
        QVERIFY(strip.isTargeted());
        Widgets::drop(&strip, AppFixture::fileDrop(file));
        QVERIFY(!strip.isTargeted());

        QTRY_COMPARE(state.entries().size(), 1);
        QCOMPARE(state.selected(), state.entries().first().url);
        QCOMPARE(History::image(state.entries().first()).size(), QSize(64, 40));
        QVERIFY(QFile::exists(file)); // the dropped file itself stays where it was
        QCOMPARE(strip.model()->rowCount(), 1);
    }
};

KIWANO_TEST_MAIN(TestHistoryStrip)
#include "test_historystrip.moc"
