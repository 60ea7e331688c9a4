// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QScopeGuard>

#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"
#include "hotkeys/temporarypreferences.h"
#include "platform/x11/x11hotkeygrabber.h"
#include "platform/testprograms.h"
#include "platform/x11/x11keyboardlayout.h"

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 keyC = 8, key6 = 22, shiftSuper = 0x41;  // X11 Shift + Mod4

bool run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool ran = process.waitForFinished(10000) && process.exitCode() == 0;
    if (ran && output)
        *output = process.readAllStandardOutput();
    return ran;
}
bool xdotool(const QString &keys, const QString &command = u"key"_s) { return run(u"xdotool"_s, {command, keys}); }
bool setLayout(const QStringList &layout) { return run(u"setxkbmap"_s, QStringList{u"-option"_s, QString(), u"-layout"_s} + layout); }

// A second X client that grabs a combination the way another app would; null if it could not.
std::unique_ptr<TestProgram> holder(quint32 keyCode, quint32 x11Modifiers)
{
    auto program = std::make_unique<TestProgram>();
    const QStringList combination{QString::number(keyCode), QString::number(x11Modifiers)};
    return program->start(QStringLiteral(KEYHOLDER_PATH), combination, 10000) ? std::move(program) : nullptr;
}

} // namespace

// Shortcuts grabbed on the X server and pressed through XTEST, and key names that follow the
// server's layout.
class TestX11HotKeys : public QObject
{
    Q_OBJECT
    std::optional<X11KeyboardLayout> m_layout;
    std::optional<TemporaryPreferences> m_preferences;
    std::optional<X11HotKeyGrabber> m_grabber;
    std::optional<HotKeyCenter> m_center;
    QList<HotKeyAction> m_pressed;

    // Types the keys (if any); exactly these presses arrive, once each: a second would come
    // within the same round trip.
    void press(const QString &keys, const QList<HotKeyAction> &expected)
    {
        if (!keys.isEmpty())
            QVERIFY(xdotool(keys));
        QTRY_COMPARE(m_pressed, expected);
        QVERIFY(!QTest::qWaitFor([&] { return m_pressed != expected; }, 150)); // nothing else arrives
        QCOMPARE(m_pressed, expected);
        m_pressed.clear();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(X11HotKeyGrabber::isAvailable());
        // A bare X server may leave Super_L off every modifier; desktops put it on Mod4.
        QByteArray modifiers;
        QVERIFY(run(u"xmodmap"_s, {u"-pm"_s}, &modifiers));
        if (!modifiers.mid(modifiers.indexOf("mod4")).split('\n').first().contains("Super_L"))
            QVERIFY(run(u"xmodmap"_s, {u"-e"_s, u"add mod4 = Super_L"_s}));
    }

    void init()
    {
        QVERIFY(setLayout({u"us"_s}));
        QVERIFY(m_layout.emplace().isReadable());
        Keyboard::setLayout(&*m_layout);
        m_center.reset();
        m_preferences.emplace();
        m_center.emplace().setGrabber(&m_grabber.emplace());
        m_center->setOnPress([this](HotKeyAction action) { m_pressed.append(action); });
        m_pressed.clear();
    }
    void cleanup() { Keyboard::setLayout(nullptr); }

    void pressReachesTheActionWhateverTheLocks_data()
    {
        QTest::addColumn<QStringList>("locks");
        QTest::newRow("no lock") << QStringList();
        QTest::newRow("Caps Lock") << QStringList{u"Caps_Lock"_s};
        QTest::newRow("Num Lock") << QStringList{u"Num_Lock"_s};
        QTest::newRow("both") << QStringList{u"Caps_Lock"_s, u"Num_Lock"_s};
    }
    void pressReachesTheActionWhateverTheLocks()
    {
        QFETCH(QStringList, locks);
        const auto restore = qScopeGuard([&] {
            for (const QString &lock : locks)
                xdotool(lock);
        });
        m_center->registerAll();
        for (const QString &lock : locks)
            QVERIFY(xdotool(lock));
        press(u"shift+super+6"_s, {HotKeyAction::grabRegion});
        press(u"shift+super+c"_s, {HotKeyAction::clipboard});
        QVERIFY(xdotool(u"super+6"_s));  // other modifiers are another combination
        press(u"ctrl+shift+super+6"_s, {});
    }

    void holdingTheKeysIsOnePress()
    {
        m_center->registerAll();
        QVERIFY(xdotool(u"shift+super+6"_s, u"keydown"_s));
        // Held past the keyboard's repeat delay: no second press.
        QVERIFY(!QTest::qWaitFor([this] { return m_pressed.size() > 1; }, 1500));
        QVERIFY(xdotool(u"shift+super+6"_s, u"keyup"_s));
        press(QString(), {HotKeyAction::grabRegion});
    }

    void combinationHeldByAnotherClientFailsWhole()
    {
        // Only a hand-edited store gives two actions one combination; the second is reported.
        TemporaryPreferences::plant("grabScreen", HotKey(key6, Qt::ShiftModifier | Qt::MetaModifier).toJson());
        {
            // The other client holds only the Caps Lock variant; our plain one alone would succeed.
            const auto capsOnly = holder(keyC, shiftSuper | 0x2);
            QVERIFY(capsOnly);
            m_center->registerAll();
            QCOMPARE(m_center->failed(), (QSet<HotKeyAction>{HotKeyAction::clipboard, HotKeyAction::grabScreen}));
            press(u"shift+super+6"_s, {HotKeyAction::grabRegion});
        }
        // Had we kept the variant without Caps Lock, this client could not get it.
        const auto plain = holder(keyC, shiftSuper);
        QVERIFY(plain);
        press(u"shift+super+c"_s, {});
    }

    void suspendedActionIsFreeForOthersUntilResumed()
    {
        m_center->registerAll();
        m_center->suspend(HotKeyAction::grabRegion);
        m_center->registerAll();
        press(u"shift+super+6"_s, {});
        QVERIFY(holder(key6, shiftSuper));
        m_center->resume(HotKeyAction::grabRegion);
        // The other client's grab may outlive it by a moment.
        QVERIFY(QTest::qWaitFor([this] {
            if (!m_center->failed().isEmpty())
                m_center->registerAll();
            return m_center->failed().isEmpty();
        }, 1000));
        press(u"shift+super+6"_s, {HotKeyAction::grabRegion});

        // Nothing stays grabbed once the grabber is gone.
        m_center.reset();
        m_grabber.reset();
        QVERIFY(holder(key6, shiftSuper));
    }

    void keysAreNamedInTheLayoutWhileRunning_data()
    {
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("character");  // empty: the key types nothing
        const QStringList us{u"us"_s}, de{u"de"_s}, dvorak{u"us"_s, u"-variant"_s, u"dvorak"_s};
        QTest::newRow("us: letter upper-cased") << us << 0u << u"A"_s << u"a"_s;
        QTest::newRow("us: Return") << us << 36u << u"↩"_s << QString();
        QTest::newRow("us: Pause has no name") << us << 113u << u"#113"_s << QString();
        QTest::newRow("de: Y and Z swap") << de << 6u << u"Y"_s << u"y"_s;
        QTest::newRow("de: sharp s on the minus key") << de << 27u << u"ß"_s.toUpper() << u"ß"_s;
        QTest::newRow("de: dead circumflex") << de << 50u << u"#50"_s << QString();
        QTest::newRow("dvorak: o on the S key") << dvorak << 1u << u"O"_s << u"o"_s;
    }
    void keysAreNamedInTheLayoutWhileRunning()
    {
        QFETCH(QStringList, layout);
        QFETCH(quint32, keyCode);
        QFETCH(QString, name);
        QFETCH(QString, character);
        QCOMPARE(Keyboard::character(0), std::optional(u"a"_s));  // the US keymap is loaded
        QVERIFY(setLayout(layout));
        // The server announces the new keymap; it is taken at the next lookup.
        QTRY_COMPARE(Keyboard::name(keyCode), name);
        QCOMPARE(Keyboard::character(keyCode), character.isEmpty() ? std::nullopt : std::optional(character));
        if (!character.isEmpty())
            QCOMPARE(Keyboard::keyCode(character), std::optional<quint16>(keyCode));
    }

    void noServerMeansNoLayout()
    {
        X11KeyboardLayout nowhere(":987");
        QVERIFY(!nowhere.isReadable());
        Keyboard::setLayout(&nowhere);
        QCOMPARE(Keyboard::name(0), u"#0"_s);
        QCOMPARE(Keyboard::keyCode(u"v"_s), std::nullopt);
    }
};

KIWANO_TEST_MAIN(TestX11HotKeys)
#include "test_x11hotkeys.moc"
