// SPDX-License-Identifier: MIT
#include <QSignalSpy>
#include <QTest>

#include "fakes/fakehotkeygrabber.h"
#include "hotkeys/hotkeycenter.h"
#include "temporarypreferences.h"

namespace {
const HotKey shiftSuperC(8, HotKey::shift | HotKey::command);
const HotKey shiftSuper6(22, HotKey::shift | HotKey::command);
} // namespace

class TestHotKeyCenter : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TemporaryPreferences> m_preferences;
    std::unique_ptr<FakeHotKeyGrabber> m_grabber;
    std::unique_ptr<HotKeyCenter> m_center;

    QByteArray stored(HotKeyAction action) const
    {
        return TemporaryPreferences::store()
            .value(QLatin1String("hotkey.") + HotKeyActions::rawValue(action))
            .toByteArray();
    }

private slots:
    void init()
    {
        m_preferences = std::make_unique<TemporaryPreferences>();
        m_grabber = std::make_unique<FakeHotKeyGrabber>();
        m_center = std::make_unique<HotKeyCenter>();
        m_center->setGrabber(m_grabber.get());
    }
    void cleanup()
    {
        m_center.reset();
        m_grabber.reset();
        m_preferences.reset();
    }

    void emptyStoreRegistersTheTwoDefaults()
    {
        QCOMPARE(m_center->key(HotKeyAction::grabRegion), std::optional<HotKey>(shiftSuper6));
        QCOMPARE(m_center->key(HotKeyAction::grabWindow), std::nullopt);
        QCOMPARE(m_center->key(HotKeyAction::grabScreen), std::nullopt);
        QCOMPARE(m_center->key(HotKeyAction::clipboard), std::optional<HotKey>(shiftSuperC));

        m_center->registerAll();
        const auto held = m_grabber->held();
        QCOMPARE(held.size(), 2);
        QCOMPARE(held[0].keyCode, 22u);
        QCOMPARE(held[0].x11Modifiers, 0x41u);  // Shift + Mod4
        QCOMPARE(held[0].id, (HotKeyId{HotKeyCenter::signature, 0}));
        QCOMPARE(held[1].id, (HotKeyId{HotKeyCenter::signature, 3}));
        QCOMPARE(HotKeyCenter::signature, 0x4B574E4Fu);  // "KWNO"
        QVERIFY(m_center->failed().isEmpty());
    }

    void clearedDefaultStaysClearedAfterRestart()
    {
        m_center->set(std::nullopt, HotKeyAction::grabRegion);
        QCOMPARE(stored(HotKeyAction::grabRegion), QByteArray());
        QVERIFY(TemporaryPreferences::store().contains(QStringLiteral("hotkey.grabRegion")));

        HotKeyCenter restarted;
        QCOMPARE(restarted.key(HotKeyAction::grabRegion), std::nullopt);
        QCOMPARE(m_grabber->heldNumbers(), QList<quint32>{3});
    }

    void undecodableValueMeansNoShortcutAndIsKept()
    {
        TemporaryPreferences::store().setValue(QStringLiteral("hotkey.clipboard"), QByteArray("{oops"));
        TemporaryPreferences::store().setValue(QStringLiteral("hotkey.grabWindow"), QStringLiteral("Alt+W"));
        QCOMPARE(m_center->key(HotKeyAction::clipboard), std::nullopt);
        QCOMPARE(m_center->key(HotKeyAction::grabWindow), std::nullopt);

        m_center->registerAll();
        QCOMPARE(m_grabber->heldNumbers(), QList<quint32>{0});
        QVERIFY(m_center->failed().isEmpty());
        QCOMPARE(stored(HotKeyAction::clipboard), QByteArray("{oops"));
    }

    void settingAKeyTakesItFromAnActionThatOnlyHadItByDefault()
    {
        m_center->set(shiftSuperC, HotKeyAction::grabWindow);
        QCOMPARE(stored(HotKeyAction::clipboard), QByteArray());
        QCOMPARE(m_center->key(HotKeyAction::clipboard), std::nullopt);
        QCOMPARE(m_center->key(HotKeyAction::grabWindow), std::optional<HotKey>(shiftSuperC));
        // Untouched actions keep having no entry at all.
        QVERIFY(!TemporaryPreferences::store().contains(QStringLiteral("hotkey.grabRegion")));
        QCOMPARE(m_grabber->heldNumbers(), (QList<quint32>{0, 1}));

        // The same modifiers with another key steal nothing.
        m_center->set(HotKey(9, HotKey::shift | HotKey::command), HotKeyAction::grabScreen);
        QCOMPARE(m_center->key(HotKeyAction::grabWindow), std::optional<HotKey>(shiftSuperC));
    }

    void presetsStoreAllFourActions()
    {
        m_center->applyPreset(&HotKeyPresets::desktopDefault);
        QCOMPARE(m_center->key(HotKeyAction::grabScreen), std::optional<HotKey>(HotKey(105, 0)));
        QCOMPARE(m_grabber->heldNumbers(), (QList<quint32>{0, 1, 2, 3}));

        m_center->applyPreset(&HotKeyPresets::kiwanoDefault);
        QCOMPARE(stored(HotKeyAction::grabWindow), QByteArray());
        QCOMPARE(stored(HotKeyAction::grabRegion), shiftSuper6.toJson());
        QCOMPARE(m_grabber->heldNumbers(), (QList<quint32>{0, 3}));
    }

    void refusedRegistrationLandsInFailed()
    {
        QSignalSpy failedSpy(m_center.get(), &HotKeyCenter::failedChanged);
        QSignalSpy revisionSpy(m_center.get(), &HotKeyCenter::revisionChanged);
        m_grabber->taken.insert({8, 0x41});

        m_center->registerAll();
        QCOMPARE(m_center->failed(), QSet<HotKeyAction>{HotKeyAction::clipboard});
        QCOMPARE(failedSpy.count(), 1);
        QCOMPARE(m_grabber->heldNumbers(), QList<quint32>{0});

        // Unregistering keeps the last verdict; the next registration replaces it.
        m_center->unregisterAll();
        QCOMPARE(m_center->failed().size(), 1);
        m_grabber->taken.clear();
        const int revision = m_center->revision();
        m_center->registerAll();
        QVERIFY(m_center->failed().isEmpty());
        QCOMPARE(m_center->revision(), revision + 1);
        QCOMPARE(revisionSpy.count(), 2);
    }

    void withoutGrabberEveryShortcutFails()
    {
        m_center->setGrabber(nullptr);
        m_center->registerAll();
        QCOMPARE(m_center->failed(),
                 (QSet<HotKeyAction>{HotKeyAction::grabRegion, HotKeyAction::clipboard}));
    }

    void suspendedActionStaysUnregisteredUntilResumed()
    {
        m_center->registerAll();
        m_center->suspend(HotKeyAction::clipboard);
        QCOMPARE(m_grabber->heldNumbers(), QList<quint32>{0});
        m_center->set(shiftSuper6, HotKeyAction::grabRegion);  // re-registers, still without it
        QCOMPARE(m_grabber->heldNumbers(), QList<quint32>{0});

        const int revision = m_center->revision();
        m_center->resume(HotKeyAction::grabScreen);  // was never suspended
        QCOMPARE(m_center->revision(), revision);
        m_center->resume(HotKeyAction::clipboard);
        QCOMPARE(m_center->revision(), revision + 1);
        QCOMPARE(m_grabber->heldNumbers(), (QList<quint32>{0, 3}));
    }

    void pressRunsTheActionLaterOnTheMainThread()
    {
        QList<HotKeyAction> pressed;
        m_center->setOnPress([&](HotKeyAction action) { pressed.append(action); });
        m_center->registerAll();
        m_center->registerAll();
        QCOMPARE(m_grabber->handlersInstalled, 1);

        QVERIFY(m_grabber->press({HotKeyCenter::signature, 2}));
        QVERIFY(pressed.isEmpty());  // not inside the desktop's handler
        QTRY_COMPARE(pressed, QList<HotKeyAction>{HotKeyAction::grabScreen});
    }

    void foreignPressesArePassedOn()
    {
        bool called = false;
        m_center->setOnPress([&](HotKeyAction) { called = true; });
        m_center->registerAll();
        QVERIFY(!m_grabber->press({0x41424344, 0}));
        QVERIFY(!m_grabber->press({HotKeyCenter::signature, 4}));
        QCoreApplication::processEvents();
        QVERIFY(!called);
    }
};

QTEST_GUILESS_MAIN(TestHotKeyCenter)
#include "test_hotkeycenter.moc"
