// SPDX-License-Identifier: MIT
#include <QSignalSpy>

#include "fakes/fakehotkeygrabber.h"
#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/desktopscreenshots.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/hotkeyrecorder.h"
#include "hotkeys/keyboard.h"
#include "hotkeys/temporarypreferences.h"

using namespace Qt::StringLiterals;
using Keys = QList<std::optional<HotKey>>;
using Outcome = HotKeyRecorder::Outcome;
using Held = QList<quint32>;

namespace {
const HotKey shiftSuperC(8, Qt::ShiftModifier | Qt::MetaModifier);
const HotKey shiftSuper6(22, Qt::ShiftModifier | Qt::MetaModifier);
} // namespace

// How shortcuts are named and read from the desktop's own settings, over a US layout table; the
// registry over a grabber that keeps its grabs in memory, and recording a shortcut into it.
class TestHotKeyCenter : public QObject
{
    Q_OBJECT
    std::optional<TemporaryPreferences> m_preferences;
    std::optional<FakeHotKeyGrabber> m_grabber;
    std::optional<HotKeyCenter> m_center;
    FakeKeyboardLayout m_us;

    Keys keys() const
    {
        Keys keys;
        for (HotKeyAction action : allHotKeyActions)
            keys.append(m_center->key(action));
        return keys;
    }
    Held held() const { return m_grabber->held.values(); }

private slots:
    void init()
    {
        m_center.reset();
        m_preferences.emplace();
        m_grabber.emplace();
        m_center.emplace();
        m_center->setGrabber(&*m_grabber);
        m_us = FakeKeyboardLayout();
        Keyboard::setLayout(&m_us);
    }
    void cleanup() { Keyboard::setLayout(nullptr); }

    void modifiersNamedGrabbedAndStored_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers"); QTest::addColumn<QString>("display");
        QTest::addColumn<quint32>("x11Modifiers"); QTest::addColumn<int>("stored");
        // The stored bits stay as the first shortcuts were written: 0x20000 Shift, 0x40000
        // Control, 0x80000 Alt, 0x100000 Super; each row's bits all differ from the others'.
        QTest::newRow("none") << Qt::KeyboardModifiers() << u"6"_s << 0u << 0;
        QTest::newRow("shift") << Qt::KeyboardModifiers(Qt::ShiftModifier) << u"Shift+6"_s << 0x1u << 0x20000;
        QTest::newRow("alt") << Qt::KeyboardModifiers(Qt::AltModifier) << u"Alt+6"_s << 0x8u << 0x80000;
        QTest::newRow("super") << Qt::KeyboardModifiers(Qt::MetaModifier) << u"Super+6"_s << 0x40u << 0x100000;
        QTest::newRow("all, in their order")
            << (Qt::MetaModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier)
            << u"Ctrl+Alt+Shift+Super+6"_s << 0x4du << 0x1e0000;
    }
    void modifiersNamedGrabbedAndStored()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers); QFETCH(QString, display); QFETCH(quint32, x11Modifiers);
        QFETCH(int, stored);
        // Keypad and group bits reach neither the text, the grab nor the file.
        const HotKey key(22, modifiers | Qt::KeypadModifier | Qt::GroupSwitchModifier);
        QCOMPARE(key.display(), display);
        QCOMPARE(key.x11Modifiers(), x11Modifiers);
        const QByteArray json = "{\"keyCode\":22,\"modifiers\":" + QByteArray::number(stored) + '}';
        QCOMPARE(key.toJson(), json);
        QCOMPARE(HotKey::fromJson(json), std::optional(key));
        // Where no layout can be read the key keeps a name a person can press, not its number.
        Keyboard::setLayout(nullptr);
        QCOMPARE(key.display(), display);
    }

    void takenCombinations_data()
    {
        QTest::addColumn<QString>("gnome");  // null: gsettings or the schema is missing
        QTest::addColumn<QString>("kde");    // null: no file
        QTest::addColumn<QStringList>("taken");
        const QStringList factory{u"Alt+Print"_s, u"Print"_s, u"Shift+Print"_s};
        const QString g = u"org.gnome.shell.keybindings "_s;
        QTest::newRow("nothing readable") << QString() << u"[kwin]\nA=B\n"_s << factory;
        QTest::newRow("GNOME turned off and moved")
            << g + "screenshot ['<Shift><Super>s', '<Primary>Print']\n" + g + "screenshot-window @as []\n" + g
                   + "show-screenshot-ui []\n"
            << QString() << QStringList{u"Ctrl+Print"_s, u"Shift+Super+S"_s};
        QTest::newRow("GNOME entry missing keeps its factory key")
            << g + "screenshot []\n" + g + "screenshot-window []\n" << QString() << QStringList{u"Print"_s};
        QTest::newRow("GNOME malformed values keep their factory keys")
            << g + "screenshot ['<Shift>Print'\n" + g + "screenshot-window '<Alt>Print'\n" + g
                   + "show-screenshot-ui ['a' 'b']\n"
            << QString() << factory;
        QTest::newRow("GNOME unknown names match nothing")
            << g + "screenshot ['<Hyper>Print', '<Super>XF86Frob', '<Alt', '']\n" + g
                   + "screenshot-window [\"<Alt>Print\"]\n" + g + "show-screenshot-ui @as []\n"
            << QString() << QStringList{u"Alt+Print"_s};
        QTest::newRow("Plasma 5, launch turned off")
            << g + "show-screenshot-ui ['<Super>n']\n"
            << u"[kwin]\nExpose=Ctrl+F9,Ctrl+F9,Toggle Present Windows\n[org.kde.spectacle.desktop]\n"
               "ActiveWindowScreenShot=Meta+Print,Meta+Print,Capture Active Window\n"
               "RectangularRegionScreenShot=Meta+Shift+Print\tMeta+Shift+S,Meta+Shift+Print,Capture Region\n"
               "_k_friendly_name=Spectacle\n_launch=none,Print,Spectacle\n"_s
            << QStringList{u"Alt+Print"_s, u"Shift+Print"_s, u"Shift+Super+Print"_s, u"Shift+Super+S"_s,
                           u"Super+N"_s, u"Super+Print"_s};
        QTest::newRow("newer Plasma stores only what changed")
            << QString()
            << u"[services][org.kde.spectacle.desktop]\n_launch=none\nRectangularRegionScreenShot=Meta+Shift+S\n"_s
            << QStringList{u"Ctrl+Super+Print"_s, u"Shift+Print"_s, u"Shift+Super+S"_s, u"Super+Print"_s};
        // "[broken" opens no group, so D still belongs to Spectacle; "[]" ends its group.
        QTest::newRow("KDE malformed")
            << QString()
            << u"[org.kde.spectacle.desktop]\n=,,,\nFullScreenScreenShot\nA=Ctrl+Frob,x\nB=,Print\n"
               "C=Shift+Print\tnone\t\x01\x02\n[broken\nD=Print\n[]\nE=Alt+Print\n"_s
            << QStringList{u"Print"_s, u"Shift+Print"_s};
    }
    void takenCombinations()
    {
        QFETCH(QString, gnome); QFETCH(QString, kde); QFETCH(QStringList, taken);
        const auto given = [](const QString &text) { return text.isNull() ? std::nullopt : std::optional(text); };
        QStringList names;
        for (const HotKey &key : DesktopScreenshots::shortcuts({given(gnome), given(kde)}))
            names.append(key.display());
        names.sort();
        names.removeDuplicates();
        QCOMPARE(names, taken);
    }

    void characterKeysFollowTheLayout()
    {
        m_us.texts.remove(1);
        m_us.texts.insert(41, u"s"_s);
        QCOMPARE(DesktopScreenshots::fromGtkAccelerator(u"<Super>S"_s)->keyCode, 41u);
        QCOMPARE(DesktopScreenshots::fromKdeShortcut(u"Meta+S"_s)->keyCode, 41u);
        QCOMPARE(DesktopScreenshots::fromGtkAccelerator(u"<Control>F5"_s), std::optional(HotKey(96, Qt::ControlModifier)));
        QCOMPARE(DesktopScreenshots::fromKdeShortcut(u"Ctrl+Alt+Print, Print"_s), std::nullopt);
    }

    void storedValue_data()
    {
        QTest::addColumn<QVariant>("value"); QTest::addColumn<std::optional<HotKey>>("expected");
        const std::optional<HotKey> shiftSuperV = HotKey(9, Qt::ShiftModifier | Qt::MetaModifier), none;
        QTest::newRow("absent: the default") << QVariant() << std::optional(shiftSuperC);
        QTest::newRow("empty: cleared") << QVariant(QByteArray()) << none;
        QTest::newRow("stored") << QVariant("{\"keyCode\":9,\"modifiers\":1179648}"_ba) << shiftSuperV;
        QTest::newRow("hand-edited, Caps Lock dropped")
            << QVariant("{\"keyCode\":9,\"modifiers\":1245184,\"x\":1}"_ba) << shiftSuperV;
        // Hand edits that no settings window could have stored read as the built-in shortcut.
        const std::optional<HotKey> builtIn = shiftSuperC;
        QTest::newRow("not JSON") << QVariant("{oops"_ba) << builtIn;
        QTest::newRow("empty text") << QVariant(QString()) << builtIn;
        QTest::newRow("past 32 bits") << QVariant("{\"keyCode\":4294967296,\"modifiers\":0}"_ba) << builtIn;
        QTest::newRow("no such key") << QVariant("{\"keyCode\":4000,\"modifiers\":1179648}"_ba) << builtIn;
        QTest::newRow("a modifier alone") << QVariant("{\"keyCode\":56,\"modifiers\":1048576}"_ba) << builtIn;
        QTest::newRow("a bare letter") << QVariant("{\"keyCode\":9,\"modifiers\":131072}"_ba) << builtIn;
        QTest::newRow("Print alone") << QVariant("{\"keyCode\":105,\"modifiers\":0}"_ba) << std::optional(HotKey(105, Qt::NoModifier));
    }
    void storedValue()
    {
        QFETCH(QVariant, value); QFETCH(std::optional<HotKey>, expected);
        if (value.isValid())
            TemporaryPreferences::plant("clipboard", value);
        QCOMPARE(keys(), (Keys{shiftSuper6, std::nullopt, std::nullopt, expected}));
        m_center->registerAll();
        QCOMPARE(held(), (expected ? Held{0, 3} : Held{0}));
        QVERIFY(m_center->failed().isEmpty());
        QCOMPARE(TemporaryPreferences::stored("clipboard"), value);  // kept as found
    }

    void settingKeysAndPresets()
    {
        m_center->set(shiftSuperC, HotKeyAction::grabWindow);
        QCOMPARE(keys(), (Keys{shiftSuper6, shiftSuperC, std::nullopt, std::nullopt}));
        QCOMPARE(TemporaryPreferences::stored("grabWindow"), QVariant("{\"keyCode\":8,\"modifiers\":1179648}"_ba));
        // Emptied rather than removed, or its default would come back at the next start.
        QCOMPARE(TemporaryPreferences::stored("clipboard"), QVariant(QByteArray()));
        QVERIFY(!TemporaryPreferences::stored("grabRegion").isValid());
        QCOMPARE(held(), (Held{0, 1}));

        m_center->applyPreset(&HotKeyPresets::desktopDefault);
        QCOMPARE(keys(), (Keys{HotKey(105, Qt::ShiftModifier), HotKey(105, Qt::AltModifier), HotKey(105, Qt::NoModifier), shiftSuperC}));
        QCOMPARE(held(), (Held{0, 1, 2, 3}));
        m_center->applyPreset(&HotKeyPresets::kiwanoDefault);
        QCOMPARE(TemporaryPreferences::stored("grabWindow"), QVariant(QByteArray()));
        QCOMPARE(keys(), (Keys{shiftSuper6, std::nullopt, std::nullopt, shiftSuperC}));
        QCOMPARE(held(), (Held{0, 3}));
    }

    void refusedRegistrationLandsInFailed()
    {
        QSignalSpy failedSpy(&*m_center, &HotKeyCenter::failedChanged);
        m_grabber->taken.insert({8, 0x41});
        m_center->registerAll();
        QCOMPARE(m_center->failed(), QSet<HotKeyAction>{HotKeyAction::clipboard});
        QCOMPARE(failedSpy.count(), 1);
        QCOMPARE(held(), Held{0});
        // Unregistering keeps the last verdict; the next registration replaces it.
        m_center->unregisterAll();
        QCOMPARE(m_center->failed().size(), 1);
        m_grabber->taken.clear();
        m_center->registerAll();
        QVERIFY(m_center->failed().isEmpty());

        m_center->setGrabber(nullptr);
        m_center->registerAll();
        QCOMPARE(m_center->failed(), (QSet<HotKeyAction>{HotKeyAction::grabRegion, HotKeyAction::clipboard}));
    }

    void pressRunsItsActionLaterOnTheMainThread()
    {
        QList<HotKeyAction> pressed;
        m_center->setOnPress([&](HotKeyAction action) { pressed.append(action); });
        m_center->registerAll();
        QVERIFY(!m_grabber->handler({HotKeyCenter::signature, 4}));
        QVERIFY(m_grabber->handler({HotKeyCenter::signature, 2}));
        QVERIFY(pressed.isEmpty());  // not inside the desktop's handler
        QTRY_COMPARE(pressed, QList<HotKeyAction>{HotKeyAction::grabScreen});
    }

    void recordingReleasesEveryShortcutUntilItStops()
    {
        m_center->registerAll();
        {
            HotKeyRecorder recorder(HotKeyAction::grabRegion, *m_center);
            QCOMPARE(recorder.label(), u"Shift+Super+6"_s);
            recorder.toggle();
            QCOMPARE(recorder.label(), u"Press keys..."_s);
            QVERIFY(held().isEmpty());
            recorder.toggle();
            QCOMPARE(held(), (Held{0, 3}));
            QCOMPARE(recorder.handleKey(20, Qt::MetaModifier), Outcome::ignored);  // not recording
            recorder.start();
        }
        // The field went away in the middle of recording.
        QCOMPARE(held(), (Held{0, 3}));
    }

    void recordedKeysDecideInOrder_data()
    {
        QTest::addColumn<quint32>("keyCode"); QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<Outcome>("outcome"); QTest::addColumn<QString>("label");
        const QString waiting = u"Press keys..."_s;
        QTest::newRow("Backspace clears") << 51u << Qt::KeyboardModifiers() << Outcome::cleared << u"None"_s;
        // Keypad keys come with the keypad bit: Delete there clears all the same.
        QTest::newRow("keypad Delete clears") << 117u << Qt::KeyboardModifiers(Qt::KeypadModifier) << Outcome::cleared
                                              << u"None"_s;
        QTest::newRow("Esc cancels") << 53u << Qt::KeyboardModifiers() << Outcome::cancelled << u"Shift+Super+6"_s;
        QTest::newRow("Shift+Backspace refused") << 51u << Qt::KeyboardModifiers(Qt::ShiftModifier) << Outcome::refused << waiting;
        QTest::newRow("plain letter refused") << 0u << Qt::KeyboardModifiers() << Outcome::refused << waiting;
        QTest::newRow("F5 alone accepted") << 96u << Qt::KeyboardModifiers() << Outcome::accepted << u"F5"_s;
        QTest::newRow("Ctrl+Esc accepted") << 53u << Qt::KeyboardModifiers(Qt::ControlModifier) << Outcome::accepted << u"Ctrl+⎋"_s;
        QTest::newRow("Alt+Shift+A accepted, keypad bit dropped")
            << 0u << (Qt::AltModifier | Qt::ShiftModifier | Qt::KeypadModifier) << Outcome::accepted << u"Alt+Shift+A"_s;
        QTest::newRow("Super alone waits") << 55u << Qt::KeyboardModifiers(Qt::MetaModifier) << Outcome::ignored << waiting;
    }
    void recordedKeysDecideInOrder()
    {
        QFETCH(quint32, keyCode); QFETCH(Qt::KeyboardModifiers, modifiers); QFETCH(Outcome, outcome);
        QFETCH(QString, label);
        m_center->registerAll();
        HotKeyRecorder recorder(HotKeyAction::grabRegion, *m_center);
        QSignalSpy refused(&recorder, &HotKeyRecorder::refused);
        recorder.start();
        QCOMPARE(recorder.handleKey(keyCode, modifiers), outcome);
        QCOMPARE(recorder.label(), label);
        QCOMPARE(refused.count(), outcome == Outcome::refused ? 1 : 0);
        const bool stopped = outcome != Outcome::refused && outcome != Outcome::ignored;
        QCOMPARE(recorder.isRecording(), !stopped);
        QCOMPARE(held().isEmpty(), !stopped);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestHotKeyCenter)
#include "test_hotkeycenter.moc"
