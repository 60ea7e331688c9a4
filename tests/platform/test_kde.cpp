// SPDX-License-Identifier: MIT
#include "platform/kde/kdekeyboardlayout.h"
#include "platform/kde/kglobalaccelgrabber.h"
#include "platform/kde/kwinkeysender.h"
#include "platform/kde/kwinscreenshot.h"
#include "platform/keycodes.h"
#include "platform/session.h"
#include "privatebus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusUnixFileDescriptor>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <linux/input-event-codes.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

using Kind = SessionFacts::Kind;

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

// The facts of a session written as words, as in the session's own test.
SessionFacts factsFrom(const QString &words)
{
    const QStringList has = words.split(u' ', Qt::SkipEmptyParts);
    SessionFacts facts;
    facts.kind = Kind::wayland;
    facts.hasX11 = has.contains(QLatin1String("xserver"));
    facts.hasGlobalShortcutsPortal = has.contains(QLatin1String("shortcuts-portal"));
    facts.hasRemoteDesktopPortal = has.contains(QLatin1String("remote-portal"));
    facts.hasScreenshotPortal = has.contains(QLatin1String("screenshot-portal"));
    facts.hasScreencopy = has.contains(QLatin1String("screencopy"));
    facts.hasDataControl = has.contains(QLatin1String("data-control"));
    facts.hasVirtualKeyboard = has.contains(QLatin1String("virtual-keyboard"));
    facts.hasFakeInput = has.contains(QLatin1String("fake-input"));
    facts.hasKWinScreenShot = has.contains(QLatin1String("kwin-screenshot"));
    facts.hasKWinShortcuts = has.contains(QLatin1String("kwin-shortcuts"));
    return facts;
}
} // namespace

// KDE Plasma's own services: which the plan picks, how the session is told they are there, and
// our clients of KGlobalAccel, ScreenShot2 and the fake input's keymap, against fakes on a
// private session bus.
class TestKde : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void plasmaGetsKWinsOwnServices_data();
    void plasmaGetsKWinsOwnServices();
    void probeTrustsShortcutsOnlyFromKWin();
    void shortcutsFollowOurKeys();
    void screenShotReadsPaddedRowsAndRefusals();
    void pasteKeyFollowsTheLayout();
    void keysAreNamedInPlasmasLayout();

private:
    PrivateBus m_bus;
};

void TestKde::initTestCase()
{
    if (!m_bus.start())
        QSKIP("no dbus-daemon to start a session bus");
    QVERIFY(QDBusConnection::sessionBus().isConnected());
    qDBusRegisterMetaType<QList<int>>();
}

void TestKde::plasmaGetsKWinsOwnServices_data()
{
    QTest::addColumn<QString>("facts");
    QTest::addColumn<int>("shortcuts");
    QTest::addColumn<int>("capture");
    QTest::addColumn<int>("paste");
    using S = ServicePlan::Shortcuts;
    using C = ServicePlan::Capture;
    using P = ServicePlan::Paste;
    const QString portals = QStringLiteral("xserver shortcuts-portal remote-portal screenshot-portal data-control ");
    QTest::newRow("plasma, trusted") << portals + "fake-input kwin-screenshot kwin-shortcuts"
                                     << int(S::kglobalaccel) << int(C::kwinScreenShot) << int(P::fakeInput);
    // Installed without its desktop files KWin offers no fake input: the portal asks the user.
    QTest::newRow("plasma, fake input refused") << portals + "kwin-screenshot kwin-shortcuts"
                                                << int(S::kglobalaccel) << int(C::kwinScreenShot) << int(P::portal);
    QTest::newRow("plasma, portals only") << portals << int(S::portal) << int(C::portal) << int(P::portal);
    // A compositor's own protocols still come first.
    QTest::newRow("everything") << portals + "screencopy virtual-keyboard fake-input kwin-screenshot kwin-shortcuts"
                                << int(S::kglobalaccel) << int(C::screencopy) << int(P::virtualKeyboard);
}

void TestKde::plasmaGetsKWinsOwnServices()
{
    QFETCH(QString, facts);
    QFETCH(int, shortcuts);
    QFETCH(int, capture);
    QFETCH(int, paste);
    const ServicePlan chosen = plan(factsFrom(facts));
    QCOMPARE(int(chosen.shortcuts), shortcuts);
    QCOMPARE(int(chosen.capture), capture);
    QCOMPARE(int(chosen.paste), paste);
    QCOMPARE(chosen.clipboard, ServicePlan::Clipboard::dataControl);
    // Settings' "This session" block calls each of them native.
    for (const ServiceAccount &account : chosen.account())
        QCOMPARE(account.state, ServiceAccount::State::native);
}

void TestKde::probeTrustsShortcutsOnlyFromKWin()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
    QVERIFY(other.isConnected());
    const auto probe = [&bus] {
        SessionFacts facts;
        facts.kind = Kind::wayland;
        SessionProbe asking;
        QSignalSpy finished(&asking, &SessionProbe::finished);
        asking.start(facts, {}, bus, 500);
        finished.wait(5000);
        return asking.facts();
    };
    // A shortcut daemon of its own, without KWin, sees no keys under another compositor.
    QVERIFY(other.registerService(kglobalaccel));
    SessionFacts told = probe();
    QVERIFY(!told.hasKWinShortcuts && !told.hasKWinScreenShot);
    // KWin serving the screenshots, another process the shortcuts.
    QVERIFY(bus.registerService(QStringLiteral("org.kde.KWin")));
    QVERIFY(bus.registerService(QStringLiteral("org.kde.KWin.ScreenShot2")));
    told = probe();
    QVERIFY(!told.hasKWinShortcuts);
    QVERIFY(told.hasKWinScreenShot);
    // KWin serving both, as Plasma's does.
    QVERIFY(other.unregisterService(kglobalaccel));
    QVERIFY(bus.registerService(kglobalaccel));
    told = probe();
    QVERIFY(told.hasKWinShortcuts && told.hasKWinScreenShot);
    for (const QString &name : {QStringLiteral("org.kde.KWin"), QStringLiteral("org.kde.KWin.ScreenShot2"), kglobalaccel})
        bus.unregisterService(name);
    QDBusConnection::disconnectFromBus(QStringLiteral("other"));
}

void TestKde::shortcutsFollowOurKeys()
{
    QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("kglobalaccel"));
    FakeKGlobalAccel fake;
    QVERIFY(service.registerObject(QStringLiteral("/kglobalaccel"), &fake,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    QVERIFY(service.registerService(kglobalaccel));
    const int shiftMeta = int(Qt::SHIFT | Qt::META);
    fake.taken = {int(Qt::META | Qt::Key_C) | int(Qt::SHIFT)};

    QList<HotKeyId> pressed;
    {
        KGlobalAccelGrabber grabber;
        grabber.installPressHandler([&pressed](HotKeyId id) { pressed << id; return true; });
        QSignalSpy bound(&grabber, &KGlobalAccelGrabber::shortcutsBound);
        // Shift+Super+6 (virtual key 22) grabs a region, Shift+Super+C (8) opens the picker.
        const auto region = grabber.grab(22, 1 | 64, {0x6b697769, 0});
        const auto picker = grabber.grab(8, 1 | 64, {0x6b697769, 3});
        QVERIFY(region && picker);
        QTRY_COMPARE(fake.set.size(), 2);
        QCOMPARE(fake.registered, QStringList({QStringLiteral("grabRegion"), QStringLiteral("clipboard")}));
        // The digit also by the symbol it types with Shift, as KWin matches it.
        QCOMPARE(fake.set[0].first, QList<int>({shiftMeta | Qt::Key_6, int(Qt::META) | Qt::Key_AsciiCircum}));
        QCOMPARE(fake.set[1].first, QList<int>({shiftMeta | Qt::Key_C}));
        // At start the keys saved in System Settings win.
        QCOMPARE(fake.set[0].second, 2u);
        QTRY_COMPARE(bound.size(), 2);
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
    service.unregisterService(kglobalaccel);
    QDBusConnection::disconnectFromBus(QStringLiteral("kglobalaccel"));
}

void TestKde::screenShotReadsPaddedRowsAndRefusals()
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
        auto result = std::async(std::launch::async, [] {
            return KWinScreenShot::take(KWinScreenShot::Target::workspace, 3000);
        });
        // The fake answers on this thread's loop meanwhile.
        while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return result.get();
    };
    KWinScreenShot::Result result = take();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.picture.size(), fake.picture.size());
    QCOMPARE(result.picture.convertToFormat(QImage::Format_RGB32), fake.picture.convertToFormat(QImage::Format_RGB32));

    // Not trusted: a refusal the caller can fall back from.
    fake.refuse = true;
    result = take();
    QVERIFY(result.picture.isNull());
    QVERIFY(result.refused);
    QVERIFY(result.error.contains(QLatin1String("does not let")));

    service.unregisterService(QStringLiteral("org.kde.KWin.ScreenShot2"));
    QDBusConnection::disconnectFromBus(QStringLiteral("kwin"));
    QVERIFY(!KWinScreenShot::isOffered());
    QVERIFY(KWinScreenShot::take(KWinScreenShot::Target::workspace, 1000).refused);
}

void TestKde::pasteKeyFollowsTheLayout()
{
    const auto keymapOf = [](const char *layout, const char *variant) {
        xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
        const xkb_rule_names names{"evdev", "pc105", layout, variant, nullptr};
        xkb_keymap *keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        QByteArray text;
        if (keymap) {
            char *string = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
            text = string;
            std::free(string);
            xkb_keymap_unref(keymap);
        }
        xkb_context_unref(context);
        return text;
    };
    const QByteArray us = keymapOf("us", ""), dvorak = keymapOf("us", "dvorak");
    if (us.isEmpty() || dvorak.isEmpty())
        QSKIP("no XKB data to compile keymaps (xkb-data)");
    QCOMPARE(KWinKeySender::pasteKeyIn(us), quint32(KEY_V));
    // On Dvorak the v lies where a US keyboard has its full stop.
    QCOMPARE(KWinKeySender::pasteKeyIn(dvorak), quint32(KEY_DOT));
    // A German keyboard has it where a US one does; the Y and Z swap does not touch it.
    QCOMPARE(KWinKeySender::pasteKeyIn(keymapOf("de", "")), quint32(KEY_V));
    QCOMPARE(KWinKeySender::pasteKeyIn("not a keymap"), quint32(KEY_V));
}

void TestKde::keysAreNamedInPlasmasLayout()
{
    QTemporaryDir config;
    const auto named = [&config](const QByteArray &kxkbrc, quint32 evdev) {
        QFile file(config.filePath(QStringLiteral("kxkbrc")));
        if (kxkbrc.isEmpty())
            file.remove();
        else if (file.open(QIODevice::WriteOnly))
            file.write(kxkbrc);
        file.close();
        KdeKeyboardLayout layout(config.path());
        const std::optional<quint16> key = KeyCodes::fromEvdev(evdev);
        return key ? layout.text(*key).value_or(QStringLiteral("none")) : QStringLiteral("no position");
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

KIWANO_TEST_GUILESS_MAIN(TestKde)
#include "test_kde.moc"
