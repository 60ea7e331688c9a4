// SPDX-License-Identifier: MIT
// The picker on a real X server with a window manager: another application's window keeps the
// focus while the picker takes the keys, and the chosen entry is pasted into that window.
#include "clipboard/clipboard.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpanelhost.h"
#include "clipboard/picker/view/clipboardpickerview.h"
#include "clipboard/store.h"
#include "hotkeys/hotkeycenter.h"
#include "platform/testprograms.h"
#include "platform/x11/x11clipboardservice.h"
#include "platform/x11/x11frontapp.h"
#include "platform/x11/x11hotkeygrabber.h"
#include "platform/x11/x11keysender.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

bool xdotool(const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    const bool ran = process.waitForFinished(10000) && process.exitCode() == 0;
    if (output)
        *output = process.readAllStandardOutput().trimmed();
    return ran;
}

quint32 activeWindow()
{
    QByteArray window;
    return xdotool({"getactivewindow"}, &window) ? window.toUInt() : 0;
}

// Another application that holds the keyboard, as an open menu does.
struct KeyboardHolder
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    ~KeyboardHolder() { xcb_disconnect(connection); }
    bool grab()
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        auto *reply = xcb_grab_keyboard_reply(
            connection, xcb_grab_keyboard(connection, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC), nullptr);
        const bool grabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        return grabbed;
    }
    void release()
    {
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
};

// The X server's keystrokes, counted.
struct CountingKeySender : X11KeySender
{
    bool sendPaste(bool terminal) override
    {
        ++pastes;
        return X11KeySender::sendPaste(terminal);
    }
    int pastes = 0;
};

} // namespace

class TestPickerX11 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<X11ClipboardService> m_service;
    std::unique_ptr<X11FrontApp> m_front;
    std::unique_ptr<CountingKeySender> m_keys;
    std::unique_ptr<Clipboard> m_clipboard;
    std::unique_ptr<X11HotKeyGrabber> m_grabber;
    std::unique_ptr<HotKeyCenter> m_hotKeys;
    std::unique_ptr<ClipboardPanelHost> m_host;
    std::unique_ptr<TestProgram> m_window;
    KeyboardHolder m_other;

    ClipboardPanel &panel() { return m_host->panel(); }
    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
    bool openByShortcut()
    {
        QSignalSpy taken(&panel(), &ClipboardPanel::keysTaken);
        return xdotool({"key", "shift+super+c"}) && QTest::qWaitFor([&] { return panel().isVisible() && !taken.isEmpty(); }, 5000);
    }
    // Waits, with the event loop running so that the paste can be typed and the clipboard served,
    // until the test window reports the text it holds: this text, pasted once.
    void expectPasted(const QString &text)
    {
        QTRY_VERIFY(!m_window->lines().filter("text ").isEmpty());
        QCOMPARE(m_window->lines().filter("text "), QStringList{"text " + text});
        QCOMPARE(m_keys->pastes, 1);
    }
    // Keys typed now still reach the window in front: it reports Ctrl+Alt+V without pasting.
    bool windowHasTheKeys()
    {
        return xdotool({"key", "ctrl+alt+v"}) && QTest::qWaitFor([this] { return m_window->lines().contains("key ctrl+alt+v"); }, 5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home.filePath("config"));
        m_service = std::make_unique<X11ClipboardService>();
        m_front = std::make_unique<X11FrontApp>();
        m_keys = std::make_unique<CountingKeySender>();
        m_grabber = std::make_unique<X11HotKeyGrabber>();
        m_hotKeys = std::make_unique<HotKeyCenter>();
        m_hotKeys->setGrabber(m_grabber.get());
    }
    void cleanupTestCase() { m_hotKeys->setGrabber(nullptr); }

    void init()
    {
        m_clipboard = std::make_unique<Clipboard>(m_service.get(), m_front.get(), m_keys.get(), m_home.filePath("Clipboard"));
        m_clipboard->clear(true);
        QDateTime now(QDate(2026, 12, 5), QTime(9, 0));
        m_clipboard->setClock([&now] { return now = now.addSecs(1); });
        for (const char *title : {"five", "four", "three", "two", "one"})
            m_clipboard->add({{"text/plain", title}}, std::nullopt);
        m_clipboard->finishPendingCopies();
        m_clipboard->setClock({});

        m_keys->pastes = 0;
        m_host = std::make_unique<ClipboardPanelHost>(*m_clipboard, *m_hotKeys);
        m_hotKeys->setOnPress([this](HotKeyAction action) { m_host->handlePress(action); });
        m_hotKeys->registerAll();
        QVERIFY(!m_hotKeys->failed().contains(HotKeyAction::clipboard));

        m_window = std::make_unique<TestProgram>();
        QVERIFY(m_window->start(TestProgram::pasteWindowPath(), {}));
        QTRY_COMPARE(activeWindow(), m_window->window());
        QVERIFY(xdotool({"mousemove", "900", "300"}));
    }
    void cleanup()
    {
        if (m_host && panel().isVisible())
            panel().close();
        xdotool({"keyup", "shift", "super", "alt", "ctrl"});
        m_other.release();
        m_window.reset();
        m_host.reset();
        m_clipboard.reset();
    }

    // Shift+Super+C opens; C three more times with Shift and Super held walks to the fourth entry;
    // letting go of both (Shift alone is not enough) pastes it.
    void cyclingWithTheModifiersHeld()
    {
        QSignalSpy taken(&panel(), &ClipboardPanel::keysTaken);
        QVERIFY(xdotool({"keydown", "shift", "super"}));
        QVERIFY(xdotool({"key", "c"}));
        QTRY_VERIFY(panel().isVisible() && !taken.isEmpty());
        QCOMPARE(panel().mode(), PickerMode::opening);
        QVERIFY(xdotool({"key", "c", "c", "c"}));
        QTRY_COMPARE(panel().mode(), PickerMode::cycle);
        QVERIFY(xdotool({"keyup", "shift"}));
        QVERIFY(!QTest::qWaitFor([this] { return !panel().isVisible(); }, 300)); // Super still held: it stays
        QVERIFY(xdotool({"keyup", "super"}));
        expectPasted("four");
        QCOMPARE(m_window->lines().filter("key "), QStringList{"key ctrl+v"});
    }

    // A click elsewhere closes the picker (the escape key is pressed offscreen): nothing is copied,
    // the focus stays where it was and the shortcut is the desktop's again. When the window in
    // front goes away meanwhile, choosing still copies and nothing breaks.
    void theAppInFrontKeepsTheFocus()
    {
        const QString before = clipboardText();
        QVERIFY(openByShortcut());
        QVERIFY(xdotool({"mousemove", "1850", "1050", "click", "1"}));
        QTRY_VERIFY(!panel().isVisible());
        QVERIFY(windowHasTheKeys());
        QCOMPARE(clipboardText(), before);

        QVERIFY(openByShortcut());
        const quint32 front = m_window->window();
        m_window->stop();
        QTRY_VERIFY(!xdotool({"getwindowname", QString::number(front)}));
        QVERIFY(xdotool({"key", "Down", "Return"}));
        QTRY_COMPARE(clipboardText(), QStringLiteral("two"));
        QVERIFY(openByShortcut());
    }

    // Another client holds the keyboard when the picker opens: it keeps trying, and gives up after a
    // second rather than let the keys go to the application in front.
    void keyboardHeldByAnotherClient_data()
    {
        QTest::addColumn<int>("heldMs");
        QTest::newRow("let go soon") << 300;
        QTest::newRow("never let go") << -1;
    }
    void keyboardHeldByAnotherClient()
    {
        QFETCH(int, heldMs);
        QVERIFY(m_other.grab());
        if (heldMs >= 0)
            QTimer::singleShot(heldMs, [this] { m_other.release(); });
        QSignalSpy taken(&panel(), &ClipboardPanel::keysTaken);
        m_host->openFromMenu();
        QVERIFY(panel().isVisible());
        if (heldMs < 0) {
            QTRY_VERIFY_WITH_TIMEOUT(!panel().isVisible(), 3000);
            return;
        }
        QTRY_VERIFY(!taken.isEmpty());
        QVERIFY(xdotool({"type", "thr"}));
        QTRY_COMPARE(panel().view()->searchField()->text(), QStringLiteral("thr"));
        // The picker took the keys without taking the focus from the window in front.
        QCOMPARE(activeWindow(), m_window->window());
        QVERIFY(!QApplication::activeWindow());
        QVERIFY(xdotool({"key", "Return"}));
        expectPasted("three");
    }
};

KIWANO_TEST_MAIN(TestPickerX11)
#include "test_pickerx11.moc"
