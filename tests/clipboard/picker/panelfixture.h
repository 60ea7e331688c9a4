// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipfixture.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpickerview.h"
#include "fakes/fakehotkeygrabber.h"
#include "hotkeys/hotkeycenter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

inline constexpr Qt::KeyboardModifiers shiftSuper = Qt::ShiftModifier | Qt::MetaModifier;

// A history of titled entries (newest first as listed), the registry with the default shortcuts
// on a fake grabber, and the panel over them with modifiers the test holds.
struct PanelFixture : ClipFixture
{
    explicit PanelFixture(const QStringList &newestFirst)
    {
        Clipboard &history = openWith(newestFirst);
        hotKeys.setGrabber(&grabber);
        hotKeys.registerAll();
        panel = std::make_unique<ClipboardPanel>(history, hotKeys);
        panel->heldModifiers = [this] { return held; };
        QObject::connect(panel.get(), &ClipboardPanel::settingsRequested, [this] { ++settingsOpened; });
    }
    ~PanelFixture() { panel.reset(); hotKeys.setGrabber(nullptr); }

    // Keys by their names ("ctrl+n", "esc"), or single letters typed, into the search field.
    void press(const QString &names)
    {
        for (const QString &name : names.split(u' ')) {
            const QKeyCombination combination = QKeySequence::fromString(name)[0];
            if (name.size() == 1)
                QTest::keyClicks(panel->view()->searchField(), name);
            else
                QTest::keyClick(panel->view()->searchField(), combination.key(), combination.keyboardModifiers());
        }
    }
    // One key event alone, without the modifier presses and releases QTest adds around a click.
    void send(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent event(type, qtKey, modifiers);
        QApplication::sendEvent(panel->view()->searchField(), &event);
    }
    // Lets what was left for a later turn of the event loop (a paste, a hover) run.
    static bool nextTurn()
    {
        bool turned = false;
        QTimer::singleShot(0, [&turned] { turned = true; });
        return QTest::qWaitFor([&turned] { return turned; });
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
        for (const Item &item : board.written.value(board.written.size() - 1))
            if (item.type == QLatin1String("text/plain"))
                return QString::fromUtf8(item.data);
        return {};
    }
    bool clipboardShortcutRegistered() const
    {
        return std::ranges::find(grabber.held, HotKeyActions::index(HotKeyAction::clipboard)) != grabber.held.cend();
    }

    FakeHotKeyGrabber grabber;
    HotKeyCenter hotKeys;
    std::unique_ptr<ClipboardPanel> panel;
    Qt::KeyboardModifiers held;
    int settingsOpened = 0;
};
