// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include "hotkeys/hotkeycenter.h"
#include "hotkeys/temporarypreferences.h"
#include "platform/x11/x11hotkeygrabber.h"

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 keyC = 8, key6 = 22;
constexpr quint32 shiftSuper = 0x41;  // X11 Shift + Mod4

bool run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool ran = process.waitForFinished(10000) && process.exitCode() == 0;
    if (ran && output)
        *output = process.readAllStandardOutput();
    return ran;
}

bool xdotool(const QString &keys, const QString &command = u"key"_s)
{
    return run(u"xdotool"_s, {command, keys});
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
            m_process.start(QStringLiteral(KEYHOLDER_PATH), {QString::number(keyCode), QString::number(x11Modifiers)});
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
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(5000);
        }
    }
    QProcess m_process;
};

} // namespace

class TestX11HotKeys : public QObject
{
    Q_OBJECT
    std::unique_ptr<TemporaryPreferences> m_preferences;
    std::unique_ptr<X11HotKeyGrabber> m_grabber;
    std::unique_ptr<HotKeyCenter> m_center;
    QList<HotKeyAction> m_pressed;

    // Types the keys (if any), then checks that exactly these presses arrive, once each: a second
    // would come within the same round trip.
    void press(const QString &keys, const QList<HotKeyAction> &expected)
    {
        if (!keys.isEmpty())
            QVERIFY(xdotool(keys));
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
        QVERIFY(run(u"xmodmap"_s, {u"-pm"_s}, &modifiers));
        if (!modifiers.mid(modifiers.indexOf("mod4")).split('\n').first().contains("Super_L"))
            QVERIFY(run(u"xmodmap"_s, {u"-e"_s, u"add mod4 = Super_L"_s}));
        QVERIFY(run(u"setxkbmap"_s, {u"us"_s}));
    }

    void init()
    {
        m_center.reset();
        m_preferences = std::make_unique<TemporaryPreferences>();
        m_grabber = std::make_unique<X11HotKeyGrabber>();
        m_center = std::make_unique<HotKeyCenter>();
        m_center->setGrabber(m_grabber.get());
        m_center->setOnPress([this](HotKeyAction action) { m_pressed.append(action); });
        m_pressed.clear();
    }

    void pressReachesTheActionWhateverTheLocks_data()
    {
        QTest::addColumn<QStringList>("locks");
        QTest::addColumn<bool>("numLockOnMod3");
        QTest::newRow("no lock") << QStringList() << false;
        QTest::newRow("Caps Lock") << QStringList{u"Caps_Lock"_s} << false;
        QTest::newRow("Num Lock") << QStringList{u"Num_Lock"_s} << false;
        QTest::newRow("both") << QStringList{u"Caps_Lock"_s, u"Num_Lock"_s} << false;
        QTest::newRow("Num Lock on another modifier") << QStringList{u"Num_Lock"_s} << true;
    }
    void pressReachesTheActionWhateverTheLocks()
    {
        QFETCH(QStringList, locks);
        QFETCH(bool, numLockOnMod3);
        const auto moveNumLock = [](const char *from, const char *to) {
            return run(u"xmodmap"_s, {u"-e"_s, "remove %1 = Num_Lock"_L1.arg(from), u"-e"_s, "add %1 = Num_Lock"_L1.arg(to)});
        };
        if (numLockOnMod3)
            QVERIFY(moveNumLock("mod2", "mod3"));
        const auto restore = qScopeGuard([&] {
            for (const QString &lock : locks)
                xdotool(lock);
            if (numLockOnMod3)
                moveNumLock("mod3", "mod2");
        });
        m_center->registerAll();
        QVERIFY(m_center->failed().isEmpty());
        for (const QString &lock : locks)
            QVERIFY(xdotool(lock));

        press(u"shift+super+6"_s, {HotKeyAction::grabRegion});
        press(u"shift+super+c"_s, {HotKeyAction::clipboard});
        // Other modifiers are another combination.
        QVERIFY(xdotool(u"super+6"_s));
        press(u"ctrl+shift+super+6"_s, {});
    }

    void holdingTheKeysIsOnePress()
    {
        m_center->registerAll();
        QVERIFY(xdotool(u"shift+super+6"_s, u"keydown"_s));
        QTest::qWait(1500);  // past the keyboard's repeat delay
        QVERIFY(xdotool(u"shift+super+6"_s, u"keyup"_s));
        press(QString(), {HotKeyAction::grabRegion});
        press(u"shift+super+6"_s, {HotKeyAction::grabRegion});
    }

    void combinationHeldByAnotherClientFailsWhole()
    {
        // Only a hand-edited store gives two actions one combination; the second is reported.
        TemporaryPreferences::plant("grabScreen", HotKey(key6, HotKey::shift | HotKey::command).toJson());
        {
            // The other client holds only the Caps Lock variant; our plain one alone would succeed.
            KeyHolder capsOnly;
            QVERIFY(capsOnly.hold(keyC, shiftSuper | 0x2));
            m_center->registerAll();
            QCOMPARE(m_center->failed(), (QSet<HotKeyAction>{HotKeyAction::clipboard, HotKeyAction::grabScreen}));
            press(u"shift+super+6"_s, {HotKeyAction::grabRegion});
        }
        // Had we kept the variant without Caps Lock, this client could not get it.
        KeyHolder plain;
        QVERIFY(plain.hold(keyC, shiftSuper));
        press(u"shift+super+c"_s, {});
    }

    void suspendedActionIsFreeForOthersUntilResumed()
    {
        m_center->registerAll();
        m_center->suspend(HotKeyAction::grabRegion);
        m_center->registerAll();
        press(u"shift+super+6"_s, {});
        {
            KeyHolder other;
            QVERIFY(other.hold(key6, shiftSuper));
        }
        m_center->resume(HotKeyAction::grabRegion);
        // The other client's grab may outlive it by a moment.
        for (int attempt = 0; attempt < 20 && !m_center->failed().isEmpty(); ++attempt) {
            QTest::qWait(50);
            m_center->registerAll();
        }
        QVERIFY(m_center->failed().isEmpty());
        press(u"shift+super+6"_s, {HotKeyAction::grabRegion});

        // Nothing stays grabbed once the grabber is gone.
        m_center.reset();
        m_grabber.reset();
        KeyHolder after;
        QVERIFY(after.hold(key6, shiftSuper));
    }
};

QTEST_MAIN(TestX11HotKeys)
#include "test_x11hotkeys.moc"
