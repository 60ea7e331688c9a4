// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include "hotkeys/hotkeycenter.h"
#include "hotkeys/temporarypreferences.h"
#include "platform/x11/x11hotkeygrabber.h"

namespace {

constexpr quint32 keyC = 8;
constexpr quint32 shiftSuper = 0x41;  // X11 Shift + Mod4
constexpr quint32 lockMask = 0x2;

bool run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

bool press(const QString &keys)
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

// A second X client that grabs a combination the way another app would.
class KeyHolder
{
public:
    // Whether it got the combination. A client that quit a moment ago may hold it until the
    // server has noticed, so a refusal is retried for a while.
    bool hold(quint32 keyCode, quint32 x11Modifiers)
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            stop();
            m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            m_process.start(QStringLiteral(KEYHOLDER_PATH),
                            {QString::number(keyCode), QString::number(x11Modifiers)});
            while (!m_process.canReadLine()) {
                if (!m_process.waitForReadyRead(10000))
                    return false;
            }
            if (m_process.readLine().trimmed() == "held")
                return true;
            QTest::qWait(50);
        }
        return false;
    }
    ~KeyHolder() { stop(); }

private:
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

    QProcess m_process;
};

} // namespace

class TestX11HotKeys : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TemporaryPreferences> m_preferences;
    std::unique_ptr<X11HotKeyGrabber> m_grabber;
    std::unique_ptr<HotKeyCenter> m_center;
    QList<HotKeyAction> m_pressed;

    // Presses are checked to arrive once: a second would come within the same round trip.
    void expectPresses(const QList<HotKeyAction> &expected)
    {
        QTRY_COMPARE(m_pressed, expected);
        QTest::qWait(150);
        QCOMPARE(m_pressed, expected);
        m_pressed.clear();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(X11HotKeyGrabber::isAvailable());
        // A bare X server may leave Super_L off every modifier, and then Super+key arrives with
        // no Mod4 in its state. Our combinations need Super on Mod4, as desktops map it.
        QByteArray modifiers;
        QVERIFY(run(QStringLiteral("xmodmap"), {QStringLiteral("-pm")}, &modifiers));
        const QByteArray mod4 = modifiers.mid(modifiers.indexOf("mod4")).split('\n').first();
        if (!mod4.contains("Super_L"))
            QVERIFY(run(QStringLiteral("xmodmap"), {QStringLiteral("-e"), QStringLiteral("add mod4 = Super_L")}));
        QVERIFY(run(QStringLiteral("setxkbmap"), {QStringLiteral("us")}));
    }

    void init()
    {
        m_preferences = std::make_unique<TemporaryPreferences>();
        m_grabber = std::make_unique<X11HotKeyGrabber>();
        m_center = std::make_unique<HotKeyCenter>();
        m_center->setGrabber(m_grabber.get());
        m_center->setOnPress([this](HotKeyAction action) { m_pressed.append(action); });
        m_pressed.clear();
    }
    void cleanup()
    {
        m_center.reset();
        m_grabber.reset();
        m_preferences.reset();
    }

    void pressReachesTheActionWhateverTheLocks_data()
    {
        QTest::addColumn<QStringList>("locks");
        QTest::newRow("no lock") << QStringList();
        QTest::newRow("Caps Lock") << QStringList{QStringLiteral("Caps_Lock")};
        QTest::newRow("Num Lock") << QStringList{QStringLiteral("Num_Lock")};
        QTest::newRow("both") << QStringList{QStringLiteral("Caps_Lock"), QStringLiteral("Num_Lock")};
    }
    void pressReachesTheActionWhateverTheLocks()
    {
        QFETCH(QStringList, locks);
        m_center->registerAll();
        QVERIFY(m_center->failed().isEmpty());

        for (const QString &lock : locks)
            QVERIFY(press(lock));
        const auto unlock = qScopeGuard([&] { for (const QString &lock : locks) press(lock); });

        QVERIFY(press(QStringLiteral("shift+super+6")));
        expectPresses({HotKeyAction::grabRegion});
        QVERIFY(press(QStringLiteral("shift+super+c")));
        expectPresses({HotKeyAction::clipboard});
        // Other modifiers are another combination.
        QVERIFY(press(QStringLiteral("super+6")));
        QVERIFY(press(QStringLiteral("ctrl+shift+super+6")));
        expectPresses({});
    }

    void holdingTheKeysIsOnePress()
    {
        m_center->registerAll();
        const QString xdotool = QStringLiteral("xdotool");
        QVERIFY(run(xdotool, {QStringLiteral("keydown"), QStringLiteral("shift+super+6")}));
        QTest::qWait(1500);  // past the keyboard's repeat delay
        QVERIFY(run(xdotool, {QStringLiteral("keyup"), QStringLiteral("shift+super+6")}));
        expectPresses({HotKeyAction::grabRegion});
        QVERIFY(press(QStringLiteral("shift+super+6")));
        expectPresses({HotKeyAction::grabRegion});
    }

    void numLockOnAnotherModifierIsFound()
    {
        const QString xmodmap = QStringLiteral("xmodmap");
        const QString e = QStringLiteral("-e");
        QVERIFY(run(xmodmap, {e, QStringLiteral("remove mod2 = Num_Lock"), e,
                              QStringLiteral("add mod3 = Num_Lock")}));
        const auto restore = qScopeGuard([&] {
            run(xmodmap, {e, QStringLiteral("remove mod3 = Num_Lock"), e,
                          QStringLiteral("add mod2 = Num_Lock")});
        });
        m_center->registerAll();
        QVERIFY(press(QStringLiteral("Num_Lock")));
        const auto unlock = qScopeGuard([] { press(QStringLiteral("Num_Lock")); });
        QVERIFY(press(QStringLiteral("shift+super+6")));
        expectPresses({HotKeyAction::grabRegion});
    }

    void combinationHeldByAnotherClientFails()
    {
        KeyHolder holder;
        QVERIFY(holder.hold(keyC, shiftSuper));
        m_center->registerAll();
        QCOMPARE(m_center->failed(), QSet<HotKeyAction>{HotKeyAction::clipboard});
        QVERIFY(press(QStringLiteral("shift+super+6")));
        expectPresses({HotKeyAction::grabRegion});
    }

    void failedRegistrationLeavesNoPartialGrab()
    {
        // The other client holds only the Caps Lock variants; our plain ones would succeed.
        {
            KeyHolder capsOnly;
            QVERIFY(capsOnly.hold(keyC, shiftSuper | lockMask));
            m_center->registerAll();
            QCOMPARE(m_center->failed(), QSet<HotKeyAction>{HotKeyAction::clipboard});
        }
        // Had the variants without Caps Lock stayed with us, this client could not get them.
        KeyHolder plain;
        QVERIFY(plain.hold(keyC, shiftSuper));
        QVERIFY(press(QStringLiteral("shift+super+c")));
        expectPresses({});
    }

    void sameCombinationForTwoActionsRegistersOnce()
    {
        // Only a hand-edited store can hold this; the second action is reported, not doubled.
        const QByteArray shiftSuper6 = HotKey(22, HotKey::shift | HotKey::command).toJson();
        TemporaryPreferences::store().setValue(QStringLiteral("hotkey.grabScreen"), shiftSuper6);
        m_center->registerAll();
        QCOMPARE(m_center->failed(), QSet<HotKeyAction>{HotKeyAction::grabScreen});
        QVERIFY(press(QStringLiteral("shift+super+6")));
        expectPresses({HotKeyAction::grabRegion});
    }

    void suspendedActionIsNotGrabbed()
    {
        m_center->registerAll();
        m_center->suspend(HotKeyAction::grabRegion);
        QVERIFY(press(QStringLiteral("shift+super+6")));
        expectPresses({});
        {
            KeyHolder other;  // the combination is free for others while suspended
            QVERIFY(other.hold(22, shiftSuper));
        }
        m_center->resume(HotKeyAction::grabRegion);
        // The other client's grab may outlive it by a moment.
        for (int attempt = 0; attempt < 20 && !m_center->failed().isEmpty(); ++attempt) {
            QTest::qWait(50);
            m_center->registerAll();
        }
        QVERIFY(m_center->failed().isEmpty());
        QVERIFY(press(QStringLiteral("shift+super+6")));
        expectPresses({HotKeyAction::grabRegion});
    }

    void nothingStaysGrabbedOnceTheGrabberIsGone()
    {
        m_center->registerAll();
        m_center.reset();
        m_grabber.reset();
        KeyHolder after;
        QVERIFY(after.hold(22, shiftSuper));
    }
};

QTEST_MAIN(TestX11HotKeys)
#include "test_x11hotkeys.moc"
