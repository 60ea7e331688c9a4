// SPDX-License-Identifier: MIT
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "fakes/fakehotkeygrabber.h"
#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/hotkeyrecorder.h"
#include "hotkeys/keyboard.h"
#include "hotkeys/shortcutwarning.h"
#include "temporarypreferences.h"

using Outcome = HotKeyRecorder::Outcome;
Q_DECLARE_METATYPE(HotKeyRecorder::Outcome)

class TestHotKeyRecorder : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TemporaryPreferences> m_preferences;
    FakeHotKeyGrabber m_grabber;
    FakeKeyboardLayout m_us;
    std::unique_ptr<HotKeyCenter> m_center;

private slots:
    void init()
    {
        m_preferences = std::make_unique<TemporaryPreferences>();
        m_center = std::make_unique<HotKeyCenter>();
        m_center->setGrabber(&m_grabber);
        m_center->registerAll();
        Keyboard::setLayout(&m_us);
    }
    void cleanup()
    {
        Keyboard::setLayout(nullptr);
        m_center.reset();
    }

    void recordingReleasesEveryShortcutUntilItStops()
    {
        HotKeyRecorder recorder(HotKeyAction::grabRegion, *m_center);
        QCOMPARE(recorder.label(), QStringLiteral("Shift+Super+6"));
        recorder.toggle();
        QVERIFY(recorder.isRecording());
        QCOMPARE(recorder.label(), QStringLiteral("Press keys..."));
        QVERIFY(m_grabber.held().isEmpty());
        recorder.toggle();
        QCOMPARE(m_grabber.heldNumbers(), (QList<quint32>{0, 3}));
        QCOMPARE(recorder.handleKey(20, HotKey::command), Outcome::ignored);  // not recording
    }

    void keysDecideInOrder_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint64>("modifiers");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("label");
        QTest::newRow("Backspace clears") << 51u << quint64(0) << Outcome::cleared << QStringLiteral("None");
        QTest::newRow("Delete clears") << 117u << quint64(0) << Outcome::cleared << QStringLiteral("None");
        QTest::newRow("Esc cancels") << 53u << quint64(0) << Outcome::cancelled << QStringLiteral("Shift+Super+6");
        QTest::newRow("Shift+7 refused") << 26u << HotKey::shift << Outcome::refused << QStringLiteral("Press keys...");
        QTest::newRow("Shift+Backspace refused") << 51u << HotKey::shift << Outcome::refused << QStringLiteral("Press keys...");
        QTest::newRow("plain letter refused") << 0u << quint64(0) << Outcome::refused << QStringLiteral("Press keys...");
        QTest::newRow("F5 alone accepted") << 96u << quint64(0) << Outcome::accepted << QStringLiteral("F5");
        QTest::newRow("Ctrl+Esc accepted") << 53u << HotKey::control << Outcome::accepted << QStringLiteral("Ctrl+⎋");
        QTest::newRow("Alt+Shift+A accepted, lock bits dropped")
            << 0u << (HotKey::option | HotKey::shift | 0x10000) << Outcome::accepted << QStringLiteral("Alt+Shift+A");
        QTest::newRow("Super alone waits") << 55u << HotKey::command << Outcome::ignored << QStringLiteral("Press keys...");
    }
    void keysDecideInOrder()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint64, modifiers);
        QFETCH(Outcome, outcome);
        QFETCH(QString, label);

        HotKeyRecorder recorder(HotKeyAction::grabRegion, *m_center);
        QSignalSpy refused(&recorder, &HotKeyRecorder::refused);
        recorder.start();
        QCOMPARE(recorder.handleKey(keyCode, modifiers), outcome);
        QCOMPARE(recorder.label(), label);
        QCOMPARE(refused.count(), outcome == Outcome::refused ? 1 : 0);
        const bool stopped = outcome != Outcome::refused && outcome != Outcome::ignored;
        QCOMPARE(recorder.isRecording(), !stopped);
        QCOMPARE(m_grabber.held().isEmpty(), !stopped);
    }

    void qtKeyEventsWithoutNativeCodesUseTheUsPositions()
    {
        HotKeyRecorder recorder(HotKeyAction::clipboard, *m_center);
        recorder.start();
        const QKeyEvent shiftSeven(QEvent::KeyPress, Qt::Key_Ampersand, Qt::ShiftModifier);
        QCOMPARE(recorder.handleKeyEvent(shiftSeven), Outcome::refused);
        const QKeyEvent unknown(QEvent::KeyPress, Qt::Key_Launch0, Qt::MetaModifier);
        QCOMPARE(recorder.handleKeyEvent(unknown), Outcome::refused);
        const QKeyEvent superV(QEvent::KeyPress, Qt::Key_V, Qt::MetaModifier | Qt::ShiftModifier);
        QCOMPARE(recorder.handleKeyEvent(superV), Outcome::accepted);
        QCOMPARE(m_center->key(HotKeyAction::clipboard)->display(), QStringLiteral("Shift+Super+V"));
    }

    void fieldGoingAwayStopsRecording()
    {
        {
            HotKeyRecorder recorder(HotKeyAction::grabRegion, *m_center);
            recorder.start();
        }
        QCOMPARE(m_grabber.heldNumbers(), (QList<quint32>{0, 3}));
    }

    void warnings()
    {
        const HotKey print(105, 0);
        const auto taken = [](const HotKey &key) { return key.keyCode == 105; };
        const auto nothingTaken = [](const HotKey &) { return false; };

        QCOMPARE(ShortcutWarning::evaluate(HotKeyAction::grabScreen, std::nullopt, true, taken), std::nullopt);

        const auto desktop = ShortcutWarning::evaluate(HotKeyAction::grabScreen, print, true, taken);
        QVERIFY(desktop);
        QCOMPARE(desktop->kind, ShortcutWarning::Kind::desktopScreenshots);
        QCOMPARE(desktop->text, QStringLiteral("Your desktop uses Print for its own screenshots. Turn "
                                               "it off in its keyboard settings to use it here."));

        // The clipboard action never competes with screenshots, only with other apps.
        const auto blocked = ShortcutWarning::evaluate(HotKeyAction::clipboard, print, true, taken);
        QCOMPARE(blocked->kind, ShortcutWarning::Kind::blocked);
        QCOMPARE(blocked->text,
                 QStringLiteral("Another app is using Print. Quit it or pick another shortcut."));
        QCOMPARE(ShortcutWarning::evaluate(HotKeyAction::clipboard, print, false, taken), std::nullopt);
        QCOMPARE(ShortcutWarning::evaluate(HotKeyAction::grabRegion, print, false, nothingTaken),
                 std::nullopt);
    }

    void warningFollowsTheRegistry()
    {
        m_grabber.taken.insert({8, 0x41});
        m_center->registerAll();
        const auto warning = ShortcutWarning::forAction(HotKeyAction::clipboard, *m_center);
        QVERIFY(warning);
        QCOMPARE(warning->text, QStringLiteral("Another app is using Shift+Super+C. Quit it or pick "
                                               "another shortcut."));
        QCOMPARE(ShortcutWarning::forAction(HotKeyAction::grabWindow, *m_center), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestHotKeyRecorder)
#include "test_hotkeyrecorder.moc"
