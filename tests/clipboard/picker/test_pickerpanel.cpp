// SPDX-License-Identifier: MIT
#include "panelfixture.h"

#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

class TestPickerPanel : public QObject
{
    Q_OBJECT

private slots:
    void openingSuspendsTheShortcutUntilClosed_data()
    {
        QTest::addColumn<QString>("closeBy");
        QTest::newRow("escape") << "esc";
        QTest::newRow("shortcut again") << "shift+meta+c";
        QTest::newRow("choosing") << "return";
        QTest::newRow("settings key") << "ctrl+,";
        QTest::newRow("window closed") << "";
    }

    void openingSuspendsTheShortcutUntilClosed()
    {
        QFETCH(QString, closeBy);
        PanelFixture f({"one", "two"});
        f.panel->open(true);
        QVERIFY(!f.clipboardShortcutRegistered());
        QCOMPARE(f.panel->mode(), PickerMode::toggle);

        if (closeBy.isEmpty())
            f.panel->QWidget::close();
        else
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
        // Return, arrows, typing, Ctrl+digit and Alt+Return are also pressed on a real X server.

        QTest::newRow("ctrl+n ctrl+p ctrl+n") << "ctrl+n ctrl+n ctrl+p return" << "two" << 1 << false;
        QTest::newRow("no wrap at the top") << "up up return" << "one" << 1 << false;
        QTest::newRow("no wrap at the bottom") << "down down down down return" << "four" << 1 << false;
        QTest::newRow("ctrl+alt+2 copies the second") << "ctrl+alt+2" << "two" << 0 << false;
        QTest::newRow("ctrl+5 past the end") << "ctrl+5" << "" << 0 << true;
        QTest::newRow("no match: return does nothing") << "z return" << "" << 0 << true;
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

    // Tab reaches the buttons; typing there still searches, Space still presses.
    void typingSearchesFromTheButtons()
    {
        PanelFixture f({"one", "two", "three"});
        f.panel->open(false);
        auto *clear = Widgets::buttonTitled<KiwanoButton>(f.panel.get(), QStringLiteral("Clear"));
        QVERIFY(clear);
        clear->setFocus();
        QTest::keyClicks(clear, QStringLiteral("tw"));
        QCOMPARE(f.panel->view()->searchField()->text(), QStringLiteral("tw"));
        QCOMPARE(f.panel->model().query(), QStringLiteral("tw"));
        clear->setFocus();
        QTest::keyClick(clear, Qt::Key_Space);
        QCOMPARE(f.titles(), QStringList());
    }

    void altKeysPinAndDelete()
    {
        PanelFixture f({"one", "two", "three", "four"});
        f.panel->open(false);
        f.key(Qt::Key_Down);
        f.key(Qt::Key_Down);
        f.key(Qt::Key_P, Qt::AltModifier);
        QCOMPARE(f.titles(), QStringList({"three", "one", "two", "four"}));
        QVERIFY(f.items().first().pinned);
        QCOMPARE(f.selectedTitle(), QStringLiteral("three"));

        f.key(Qt::Key_Down);
        f.key(Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(f.titles(), QStringList({"three", "two", "four"}));
        QCOMPARE(f.selectedTitle(), QStringLiteral("two"));
        // Plain Backspace edits the search and deletes nothing (the clear key is an end-to-end test).
        f.key(Qt::Key_Backspace);
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
        QFETCH(bool, viaHotKey);
        QFETCH(Qt::KeyboardModifiers, held);
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
        QVERIFY(!f.panel->isVisible());
        QTRY_VERIFY(looks >= 3); // it has looked at the keys again and still waits
        QVERIFY(f.board.written.isEmpty());
        QVERIFY(f.keys.pastes.isEmpty());
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

    // An entry whose files are gone: choosing it writes nothing and loses no other entry.
    void vanishedFilesChooseQuietly()
    {
        PanelFixture f({"gone", "kept"});
        QVERIFY(QDir(f.itemDir(f.items().first())).removeRecursively());
        f.panel->open(false);
        f.key(Qt::Key_Return);
        QVERIFY(!f.panel->isVisible());
        QVERIFY(f.nextTurn());
        QVERIFY(f.board.written.isEmpty());
        QCOMPARE(f.titles(), QStringList({"gone", "kept"}));
    }
};

KIWANO_TEST_MAIN(TestPickerPanel)
#include "test_pickerpanel.moc"
