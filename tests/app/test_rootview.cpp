// SPDX-License-Identifier: MIT
#include <QMainWindow>
#include <QPointer>
#include <QScrollBar>
#include <QSettings>

#include "app/appfixture.h"
#include "app/editorwindowcontroller.h"
#include "app/emptystate.h"
#include "app/historydelegate.h"
#include "app/historymodel.h"
#include "app/historystrip.h"
#include "app/relativedate.h"
#include "app/rootview.h"
#include "app/stripview.h"
#include "capture/appstate.h"
#include "editor/model/editormodel.h"
#include "editor/ui/editorview.h"
#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"
#include "look/kiwano.h"
#include "support/widgets.h"

// The main window over a real history folder: its content (the selected grab's editor, or the
// empty state), its first size and kept frame, and the strip of grabs below.
class TestRootView : public QObject
{
    Q_OBJECT

    HistoryFixture m_fixture;
    FakeKeyboardLayout m_us;

    static void show(QWidget &widget, int width, int height)
    {
        widget.resize(width, height);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
    }
    static bool showsEmptyState(const RootView &root)
    {
        return root.emptyState()->isVisible() && !root.editor() && !root.isWaiting();
    }

private slots:
    void init()
    {
        m_fixture.reset();
        QSettings(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapperEditor").clear();
        Keyboard::setLayout(&m_us);
    }
    void cleanup() { Keyboard::setLayout(nullptr); }

    // The main window's empty state names the region shortcut as the registry changes it.
    void hintNamesTheRegionShortcut()
    {
        HistoryFixture::preferences().remove("hotkey.grabRegion");
        HotKeyCenter hotKeys;
        AppState state;
        EditorWindowController window(&state, &hotKeys);
        const EmptyState *empty = window.rootView()->emptyState();
        QVERIFY(empty->hintText().contains("Shift+Super+6"));
        hotKeys.set(HotKey(105, Qt::ShiftModifier), HotKeyAction::grabRegion);
        QVERIFY(empty->hintText().contains("Shift+Print"));
        hotKeys.set(std::nullopt, HotKeyAction::grabRegion);
        QVERIFY(!empty->hintText().contains("Shift+"));
        HistoryFixture::preferences().remove("hotkey.grabRegion");
    }

    void switchingGrabsBuildsAFreshEditorOverTheKeptModel()
    {
        AppFixture::writeGrabs(2);
        AppState state;
        const QList<GrabEntry> entries = state.entries();
        RootView root(&state, EditorDesktop{});
        show(root, 1100, 600);

        state.setSelected(entries.at(0).url);
        QTRY_VERIFY(root.editor());
        QPointer<EditorView> first = root.editor();
        QPointer<EditorModel> firstModel = first->model();
        QCOMPARE(firstModel.data(), state.models().value(entries.at(0).url));
        // Work in it, so that the state keeps its model (all but its picture) while another grab
        // shows.
        firstModel->addWatermark();

        state.setSelected(entries.at(1).url);
        QVERIFY(!first);
        QTRY_VERIFY(root.editor());
        QCOMPARE(root.editor()->model(), state.models().value(entries.at(1).url));

        // Back to the grab whose model is kept: the placeholder while its picture is read again,
        // then a new view over the same model.
        state.setSelected(entries.at(0).url);
        QVERIFY(firstModel);
        QVERIFY(root.isWaiting());
        QTRY_VERIFY(root.editor());
        QCOMPARE(root.editor()->model(), firstModel.data());
        QVERIFY(!firstModel->base().isNull());
        QCOMPARE(firstModel->annotations().size(), 1);

        state.setSelected(std::nullopt);
        QVERIFY(showsEmptyState(root));
    }

    void anUnreadableGrabShowsTheEmptyState_data()
    {
        QTest::addColumn<bool>("vanished"); // else the file is no image
        QTest::newRow("undecodable") << false;
        QTest::newRow("vanished") << true;
    }
    void anUnreadableGrabShowsTheEmptyState()
    {
        QFETCH(bool, vanished);
        AppFixture::writeGrabs(1);
        const QString broken = History::dir() + "/grab-20260102-000000-BROKEN.png";
        HistoryFixture::writeBytes(broken, "\x89PNG\r\n\x1a\n truncated");
        AppState state;
        RootView root(&state, EditorDesktop{});
        show(root, 1100, 600);
        if (vanished) {
            QFile::remove(broken);
            HistoryFixture::writePng(broken + ".moved.png", HistoryFixture::sample(QSize(8, 8)));
        }

        state.setSelected(QUrl::fromLocalFile(broken));
        QTRY_VERIFY(showsEmptyState(root));
        QCOMPARE(state.currentModel(), nullptr);
        // The strip still offers the others.
        QCOMPARE(state.entries().size(), 2);
    }

    // The window around it: its first size, 90 % of a small screen and no more than its own on
    // a large one, and its frame kept for the next start.
    void theFrameIsKept()
    {
        AppState state;
        QRect frame;
        {
            EditorWindowController controller(&state);
            QMainWindow *window = controller.window();
            controller.show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QVERIFY(window->width() >= 1100 && window->height() >= 600);
            window->setGeometry(QRect(40, 50, 1133, 655));
            frame = window->geometry();
            window->close();
        }
        QCOMPARE(EditorWindowController(&state).window()->geometry(), frame);
        QCOMPARE(EditorWindowController::initialSize(QRect(0, 25, 1000, 800)), QSize(900, 720));
        QCOMPARE(EditorWindowController::initialSize(QRect(0, 0, 2560, 1400)), QSize(1200, 820));
    }

    // A click and the arrows select, stopping at the ends; the keys act on the strip whenever it
    // has the focus, so the focus shows however it came.
    void clicksAndArrowsSelectWithTheFocusRinged()
    {
        AppFixture::writeGrabs(3);
        AppState state;
        const QList<GrabEntry> entries = state.entries();
        HistoryStrip strip(&state);
        show(strip, 900, HistoryStrip::height);
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
        show(strip, 900, HistoryStrip::height);
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
        show(strip, 900, HistoryStrip::height);
        HistoryModel *model = strip.model();
        const int broken = model->row(QUrl::fromLocalFile(History::dir() + "/grab-20260102-000000-BROKEN.png"));
        QVERIFY(broken >= 0);
        const int good = broken == 0 ? 1 : 0;

        QTRY_VERIFY(!model->data(model->index(good), HistoryModel::ThumbnailRole).value<QImage>().isNull());
        QVERIFY(model->data(model->index(broken), HistoryModel::ThumbnailRole).value<QImage>().isNull());
        const QString name = model->data(model->index(good), Qt::AccessibleTextRole).toString();
        QVERIFY2(name.startsWith("just now, grab-20260101-"), qPrintable(name));
    }

    // Image files dropped on the strip, or on the empty state, become selected grabs that open in
    // the editor; the dropped file stays where it was.
    void dropsOfImageFilesBecomeSelectedGrabs()
    {
        AppState state;
        HistoryStrip strip(&state);
        RootView root(&state, EditorDesktop{});
        show(strip, 900, HistoryStrip::height);
        show(root, 1100, 600);
        QVERIFY(showsEmptyState(root));
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
        QVERIFY(QFile::exists(file));

        state.setSelected(std::nullopt);
        const QString other = HistoryFixture::writePng(m_fixture.scratch("other.png"), HistoryFixture::sample(QSize(30, 20), 2));
        const std::unique_ptr<QMimeData> mime(AppFixture::fileDrop(other));
        QVERIFY(Widgets::dragEnter(root.emptyState(), mime.get(), QPoint(5, 5)));
        Widgets::drop(root.emptyState(), mime.get(), QPoint(5, 5));
        QTRY_VERIFY(root.editor() && root.editor()->model() == state.currentModel());
        QCOMPARE(state.entries().size(), 2);
        QVERIFY(root.editor()->isVisible() && !root.emptyState()->isVisible());
    }

    // The wording of a grab's age under its thumbnail.
    void wording_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("expected");

        const QDateTime noon(QDate(2026, 3, 18), QTime(12, 0));
        QTest::newRow("59 s") << noon << noon.addSecs(-59) << "just now";
        QTest::newRow("a clock set back") << noon << noon.addSecs(300) << "just now";
        QTest::newRow("60 s") << noon << noon.addSecs(-60) << "1 minute ago";
        QTest::newRow("59 min") << noon << noon.addSecs(-59 * 60 - 59) << "59 minutes ago";
        QTest::newRow("1 h") << noon << noon.addSecs(-3600) << "1 hour ago";
        QTest::newRow("last night, before midnight") << QDateTime(QDate(2026, 3, 18), QTime(0, 30))
            << QDateTime(QDate(2026, 3, 17), QTime(23, 0)) << "yesterday";
        QTest::newRow("early today") << QDateTime(QDate(2026, 3, 18), QTime(23, 30))
            << QDateTime(QDate(2026, 3, 18), QTime(0, 10)) << "23 hours ago";
        QTest::newRow("2 days") << noon << noon.addDays(-2) << "2 days ago";
        QTest::newRow("7 days") << noon << noon.addDays(-7) << "last week";
        // Weeks run up to a month, 31 days; months up to a year, 365 days.
        QTest::newRow("30 days") << noon << QDateTime(QDate(2026, 2, 16), QTime(12, 0)) << "4 weeks ago";
        QTest::newRow("31 days") << noon << QDateTime(QDate(2026, 2, 15), QTime(12, 0)) << "last month";
        QTest::newRow("364 days") << noon << QDateTime(QDate(2025, 3, 19), QTime(12, 0)) << "12 months ago";
        QTest::newRow("365 days") << noon << QDateTime(QDate(2025, 3, 18), QTime(12, 0)) << "last year";
        QTest::newRow("3 years") << noon << noon.addDays(-3 * 366) << "3 years ago";
        // The history's own date for files whose time cannot be read.
        QTest::newRow("undated") << noon << QDateTime() << "long ago";
    }
    void wording()
    {
        QFETCH(QDateTime, now); QFETCH(QDateTime, date);
        QTEST(RelativeDate::text(date, now), "expected");
    }
};

KIWANO_TEST_MAIN(TestRootView)
#include "test_rootview.moc"
