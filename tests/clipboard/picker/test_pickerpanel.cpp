// SPDX-License-Identifier: MIT
// The picker's panel over a real history folder, driven by keys and the pointer as a user does;
// what its keys do, how its rows draw a title and where it opens.
#include "panelfixture.h"

#include "clipboard/picker/view/cliplist.h"
#include "clipboard/picker/view/cliprow.h"
#include "clipboard/picker/view/panelplacement.h"
#include "clipboard/picker/view/pickerkeys.h"
#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

using Shortcut = std::optional<HotKey>;
using Screens = QList<PanelPlacement::Screen>;

namespace {
constexpr Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier,
                                alt = Qt::AltModifier, super = Qt::MetaModifier;
const Shortcut clipboardKey = HotKey{8, shift | super}; // Shift+Super+C, the default
const Shortcut onArrow = HotKey{126, none};             // a shortcut put on the Up arrow

const QSize panelSize{460, 540};
// A 1920 × 1080 monitor with a 30-point top bar and a 50-point dock at the bottom, and a second,
// smaller monitor to its right whose usable area has no bars.
const PanelPlacement::Screen left{{0, 0, 1920, 1080}, {0, 30, 1920, 1000}};
const PanelPlacement::Screen right{{1920, 0, 1280, 720}, {1920, 0, 1280, 720}};
} // namespace

class TestPickerPanel : public QObject
{
    Q_OBJECT

private slots:
    void openingSuspendsTheShortcutUntilClosed_data()
    {
        QTest::addColumn<QString>("closeBy");
        QTest::newRow("escape") << "esc";
        QTest::newRow("shortcut again") << "shift+meta+c";
        QTest::newRow("settings key") << "ctrl+,";
    }
    void openingSuspendsTheShortcutUntilClosed()
    {
        QFETCH(QString, closeBy);
        PanelFixture f({"one", "two"});
        f.panel->open(true);
        QVERIFY(!f.clipboardShortcutRegistered());
        f.press(closeBy);
        QVERIFY(!f.panel->isVisible());
        QVERIFY(f.clipboardShortcutRegistered());
        QCOMPARE(f.settingsOpened, closeBy == u"ctrl+," ? 1 : 0);
    }

    void keysActOnTheList_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<int>("pastes");
        QTest::addColumn<bool>("stillOpen");
        // Typing and Return go through a real X server in the end-to-end tests.
        QTest::newRow("ctrl+n ctrl+p ctrl+n") << "ctrl+n ctrl+n ctrl+p return" << "two" << 1 << false;
        QTest::newRow("no wrap at the top") << "up up return" << "one" << 1 << false;
        QTest::newRow("no wrap at the bottom") << "down down down down return" << "four" << 1 << false;
        QTest::newRow("ctrl+alt+2 copies the second") << "ctrl+alt+2" << "two" << 0 << false;
        QTest::newRow("ctrl+5 past the end") << "ctrl+5" << "" << 0 << true;
        QTest::newRow("no match: down and return do nothing") << "z down return" << "" << 0 << true;
        QTest::newRow("escape clears the search first") << "t h esc down return" << "two" << 1 << false;
    }
    void keysActOnTheList()
    {
        QFETCH(QString, keys);
        PanelFixture f({"one", "two", "three", "four"});
        f.panel->open(false);
        f.press(keys);
        QTEST(f.lastCopy(), "copied");
        QTEST(f.panel->isVisible(), "stillOpen");
        QVERIFY(f.nextTurn());
        QTEST(int(f.keys.pastes.size()), "pastes");
    }

    // Tab reaches the buttons (Space on them is an end-to-end test); typing there still searches.
    void typingSearchesFromTheButtons()
    {
        PanelFixture f({"one", "two", "three"});
        f.panel->open(false);
        auto *clear = Widgets::buttonTitled<KiwanoButton>(f.panel.get(), QStringLiteral("Clear"));
        clear->setFocus();
        QTest::keyClicks(clear, QStringLiteral("tw"));
        QCOMPARE(f.panel->model().query(), QStringLiteral("tw"));
    }

    void altKeysPinAndDelete()
    {
        PanelFixture f({"one", "two", "three", "four"});
        f.panel->open(false);
        f.press("down down alt+p");
        QCOMPARE(f.titles(), QStringList({"three", "one", "two", "four"}));
        QCOMPARE(f.selectedTitle(), QStringLiteral("three"));
        f.press("down alt+backspace");
        QCOMPARE(f.titles(), QStringList({"three", "two", "four"}));
        QCOMPARE(f.selectedTitle(), QStringLiteral("two"));
        // Plain Backspace edits the search and deletes nothing (the clear key is an end-to-end test).
        f.press("backspace");
        QCOMPARE(f.titles(), QStringList({"three", "two", "four"}));
    }

    // Opened by the shortcut with exactly its modifiers held, the picker waits for C again (the
    // cycling gesture); letting go instead leaves it open as a plain picker.
    void openingModeNeedsTheShortcutsModifiers_data()
    {
        QTest::addColumn<bool>("viaHotKey");
        QTest::addColumn<Qt::KeyboardModifiers>("held");
        QTest::addColumn<PickerMode>("mode");
        QTest::newRow("shortcut, modifiers held") << true << shiftSuper << PickerMode::opening;
        QTest::newRow("menu, modifiers held") << false << shiftSuper << PickerMode::toggle;
        QTest::newRow("shortcut, let go") << true << Qt::KeyboardModifiers() << PickerMode::toggle;
        QTest::newRow("shortcut, one more held") << true << (shiftSuper | Qt::AltModifier) << PickerMode::toggle;
    }
    void openingModeNeedsTheShortcutsModifiers()
    {
        QFETCH(bool, viaHotKey); QFETCH(Qt::KeyboardModifiers, held);
        PanelFixture f({"one", "two"});
        f.held = held;
        f.panel->open(viaHotKey);
        QTEST(f.panel->mode(), "mode");
        f.held = {};
        f.send(QEvent::KeyRelease, Qt::Key_Meta, Qt::ShiftModifier | Qt::MetaModifier);
        f.send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(f.panel->isVisible());
        QCOMPARE(f.panel->mode(), PickerMode::toggle);
        QVERIFY(f.board.written.isEmpty());
    }

    // The paste waits for Alt to be let go, without holding up the event loop; a user who never
    // lets go gets a copy only.
    void pasteWaitsForTheModifiers()
    {
        int looks = 0;
        PanelFixture f({"one", "two"});
        f.panel->modifierPatienceMs = 5000;
        f.panel->open(false);
        f.held = Qt::AltModifier;
        f.panel->heldModifiers = [&] { ++looks; return f.held; };
        f.panel->choose(f.items().at(1), true);
        QTRY_VERIFY(looks >= 3); // it has looked at the keys again and still waits
        QVERIFY(f.board.written.isEmpty() && f.keys.pastes.isEmpty());
        f.held = {};
        QTRY_COMPARE(f.keys.pastes.size(), 1);
        QCOMPARE(f.lastCopy(), QStringLiteral("two"));
        f.panel->modifierPatienceMs = 100;
        f.held = Qt::ControlModifier;
        f.panel->choose(f.items().at(0), true);
        QTRY_COMPARE(f.board.written.size(), 2);
        QVERIFY(f.nextTurn());
        QCOMPARE(f.keys.pastes.size(), 1);
    }

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
        QFETCH(int, row); QFETCH(bool, alt);
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
        f.press("down");
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
        f.press("return");
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

    // Sixty pictures: only the rows on screen read a thumbnail, and closing lets them go.
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

    // The keys the picker acts on are pressed through the real panel in its own tests; here are
    // the keys it must leave to the search field, and the edges. Each press is built from a real
    // event, as the panel does; an X keycode places the key, else its place comes from Qt's key.
    void keysDecide_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("xKeycode");
        QTest::addColumn<PickerMode>("mode");
        QTest::addColumn<Shortcut>("shortcut");
        QTest::addColumn<PickerAction>("action");
        using A = PickerAction;
        const auto toggle = PickerMode::toggle, cycle = PickerMode::cycle;
        const A deliver{A::deliver};
        QTest::newRow("shift+down types") << int(Qt::Key_Down) << shift << 0 << toggle << clipboardKey << deliver;
        QTest::newRow("enter") << int(Qt::Key_Enter) << none << 0 << toggle << clipboardKey << A{A::choose};
        QTest::newRow("ctrl+return is not ours") << int(Qt::Key_Return) << ctrl << 0 << toggle << clipboardKey << deliver;
        QTest::newRow("p types") << int(Qt::Key_P) << none << 0 << toggle << clipboardKey << deliver;
        QTest::newRow("ctrl+9") << int(Qt::Key_9) << ctrl << 0 << toggle << clipboardKey << A{A::chooseAt, false, 8};
        QTest::newRow("ctrl+0 is no row") << int(Qt::Key_0) << ctrl << 0 << toggle << clipboardKey << deliver;
        QTest::newRow("digit alone types") << int(Qt::Key_3) << none << 0 << toggle << clipboardKey << deliver;
        QTest::newRow("ctrl+shift+3 is not ours") << int(Qt::Key_3) << (ctrl | shift) << 0 << toggle << clipboardKey << deliver;
        QTest::newRow("shortcut needs its exact modifiers") << int(Qt::Key_C) << super << 0 << cycle << clipboardKey << deliver;
        QTest::newRow("no shortcut set") << int(Qt::Key_C) << (shift | super) << 0 << toggle << Shortcut() << deliver;
        // The shortcut is tested first: one placed on an arrow key cycles or closes, never moves.
        QTest::newRow("shortcut on up, cycling") << int(Qt::Key_Up) << none << 0 << cycle << onArrow << A{A::cycle};
        QTest::newRow("shortcut on up") << int(Qt::Key_Up) << none << 0 << toggle << onArrow << A{A::close};
        // Keys that type go by position: on another layout the key at P's place still pins.
        QTest::newRow("r at p's place") << int(Qt::Key_R) << alt << 33 << toggle << clipboardKey << A{A::pin};
        QTest::newRow("p at r's place") << int(Qt::Key_P) << alt << 27 << toggle << clipboardKey << deliver;
        // Keys that act go by what they do: a virtual keyboard's own keymap may put a letter at
        // Escape's place and Escape at a letter's, and typing must never close the picker.
        QTest::newRow("b at escape's place") << int(Qt::Key_B) << none << 9 << toggle << clipboardKey << deliver;
        QTest::newRow("escape at b's place") << int(Qt::Key_Escape) << none << 56 << toggle << clipboardKey << A{A::escape};
    }
    void keysDecide()
    {
        QFETCH(int, qtKey); QFETCH(Qt::KeyboardModifiers, modifiers); QFETCH(int, xKeycode); QFETCH(PickerMode, mode);
        QFETCH(Shortcut, shortcut);
        const QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, quint32(xKeycode), 0, 0);
        QTEST(PickerKeys::action(PickerKeys::fromEvent(event), mode, shortcut), "action");
    }

    // Titles are one line, cut in the middle, and never wider than their place.
    void rowTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("long") << QString(5000, QLatin1Char('k')) + QStringLiteral("END");
        QTest::newRow("lines") << QStringLiteral("first line\nsecond line\r\nthird\u2029fourth");
        QTest::newRow("right to left") << QStringLiteral("שלום עולם ") .repeated(40);
        QTest::newRow("emoji") << QStringLiteral("🥝🍌👩‍👩‍👧‍👦 ").repeated(60);
    }
    void rowTitles()
    {
        QFETCH(QString, title);
        const qreal width = 200;
        const QString shown = ClipRow::shownTitle(title, width);
        QVERIFY(!shown.contains(QLatin1Char('\n')) && !shown.contains(QChar::ParagraphSeparator));
        QVERIFY(QFontMetricsF(ClipRow::titleFont()).horizontalAdvance(shown) <= width + 0.5);
        if (title.size() > 1000)
            QVERIFY(shown.contains(QChar(0x2026)) && shown.endsWith(QLatin1String("END")));
        // Drawing it does not fail either.
        QImage image(460, 80, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        ClipItem item;
        item.title = title;
        ClipRow{item, 3, true, std::nullopt}.paint(painter, QRectF(8, 8, 444, 74));
    }

    void placesAtThePointer_data()
    {
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("topLeft");
        const Screens both{left, right};
        QTest::newRow("room all round") << both << QPoint(300, 200) << QPoint(300, 200);
        QTest::newRow("near the bottom, above the dock") << both << QPoint(300, 1000) << QPoint(300, 1030 - 540);
        QTest::newRow("bottom right corner") << both << QPoint(1919, 1079) << QPoint(1460, 490);
        QTest::newRow("in the top bar") << both << QPoint(300, 5) << QPoint(300, 30);
        QTest::newRow("second monitor, right edge") << both << QPoint(3190, 100) << QPoint(3200 - 460, 100);
        QTest::newRow("first pixel of the second monitor") << both << QPoint(1920, 300) << QPoint(1920, 180);
        QTest::newRow("below the smaller monitor: on no screen") << both << QPoint(2500, 900) << QPoint(2500, 900);
        QTest::newRow("no screens at all") << Screens{} << QPoint(10, 10) << QPoint(10, 10);
        // When the panel cannot fit, its top and right edges stay on screen.
        const Screens tiny{{{0, 0, 400, 300}, {0, 20, 400, 280}}};
        QTest::newRow("larger than the screen") << tiny << QPoint(200, 200) << QPoint(-60, 20);
    }
    void placesAtThePointer()
    {
        QFETCH(Screens, screens); QFETCH(QPoint, pointer);
        QTEST(PanelPlacement::topLeft(pointer, panelSize, screens), "topLeft");
    }
};

KIWANO_TEST_MAIN(TestPickerPanel)
#include "test_pickerpanel.moc"
