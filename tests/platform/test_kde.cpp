// SPDX-License-Identifier: MIT
#include "platform/kde/kdekeyboardlayout.h"
#include "platform/kde/kglobalaccelgrabber.h"
#include "platform/kde/kwinkeysender.h"
#include "platform/kde/kwinscreenshot.h"
#include "platform/keycodes.h"
#include "platform/session.h"
#include "privatebus.h"
#include "support/files.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusUnixFileDescriptor>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <linux/input-event-codes.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

namespace {
const QString kglobalaccel = QStringLiteral("org.kde.kglobalaccel");

// KDE's shortcut service as far as we use it: it records what it is told, gives every action the
// keys asked for unless they are in `taken`, and lets the test press them.
class FakeKGlobalAccel : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KGlobalAccel")

public:
    QList<int> taken;
    QStringList registered, inactive;
    QList<QPair<QList<int>, uint>> set;  // keys and flags, by call

public slots:
    void doRegister(const QStringList &actionId) { registered << actionId.value(1); }
    void setInactive(const QStringList &actionId) { inactive << actionId.value(1); }
    QList<int> setShortcut(const QStringList &, const QList<int> &keys, uint flags)
    {
        set.append({keys, flags});
        QList<int> given;
        for (int key : keys)
            if (!taken.contains(key))
                given << key;
        return given;
    }

signals:
    void yourShortcutGotChanged(const QStringList &actionId, const QList<int> &newKeys);
};

// KWin's screenshot service: writes a picture whose rows are padded, as KWin's may be, or refuses.
class FakeScreenShot : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.ScreenShot2")

public:
    bool refuse = false;
    QImage picture;

public slots:
    QVariantMap CaptureWorkspace(const QVariantMap &, const QDBusUnixFileDescriptor &pipe, const QDBusMessage &message)
    {
        if (refuse) {
            QDBusConnection::sessionBus().send(message.createErrorReply(
                QStringLiteral("org.kde.KWin.ScreenShot2.Error.NoAuthorized"), QStringLiteral("The process is not authorized")));
            return {};
        }
        const int stride = int(picture.bytesPerLine()) + 16;
        QByteArray raw(qsizetype(stride) * picture.height(), '\x55');
        for (int y = 0; y < picture.height(); ++y)
            std::memcpy(raw.data() + qsizetype(y) * stride, picture.constScanLine(y), size_t(picture.bytesPerLine()));
        // KWin answers first and writes afterwards; more than a pipe holds.
        const int fd = ::dup(pipe.fileDescriptor());
        std::thread([fd, raw] {
            for (qsizetype at = 0; at < raw.size();) {
                const ssize_t n = ::write(fd, raw.constData() + at, size_t(raw.size() - at));
                if (n <= 0)
                    break;
                at += n;
            }
            ::close(fd);
        }).detach();
        return {{QStringLiteral("type"), QStringLiteral("raw")}, {QStringLiteral("width"), picture.width()},
                {QStringLiteral("height"), picture.height()}, {QStringLiteral("stride"), stride},
                {QStringLiteral("format"), int(picture.format())}};
    }
};

} // namespace

// KDE Plasma's own services: how the session is told they are there, and our clients of
// KGlobalAccel, ScreenShot2 and the fake input's keymap, against fakes on a private session bus.
class TestKde : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;

private slots:
    void initTestCase()
    {
        if (!m_bus.start())
            QSKIP("no dbus-daemon to start a session bus");
        qDBusRegisterMetaType<QList<int>>();
    }

    void probeTrustsShortcutsOnlyFromKWin()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
        // Released even when a check fails, so that the next test finds the names free.
        const auto release = qScopeGuard([&bus] {
            for (const QString &name : {QStringLiteral("org.kde.KWin"), QStringLiteral("org.kde.KWin.ScreenShot2"), kglobalaccel})
                bus.unregisterService(name);
            QDBusConnection::disconnectFromBus(QStringLiteral("other"));
        });
        const auto told = [&bus] {  // KWin's shortcuts, KWin's screenshots
            SessionFacts facts;
            facts.kind = SessionFacts::Kind::wayland;
            SessionProbe probe;
            QSignalSpy finished(&probe, &SessionProbe::finished);
            probe.start(facts, {}, bus, 500);
            finished.wait(5000);
            return std::pair(probe.facts().hasKWinShortcuts, probe.facts().hasKWinScreenShot);
        };
        // A shortcut daemon of its own, without KWin, sees no keys under another compositor.
        QVERIFY(other.registerService(kglobalaccel));
        QCOMPARE(told(), std::pair(false, false));
        // KWin serving the screenshots, another process the shortcuts.
        QVERIFY(bus.registerService(QStringLiteral("org.kde.KWin")) && bus.registerService(QStringLiteral("org.kde.KWin.ScreenShot2")));
        QCOMPARE(told(), std::pair(false, true));
        // KWin serving both, as Plasma's does.
        QVERIFY(other.unregisterService(kglobalaccel) && bus.registerService(kglobalaccel));
        QCOMPARE(told(), std::pair(true, true));
    }

    void shortcutsFollowOurKeys()
    {
        QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("kglobalaccel"));
        FakeKGlobalAccel fake;
        QVERIFY(service.registerObject(QStringLiteral("/kglobalaccel"), &fake,
                                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(service.registerService(kglobalaccel));
        const auto release = qScopeGuard([&service] {
            service.unregisterService(kglobalaccel);
            QDBusConnection::disconnectFromBus(QStringLiteral("kglobalaccel"));
        });
        const int shiftMeta = int(Qt::SHIFT | Qt::META);
        fake.taken = {shiftMeta | Qt::Key_C};
        QList<HotKeyId> pressed;
        {
            KGlobalAccelGrabber grabber;
            grabber.installPressHandler([&pressed](HotKeyId id) { pressed << id; return true; });
            QSignalSpy bound(&grabber, &KGlobalAccelGrabber::shortcutsBound);
            // Shift+Super+6 (virtual key 22) grabs a region, Shift+Super+C (8) opens the picker.
            const auto region = grabber.grab(22, 1 | 64, {0x6b697769, 0});
            QVERIFY(region && grabber.grab(8, 1 | 64, {0x6b697769, 3}));
            QTRY_COMPARE(bound.size(), 2);
            QCOMPARE(fake.registered, QStringList({QStringLiteral("grabRegion"), QStringLiteral("clipboard")}));
            // The digit also by the symbol it types with Shift, as KWin matches it; at start the
            // keys saved in System Settings win (flag 2).
            QCOMPARE(fake.set.value(0), std::pair(QList<int>{shiftMeta | Qt::Key_6, int(Qt::META) | Qt::Key_AsciiCircum}, 2u));
            QCOMPARE(fake.set.value(1).first, QList<int>{shiftMeta | Qt::Key_C});
            QCOMPARE(grabber.boundTriggers().keys(), QStringList({QStringLiteral("grabRegion")}));

            QDBusMessage press = QDBusMessage::createSignal(QStringLiteral("/component/kiwano_snapper"),
                QStringLiteral("org.kde.kglobalaccel.Component"), QStringLiteral("globalShortcutPressed"));
            press << QStringLiteral("kiwano-snapper") << QStringLiteral("grabRegion") << qlonglong(1);
            QVERIFY(service.send(press));
            QTRY_COMPARE(pressed.size(), 1);
            QCOMPARE(pressed.first().number, 0u);

            // Changed in System Settings: the settings show what KDE holds now.
            emit fake.yourShortcutGotChanged({QStringLiteral("kiwano-snapper"), QStringLiteral("clipboard")},
                                             {int(Qt::CTRL | Qt::Key_F9)});
            QTRY_VERIFY(grabber.boundTriggers().contains(QStringLiteral("clipboard")));

            // Changed in our settings: released, then grabbed again with the new keys, which win.
            grabber.release(*region);
            QTRY_COMPARE(fake.inactive, QStringList{QStringLiteral("grabRegion")});
            QVERIFY(grabber.grab(23, 1 | 64, {0x6b697769, 0}));
            QTRY_COMPARE(fake.set.size(), 3);
            QCOMPARE(fake.set[2].second, 2u | 4u);
            // Keys no one can name are not sent.
            QVERIFY(!grabber.grab(0xffff, 0, {0x6b697769, 1}));
        }
        // Gone: the shortcuts stop firing but stay listed.
        QTRY_COMPARE(fake.inactive.size(), 3);
    }

    void screenShotReadsPaddedRowsAndRefusals()
    {
        QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("kwin"));
        FakeScreenShot fake;
        fake.picture = QImage(300, 200, QImage::Format_ARGB32);
        for (int y = 0; y < fake.picture.height(); ++y)
            for (int x = 0; x < fake.picture.width(); ++x)
                fake.picture.setPixel(x, y, qRgb(x % 256, y, (x * 7 + y) % 256));
        QVERIFY(service.registerObject(QStringLiteral("/org/kde/KWin/ScreenShot2"), &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QStringLiteral("org.kde.KWin.ScreenShot2")));
        QVERIFY(KWinScreenShot::isOffered());
        const auto take = [] {
            auto result = std::async(std::launch::async, [] { return KWinScreenShot::take(KWinScreenShot::Target::workspace, 3000); });
            // The fake answers on this thread's loop meanwhile.
            while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
                QCoreApplication::processEvents();
            return result.get();
        };
        KWinScreenShot::Result result = take();
        QCOMPARE(result.picture.convertToFormat(QImage::Format_RGB32), fake.picture.convertToFormat(QImage::Format_RGB32));

        // Not trusted: a refusal the caller can fall back from.
        fake.refuse = true;
        result = take();
        QVERIFY(result.picture.isNull() && result.refused);
        QVERIFY(result.error.contains(QLatin1String("does not let")));

        service.unregisterService(QStringLiteral("org.kde.KWin.ScreenShot2"));
        QDBusConnection::disconnectFromBus(QStringLiteral("kwin"));
        QVERIFY(!KWinScreenShot::isOffered());
        QVERIFY(KWinScreenShot::take(KWinScreenShot::Target::workspace, 1000).refused);
    }

    void pasteKeyFollowsTheLayout()
    {
        const auto keymapOf = [](const char *layout, const char *variant) {
            xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
            const xkb_rule_names names{"evdev", "pc105", layout, variant, nullptr};
            xkb_keymap *keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
            char *string = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
            const QByteArray text(string);
            std::free(string);
            xkb_keymap_unref(keymap);
            xkb_context_unref(context);
            return text;
        };
        const QByteArray dvorak = keymapOf("us", "dvorak");
        if (dvorak.isEmpty())
            QSKIP("no XKB data to compile keymaps (xkb-data)");
        QCOMPARE(KWinKeySender::pasteKeyIn(keymapOf("us", "")), quint32(KEY_V));
        // On Dvorak the v lies where a US keyboard has its full stop.
        QCOMPARE(KWinKeySender::pasteKeyIn(dvorak), quint32(KEY_DOT));
        // A German keyboard has it where a US one does; the Y and Z swap does not touch it.
        QCOMPARE(KWinKeySender::pasteKeyIn(keymapOf("de", "")), quint32(KEY_V));
        QCOMPARE(KWinKeySender::pasteKeyIn("not a keymap"), quint32(KEY_V));
    }

    void keysAreNamedInPlasmasLayout()
    {
        QTemporaryDir config;
        const auto named = [&config](const QByteArray &kxkbrc, quint32 evdev) {
            QFile::remove(config.filePath(QStringLiteral("kxkbrc")));
            if (!kxkbrc.isEmpty())
                TestFiles::write(config.filePath(QStringLiteral("kxkbrc")), kxkbrc);
            return KdeKeyboardLayout(config.path()).text(*KeyCodes::fromEvdev(evdev)).value_or(QStringLiteral("none"));
        };
        if (named({}, KEY_Y) == QLatin1String("none"))
            QSKIP("no XKB data to compile keymaps (xkb-data)");
        // Nothing set up: a US keyboard.
        QCOMPARE(named({}, KEY_Y), QStringLiteral("y"));
        // German first, then US: the Y key types z, and the key right of 0 a sharp s.
        const QByteArray german = "[Layout]\nLayoutList=de,us\nUse=true\nVariantList=,\n";
        QCOMPARE(named(german, KEY_Y), QStringLiteral("z"));
        QCOMPARE(named(german, KEY_MINUS), QStringLiteral("\u00df"));
        // A variant of the first layout: Dvorak's v where a US keyboard has its full stop.
        QCOMPARE(named("[Layout]\nLayoutList=us\nVariantList=dvorak\nUse=true\n", KEY_DOT), QStringLiteral("v"));
        // Layouts listed but not in use: Plasma keeps the system's, taken as US.
        QCOMPARE(named("[Layout]\nLayoutList=de\nUse=false\n", KEY_Y), QStringLiteral("y"));
        // Keys that type nothing have no text.
        QCOMPARE(named(german, KEY_LEFTSHIFT), QStringLiteral("none"));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestKde)
#include "test_kde.moc"
