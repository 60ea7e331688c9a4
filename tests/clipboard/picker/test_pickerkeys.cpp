// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/pickerkeys.h"

#include <QKeyEvent>

Q_DECLARE_METATYPE(PickerMode)
Q_DECLARE_METATYPE(PickerAction::Kind)

namespace {
constexpr Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, super = Qt::MetaModifier;
// Shift+Super+C, the default clipboard shortcut.
const HotKey clipboardKey{8, shift | super};
} // namespace

class TestPickerKeys : public QObject
{
    Q_OBJECT

private slots:
    void decides_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<PickerMode>("mode");
        QTest::addColumn<bool>("withShortcut");
        QTest::addColumn<PickerAction::Kind>("kind");
        QTest::addColumn<bool>("option");
        QTest::addColumn<int>("index");

        // The keys the picker acts on are pressed through the real panel in its own tests; here
        // are the keys it must leave to the search field, and the edges.
        const auto toggle = PickerMode::toggle;
        QTest::newRow("shift+down types") << int(Qt::Key_Down) << shift << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("enter") << int(Qt::Key_Enter) << none << toggle << true << PickerAction::choose << false << -1;
        QTest::newRow("ctrl+return is not ours") << int(Qt::Key_Return) << ctrl << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("p types") << int(Qt::Key_P) << none << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("ctrl+9") << int(Qt::Key_9) << ctrl << toggle << true << PickerAction::chooseAt << false << 8;
        QTest::newRow("ctrl+0 is no row") << int(Qt::Key_0) << ctrl << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("digit alone types") << int(Qt::Key_3) << none << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("ctrl+shift+3 is not ours") << int(Qt::Key_3) << (ctrl | shift) << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("shortcut needs its exact modifiers") << int(Qt::Key_C) << super << PickerMode::cycle << true << PickerAction::deliver << false << -1;
        QTest::newRow("no shortcut set") << int(Qt::Key_C) << (shift | super) << toggle << false << PickerAction::deliver << false << -1;
    }
    void decides()
    {
        QFETCH(int, qtKey);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(PickerMode, mode);
        QFETCH(bool, withShortcut);
        QFETCH(PickerAction::Kind, kind);
        QFETCH(bool, option);
        QFETCH(int, index);
        // Built from a real event, as the panel does: the key's position comes from Qt's key here.
        const PickerKey key = PickerKeys::fromEvent(QKeyEvent(QEvent::KeyPress, qtKey, modifiers));
        QCOMPARE(PickerKeys::action(key, mode, withShortcut ? std::optional(clipboardKey) : std::nullopt),
                 (PickerAction{kind, option, index}));
    }

    // The shortcut is tested first: one placed on an arrow key cycles instead of moving up.
    void shortcutComesFirst()
    {
        const HotKey onArrow{126, Qt::NoModifier};
        const PickerKey up{126, Qt::Key_Up, {}};
        QCOMPARE(PickerKeys::action(up, PickerMode::cycle, onArrow).kind, PickerAction::cycle);
        QCOMPARE(PickerKeys::action(up, PickerMode::toggle, onArrow).kind, PickerAction::close);
    }

    // Positions, not characters: on another layout the key at P's place still pins.
    void keysGoByPosition()
    {
        const PickerKey keyAtP{35, Qt::Key_R, Qt::AltModifier};
        QCOMPARE(PickerKeys::action(keyAtP, PickerMode::toggle, std::nullopt).kind, PickerAction::pin);
        const PickerKey rAtElsewhere{15, Qt::Key_P, Qt::AltModifier};
        QCOMPARE(PickerKeys::action(rAtElsewhere, PickerMode::toggle, std::nullopt).kind, PickerAction::deliver);
    }

    // A virtual keyboard's keymap of its own may put a letter at Escape's place and Escape at a
    // letter's: keys that act go by what they do, so typing never closes the picker.
    void keysThatActGoByWhatTheyDo()
    {
        constexpr quint32 escapeCode = 9, letterBCode = 56;
        const QKeyEvent letterAtEscape(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, escapeCode, 0, 0,
                                       QStringLiteral("b"));
        QCOMPARE(PickerKeys::action(PickerKeys::fromEvent(letterAtEscape), PickerMode::toggle, std::nullopt).kind,
                 PickerAction::deliver);
        const QKeyEvent escapeAtLetter(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, letterBCode, 0, 0);
        QCOMPARE(PickerKeys::action(PickerKeys::fromEvent(escapeAtLetter), PickerMode::toggle, std::nullopt).kind,
                 PickerAction::escape);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestPickerKeys)
#include "test_pickerkeys.moc"
