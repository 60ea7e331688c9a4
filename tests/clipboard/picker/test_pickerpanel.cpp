// SPDX-License-Identifier: MIT
#include "clipboard/clipfixture.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpickerview.h"
#include "clipboard/picker/view/cliplist.h"
#include "clipboard/picker/view/cliprow.h"

#include <QAbstractItemModel>
#include "fakes/fakehotkeygrabber.h"
#include "hotkeys/hotkeycenter.h"
#include "look/widgets/kiwanobutton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {
constexpr quint64 shiftSuper = HotKey::shift | HotKey::command;
} // namespace

// A history of titled entries (newest first as listed), the registry with the default shortcuts
// on a fake grabber, and the panel over them with modifiers the test holds.
struct PanelFixture : ClipFixture
{
    explicit PanelFixture(const QStringList &newestFirst)
    {
        Clipboard &history = open();
        for (auto title = newestFirst.crbegin(); title != newestFirst.crend(); ++title)
            copyText(*title);
        hotKeys.setGrabber(&grabber);
        hotKeys.registerAll();
        panel = std::make_unique<ClipboardPanel>(history, hotKeys);
        panel->heldModifiers = [this] { return held; };
        panel->openSettings = [this] { ++settingsOpened; };
    }
    ~PanelFixture() { panel.reset(); hotKeys.setGrabber(nullptr); }

    void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(panel->view()->searchField(), Qt::Key(qtKey), modifiers);
    }
    // One key event alone, without the modifier presses and releases QTest adds around a click.
    void send(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent event(type, qtKey, modifiers);
        QApplication::sendEvent(panel->view()->searchField(), &event);
    }
    QString selectedTitle() const
    {
        QString title = QStringLiteral("<none>");
        panel->model().withSelected([&](const ClipItem &item) { title = item.title; });
        return title;
    }
    // The text of the last write to the clipboard, empty when nothing was written.
    QString lastCopy() const
    {
        if (board.written.isEmpty())
            return {};
        for (const Item &item : board.written.last())
            if (item.type == QLatin1String("text/plain"))
                return QString::fromUtf8(item.data);
        return {};
    }
    bool clipboardShortcutRegistered() const
    {
        return std::find(grabber.held.cbegin(), grabber.held.cend(), HotKeyActions::index(HotKeyAction::clipboard))
            != grabber.held.cend();
    }

    FakeHotKeyGrabber grabber;
    HotKeyCenter hotKeys;
    std::unique_ptr<ClipboardPanel> panel;
    quint64 held = 0;
    int settingsOpened = 0;
};

class TestPickerPanel : public QObject
{
    Q_OBJECT

private slots:
    void openingSuspendsTheShortcutUntilClosed_data()
    {
        QTest::addColumn<QString>("closeBy");
        QTest::newRow("escape") << "escape";
        QTest::newRow("shortcut again") << "shortcut";
        QTest::newRow("choosing") << "return";
        QTest::newRow("settings key") << "settings";
        QTest::newRow("window closed") << "close";
    }
    void openingSuspendsTheShortcutUntilClosed()
    {
        QFETCH(QString, closeBy);
        PanelFixture f({"one", "two"});
        QVERIFY(f.clipboardShortcutRegistered());
        f.panel->open(true);
        QVERIFY(f.panel->isVisible());
        QVERIFY(!f.clipboardShortcutRegistered());
        QCOMPARE(f.panel->mode(), PickerMode::toggle);

        if (closeBy == u"escape")
            f.key(Qt::Key_Escape);
        else if (closeBy == u"shortcut")
            f.key(Qt::Key_C, Qt::ShiftModifier | Qt::MetaModifier);
        else if (closeBy == u"return")
            f.key(Qt::Key_Return);
        else if (closeBy == u"settings")
            f.key(Qt::Key_Comma, Qt::ControlModifier);
        else
            f.panel->QWidget::close();
        QVERIFY(!f.panel->isVisible());
        QVERIFY(f.clipboardShortcutRegistered());
        QCOMPARE(f.settingsOpened, closeBy == u"settings" ? 1 : 0);
    }

    void keysActOnTheList_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<int>("pastes");
        QTest::addColumn<bool>("stillOpen");

        QTest::newRow("return pastes the first") << "return" << "one" << 1 << false;
        QTest::newRow("down twice") << "down down return" << "three" << 1 << false;
        QTest::newRow("ctrl+n ctrl+p ctrl+n") << "ctrl+n ctrl+n ctrl+p return" << "two" << 1 << false;
        QTest::newRow("no wrap at the top") << "up up return" << "one" << 1 << false;
        QTest::newRow("alt+return only copies") << "down alt+return" << "two" << 0 << false;
        QTest::newRow("ctrl+3 the third") << "ctrl+3" << "three" << 1 << false;
        QTest::newRow("ctrl+alt+2 copies the second") << "ctrl+alt+2" << "two" << 0 << false;
        QTest::newRow("ctrl+5 past the end") << "ctrl+5" << "" << 0 << true;
        QTest::newRow("typing filters") << "t h return" << "three" << 1 << false;
        QTest::newRow("no match: return does nothing") << "z return" << "" << 0 << true;
        QTest::newRow("escape clears the search first") << "t h escape down return" << "two" << 1 << false;
    }
    void keysActOnTheList()
    {
        QFETCH(QString, keys);
        QFETCH(QString, copied);
        QFETCH(int, pastes);
        QFETCH(bool, stillOpen);

        PanelFixture f({"one", "two", "three", "four"});
        f.panel->open(false);
        for (const QString &key : keys.split(u' ')) {
            if (key == u"return")
                f.key(Qt::Key_Return);
            else if (key == u"alt+return")
                f.key(Qt::Key_Return, Qt::AltModifier);
            else if (key == u"down")
                f.key(Qt::Key_Down);
            else if (key == u"up")
                f.key(Qt::Key_Up);
            else if (key == u"escape")
                f.key(Qt::Key_Escape);
            else if (key.startsWith(u"ctrl+alt+"))
                f.key(Qt::Key_0 + key.back().digitValue(), Qt::ControlModifier | Qt::AltModifier);
            else if (key.startsWith(u"ctrl+") && key.back().isDigit())
                f.key(Qt::Key_0 + key.back().digitValue(), Qt::ControlModifier);
            else if (key.startsWith(u"ctrl+"))
                f.key(key.back() == u'n' ? Qt::Key_N : Qt::Key_P, Qt::ControlModifier);
            else
                QTest::keyClicks(f.panel->view()->searchField(), key);
        }
        QCOMPARE(f.lastCopy(), copied);
        QCOMPARE(f.panel->isVisible(), stillOpen);
        QTest::qWait(20);
        QCOMPARE(f.keys.pastes.size(), pastes);
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
        QFETCH(int, row);
        QFETCH(bool, alt);
        PanelFixture f({"one", "two", "three", "four"});
        f.panel->open(false);
        ClipListView *list = f.panel->view()->list();
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QVERIFY(rect.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, alt ? Qt::AltModifier : Qt::NoModifier, rect.center());
        QVERIFY(!f.panel->isVisible());
        QCOMPARE(f.lastCopy(), f.titles().at(row));
        QTest::qWait(20);
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
        QTest::mouseMove(list->viewport(), third);
        QTest::qWait(20);
        QCOMPARE(f.selectedTitle(), QStringLiteral("four"));
        QTest::mouseMove(list->viewport(), third + QPoint(3, 0));
        QTRY_COMPARE(f.selectedTitle(), QStringLiteral("three"));
    }

    // Tab reaches the buttons; typing there still searches, Space still presses.
    void typingSearchesFromTheButtons()
    {
        PanelFixture f({"one", "two", "three"});
        f.panel->open(false);
        KiwanoButton *clear = nullptr;
        for (KiwanoButton *button : f.panel->findChildren<KiwanoButton *>())
            if (button->text() == u"Clear")
                clear = button;
        QVERIFY(clear);
        clear->setFocus();
        QTest::keyClicks(clear, QStringLiteral("tw"));
        QCOMPARE(f.panel->view()->searchField()->text(), QStringLiteral("tw"));
        QCOMPARE(f.panel->model().query(), QStringLiteral("tw"));
        clear->setFocus();
        QTest::keyClick(clear, Qt::Key_Space);
        QCOMPARE(f.titles(), QStringList());
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
        for (int i = 0; i < 25; ++i)
            f.key(Qt::Key_Down);
        QCOMPARE(f.selectedTitle(), QStringLiteral("entry 25"));
        QTRY_VERIFY(selectedShown());
        for (int i = 0; i < 25; ++i)
            f.key(Qt::Key_Up);
        QTRY_VERIFY(selectedShown());
        QCOMPARE(list->verticalScrollBar()->value(), 0);
    }

    void escapeClearsThenCloses()
    {
        PanelFixture f({"one", "two"});
        f.panel->open(false);
        QTest::keyClicks(f.panel->view()->searchField(), QStringLiteral("tw"));
        QCOMPARE(f.panel->model().visible().size(), 1);
        f.key(Qt::Key_Escape);
        QVERIFY(f.panel->isVisible());
        QCOMPARE(f.panel->view()->searchField()->text(), QString());
        QCOMPARE(f.panel->model().visible().size(), 2);
        f.key(Qt::Key_Escape);
        QVERIFY(!f.panel->isVisible());
    }

    void altKeysPinDeleteAndClear()
    {
        PanelFixture f({"one", "two", "three", "four"});
        f.panel->open(false);
        f.key(Qt::Key_Down);
        f.key(Qt::Key_Down);
        f.key(Qt::Key_P, Qt::AltModifier);
        QCOMPARE(f.titles(), QStringList({"three", "one", "two", "four"}));
        QCOMPARE(f.selectedTitle(), QStringLiteral("three"));
        QVERIFY(f.items().first().pinned);

        f.key(Qt::Key_Down);
        f.key(Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(f.titles(), QStringList({"three", "two", "four"}));
        QCOMPARE(f.selectedTitle(), QStringLiteral("two"));

        f.key(Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.titles(), QStringList({"three"}));
        QVERIFY(f.panel->isVisible());
        // Plain Backspace edits the search and deletes nothing.
        f.key(Qt::Key_Backspace);
        QCOMPARE(f.titles(), QStringList({"three"}));
    }

    // Shift+Super+C opens; C again with Shift and Super held walks down; letting go chooses.
    void cyclingChoosesOnRelease()
    {
        PanelFixture f({"one", "two", "three", "four", "five"});
        f.held = shiftSuper;
        f.panel->open(true);
        QCOMPARE(f.panel->mode(), PickerMode::opening);
        for (int i = 0; i < 3; ++i) {
            f.send(QEvent::KeyPress, Qt::Key_C, Qt::ShiftModifier | Qt::MetaModifier);
            f.send(QEvent::KeyRelease, Qt::Key_C, Qt::ShiftModifier | Qt::MetaModifier);
        }
        QCOMPARE(f.panel->mode(), PickerMode::cycle);
        QCOMPARE(f.selectedTitle(), QStringLiteral("four"));

        f.send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier | Qt::MetaModifier);
        QVERIFY(f.panel->isVisible());
        f.held = 0;
        f.send(QEvent::KeyRelease, Qt::Key_Meta, Qt::MetaModifier);
        QVERIFY(!f.panel->isVisible());
        QCOMPARE(f.lastCopy(), QStringLiteral("four"));
        QTRY_COMPARE(f.keys.pastes.size(), 1);
    }

    void releasingAfterOpeningKeepsItOpen()
    {
        PanelFixture f({"one", "two"});
        f.held = shiftSuper;
        f.panel->open(true);
        QCOMPARE(f.panel->mode(), PickerMode::opening);
        f.held = 0;
        f.send(QEvent::KeyRelease, Qt::Key_Meta, Qt::ShiftModifier | Qt::MetaModifier);
        f.send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(f.panel->isVisible());
        QCOMPARE(f.panel->mode(), PickerMode::toggle);
        QVERIFY(f.board.written.isEmpty());
        f.key(Qt::Key_C, Qt::ShiftModifier | Qt::MetaModifier);
        QVERIFY(!f.panel->isVisible());
        QVERIFY(f.clipboardShortcutRegistered());
    }

    void openingModeNeedsTheShortcutsModifiers_data()
    {
        QTest::addColumn<bool>("viaHotKey");
        QTest::addColumn<quint64>("held");
        QTest::addColumn<PickerMode>("mode");
        QTest::newRow("shortcut, modifiers held") << true << shiftSuper << PickerMode::opening;
        QTest::newRow("menu, modifiers held") << false << shiftSuper << PickerMode::toggle;
        QTest::newRow("shortcut, let go") << true << quint64(0) << PickerMode::toggle;
        QTest::newRow("shortcut, one more held") << true << (shiftSuper | HotKey::option) << PickerMode::toggle;
    }
    void openingModeNeedsTheShortcutsModifiers()
    {
        QFETCH(bool, viaHotKey);
        QFETCH(quint64, held);
        QFETCH(PickerMode, mode);
        PanelFixture f({"one"});
        f.held = held;
        f.panel->open(viaHotKey);
        QCOMPARE(f.panel->mode(), mode);
    }

    // The paste waits for Alt to be let go, without holding up the event loop; a user who never
    // lets go gets a copy only.
    void pasteWaitsForTheModifiers()
    {
        PanelFixture f({"one", "two"});
        f.panel->modifierPatienceMs = 5000;
        f.panel->open(false);
        f.held = HotKey::option;
        f.panel->choose(f.items().at(1), true);
        QVERIFY(!f.panel->isVisible());
        QTest::qWait(100);
        QVERIFY(f.board.written.isEmpty());
        QVERIFY(f.keys.pastes.isEmpty());
        f.held = 0;
        QTRY_COMPARE(f.keys.pastes.size(), 1);
        QCOMPARE(f.lastCopy(), QStringLiteral("two"));

        f.panel->modifierPatienceMs = 100;
        f.held = HotKey::control;
        f.panel->choose(f.items().at(0), true);
        QTRY_COMPARE(f.board.written.size(), 2);
        QTest::qWait(50);
        QCOMPARE(f.keys.pastes.size(), 1);
    }

    // An entry whose files are gone: choosing it writes nothing and loses no other entry.
    void vanishedFilesChooseQuietly()
    {
        PanelFixture f({"gone", "kept"});
        QVERIFY(QDir(f.itemDir(f.items().first())).removeRecursively());
        f.panel->open(false);
        f.key(Qt::Key_Return);
        QVERIFY(!f.panel->isVisible());
        QTest::qWait(20);
        QVERIFY(f.board.written.isEmpty());
        QCOMPARE(f.titles(), QStringList({"gone", "kept"}));
    }

    // A thumbnail file that holds no picture: the row falls back to its title.
    void brokenThumbnailShowsTheTitle()
    {
        PanelFixture f({});
        f.copy({{QStringLiteral("image/png"), ClipFixture::png(64, 48)}});
        Store::waitForThumbnails();
        const ClipItem item = f.items().first();
        QFile thumb(f.itemDir(item) + QStringLiteral("/thumb.png"));
        QVERIFY(thumb.open(QIODevice::WriteOnly | QIODevice::Truncate));
        thumb.write("not a picture");
        thumb.close();
        Store::setDir(f.storeDir()); // forgets the thumbnails it read
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
        QCOMPARE(view->emptyTitle(), QStringLiteral("Nothing copied yet"));
        f.key(Qt::Key_Return);
        f.key(Qt::Key_Down);
        QVERIFY(f.panel->isVisible());
        f.panel->close();

        f.copyText(QStringLiteral("kiwi"));
        f.panel->open(false);
        QVERIFY(!view->showsEmptyState());
        QVERIFY(view->detailsText().startsWith(u"Copied once  ·  "));
        QTest::keyClicks(view->searchField(), QStringLiteral("zz"));
        QVERIFY(view->showsEmptyState());
        QCOMPARE(view->emptyTitle(), QStringLiteral("No match. It's an illusion."));
        QCOMPARE(view->detailsText(), QString());
        f.panel->close();

        QVERIFY(!view->showsSessionWarning());
        f.keys.trusted = false;
        f.panel->open(false);
        QVERIFY(view->showsSessionWarning());
        QVERIFY(view->hintText().startsWith(u"⏎ paste"));
        f.panel->close();
        f.clipboard->setPasteAutomatically(false);
        f.panel->open(false);
        QVERIFY(!view->showsSessionWarning());
        QVERIFY(view->hintText().startsWith(u"⏎ copy"));
    }

    // A thousand entries, a fifth of them pictures: only the rows on screen read a thumbnail, and
    // closing lets them go.
    void thumbnailsOnlyForVisibleRows()
    {
        PanelFixture f({});
        const QByteArray png = ClipFixture::png(300, 200);
        for (int i = 0; i < 60; ++i)
            f.copy({{QStringLiteral("image/png"), png}});
        Store::waitForThumbnails();
        f.panel->open(false);
        ClipRowDelegate &rows = f.panel->view()->list()->delegate();
        QTRY_VERIFY(rows.thumbnailCount() > 0);
        QVERIFY2(rows.thumbnailCount() <= 7, qPrintable(QString::number(rows.thumbnailCount())));
        f.panel->close();
        QCOMPARE(rows.thumbnailCount(), 0);
    }
};

QTEST_MAIN(TestPickerPanel)
#include "test_pickerpanel.moc"
