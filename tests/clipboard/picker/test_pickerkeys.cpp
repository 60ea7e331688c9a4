// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/pickerkeys.h"

#include <QKeyEvent>
#include <QTest>

Q_DECLARE_METATYPE(PickerMode)
Q_DECLARE_METATYPE(PickerAction::Kind)

namespace {
constexpr quint64 ctrl = HotKey::control;
constexpr quint64 alt = HotKey::option;
constexpr quint64 shift = HotKey::shift;
constexpr quint64 super = HotKey::command;
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
        QTest::addColumn<quint64>("modifiers");
        QTest::addColumn<PickerMode>("mode");
        QTest::addColumn<bool>("withShortcut");
        QTest::addColumn<PickerAction::Kind>("kind");
        QTest::addColumn<bool>("option");
        QTest::addColumn<int>("index");

        const auto toggle = PickerMode::toggle;
        QTest::newRow("up") << int(Qt::Key_Up) << none() << toggle << true << PickerAction::moveUp << false << -1;
        QTest::newRow("down") << int(Qt::Key_Down) << none() << toggle << true << PickerAction::moveDown << false << -1;
        QTest::newRow("ctrl+p") << int(Qt::Key_P) << ctrl << toggle << true << PickerAction::moveUp << false << -1;
        QTest::newRow("ctrl+n") << int(Qt::Key_N) << ctrl << toggle << true << PickerAction::moveDown << false << -1;
        QTest::newRow("shift+down types") << int(Qt::Key_Down) << shift << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("return") << int(Qt::Key_Return) << none() << toggle << true << PickerAction::choose << false << -1;
        QTest::newRow("enter") << int(Qt::Key_Enter) << none() << toggle << true << PickerAction::choose << false << -1;
        QTest::newRow("alt+return") << int(Qt::Key_Return) << alt << toggle << true << PickerAction::choose << true << -1;
        QTest::newRow("ctrl+return is not ours") << int(Qt::Key_Return) << ctrl << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("escape") << int(Qt::Key_Escape) << none() << toggle << true << PickerAction::escape << false << -1;
        QTest::newRow("alt+p") << int(Qt::Key_P) << alt << toggle << true << PickerAction::pin << false << -1;
        QTest::newRow("p types") << int(Qt::Key_P) << none() << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("alt+backspace") << int(Qt::Key_Backspace) << alt << toggle << true << PickerAction::deleteSelected << false << -1;
        QTest::newRow("backspace edits") << int(Qt::Key_Backspace) << none() << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("ctrl+shift+backspace") << int(Qt::Key_Backspace) << (ctrl | shift) << toggle << true << PickerAction::clear << false << -1;
        QTest::newRow("ctrl+comma") << int(Qt::Key_Comma) << ctrl << toggle << true << PickerAction::openSettings << false << -1;
        QTest::newRow("ctrl+1") << int(Qt::Key_1) << ctrl << toggle << true << PickerAction::chooseAt << false << 0;
        QTest::newRow("ctrl+9") << int(Qt::Key_9) << ctrl << toggle << true << PickerAction::chooseAt << false << 8;
        QTest::newRow("ctrl+alt+3") << int(Qt::Key_3) << (ctrl | alt) << toggle << true << PickerAction::chooseAt << true << 2;
        QTest::newRow("ctrl+0 is no row") << int(Qt::Key_0) << ctrl << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("digit alone types") << int(Qt::Key_3) << none() << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("ctrl+shift+3 is not ours") << int(Qt::Key_3) << (ctrl | shift) << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("letter types") << int(Qt::Key_A) << none() << toggle << true << PickerAction::deliver << false << -1;
        QTest::newRow("shortcut closes") << int(Qt::Key_C) << (shift | super) << toggle << true << PickerAction::close << false << -1;
        QTest::newRow("shortcut while opening cycles") << int(Qt::Key_C) << (shift | super) << PickerMode::opening << true << PickerAction::cycle << false << -1;
        QTest::newRow("shortcut while cycling cycles") << int(Qt::Key_C) << (shift | super) << PickerMode::cycle << true << PickerAction::cycle << false << -1;
        QTest::newRow("shortcut needs its exact modifiers") << int(Qt::Key_C) << super << PickerMode::cycle << true << PickerAction::deliver << false << -1;
        QTest::newRow("no shortcut set") << int(Qt::Key_C) << (shift | super) << toggle << false << PickerAction::deliver << false << -1;
    }
    void decides()
    {
        QFETCH(int, qtKey);
        QFETCH(quint64, modifiers);
        QFETCH(PickerMode, mode);
        QFETCH(bool, withShortcut);
        QFETCH(PickerAction::Kind, kind);
        QFETCH(bool, option);
        QFETCH(int, index);

        // Built from a real event, as the panel does: the key's position comes from Qt's key here.
        Qt::KeyboardModifiers held;
        if (modifiers & ctrl)
            held |= Qt::ControlModifier;
        if (modifiers & alt)
            held |= Qt::AltModifier;
        if (modifiers & shift)
            held |= Qt::ShiftModifier;
        if (modifiers & super)
            held |= Qt::MetaModifier;
        const QKeyEvent event(QEvent::KeyPress, qtKey, held);
        const PickerKey key = PickerKeys::fromEvent(event);
        const std::optional<HotKey> shortcut = withShortcut ? std::optional(clipboardKey) : std::nullopt;
        const PickerAction expected{kind, option, index};
        QCOMPARE(PickerKeys::action(key, mode, shortcut), expected);
    }

    // The shortcut is tested first: one placed on an arrow key cycles instead of moving up.
    void shortcutComesFirst()
    {
        const HotKey onArrow{126, 0};
        const PickerKey up{126, Qt::Key_Up, 0};
        QCOMPARE(PickerKeys::action(up, PickerMode::cycle, onArrow).kind, PickerAction::cycle);
        QCOMPARE(PickerKeys::action(up, PickerMode::toggle, onArrow).kind, PickerAction::close);
    }

    // Positions, not characters: on another layout the key at P's place still pins.
    void keysGoByPosition()
    {
        const PickerKey keyAtP{35, Qt::Key_R, alt};
        QCOMPARE(PickerKeys::action(keyAtP, PickerMode::toggle, std::nullopt).kind, PickerAction::pin);
        const PickerKey rAtElsewhere{15, Qt::Key_P, alt};
        QCOMPARE(PickerKeys::action(rAtElsewhere, PickerMode::toggle, std::nullopt).kind, PickerAction::deliver);
    }

private:
    static quint64 none() { return 0; }
};

QTEST_GUILESS_MAIN(TestPickerKeys)
#include "test_pickerkeys.moc"
