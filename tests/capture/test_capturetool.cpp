// SPDX-License-Identifier: MIT
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>

#include "capture/capturecontract.h"
#include "capture/historyfixture.h"

#include <xcb/xcb.h>

// kiwano-capture on the real X server, driven like a user would with xdotool.
namespace {

// Our windows are placed in device pixels, as xdotool moves the pointer, whatever the desktop's
// scale; set before the application starts.
[[maybe_unused]] const bool devicePixels = qputenv("QT_ENABLE_HIGHDPI_SCALING", "0") && qunsetenv("QT_SCALE_FACTOR");

class PatternWindow : public QRasterWindow
{
public:
    explicit PatternWindow(const QImage &image) : m_image(image) {}
    void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(0, 0, m_image); }
    QImage m_image;
};

void xdotool(const QStringList &arguments) { QCOMPARE(QProcess::execute("xdotool", arguments), 0); }
void moveTo(const QPoint &point) { xdotool({"mousemove", QString::number(point.x()), QString::number(point.y())}); }
// Whether another client holds the pointer: a grab of our own is refused then.
bool pointerTaken()
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    bool taken = false;
    if (!xcb_connection_has_error(c)) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        auto *reply = xcb_grab_pointer_reply(c, xcb_grab_pointer(c, 0, root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                                                                 XCB_NONE, XCB_NONE, XCB_CURRENT_TIME), nullptr);
        taken = reply && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
        free(reply);
    }
    xcb_disconnect(c); // and any grab of ours with it
    return taken;
}
QImage grabbed(const QRect &rect)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height()).toImage();
}

} // namespace

class TestCaptureTool : public CaptureContract
{
    Q_OBJECT

    QImage m_pattern = HistoryFixture::sample(QSize(320, 200), 7);
    PatternWindow m_fixed{m_pattern}; // placed exactly, outside any window manager
    QRect m_fixedRect;

    // The screen shows the fixed window's pattern, with nothing over it.
    bool patternShown() const { return opaque(grabbed(m_fixedRect)) == opaque(m_pattern); }
    // Once our windows have repainted what the previous overlay covered.
    QImage shown(const QRect &rect) override
    {
        QTest::qWaitFor([this] { return patternShown(); }, 5000);
        return opaque(grabbed(rect));
    }
    QImage shownScreen() override { return shown(QGuiApplication::primaryScreen()->geometry()); }
    QPoint origin() const override { return m_fixedRect.topLeft(); }
    void drag(const QPoint &from, const QPoint &to) override
    {
        moveTo(from), xdotool({"mousedown", "1"}), moveTo((from + to) / 2), moveTo(to), xdotool({"mouseup", "1"});
    }
    void click(const QPoint &at) override { moveTo(at), xdotool({"click", "1"}); }
    void press(const QString &key) override { xdotool({"key", key}); }
    void moreDrags() override
    {
        QTest::newRow("scaled desktop") << QPoint(17, 9) << QPoint(250, 131) << "-i" << QString("QT_SCALE_FACTOR=2");
    }
    bool start(const QStringList &arguments, const QString &environment = {}) override
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("WAYLAND_DISPLAY"); // the X11 road, even when run from a Wayland desktop
        if (!environment.isEmpty())
            env.insert(environment.section('=', 0, 0), environment.section('=', 1));
        m_tool.setProcessEnvironment(env);
        // Our windows repaint what the previous overlay covered.
        if (!QTest::qWaitFor([this] { return patternShown(); }, 5000))
            return false;
        m_tool.start(KIWANO_CAPTURE_TOOL, arguments + QStringList{"-x", output()});
        if (!m_tool.waitForStarted())
            return false;
        if (arguments.first() == "-m")
            return true;
        const int found = QProcess::execute("timeout", {"15", "xdotool", "search", "--sync", "--onlyvisible", "--name", "^kiwano-capture$"});
        // The grabs follow the mapping: the overlay has them once no one else can take the pointer.
        return found == 0 && QTest::qWaitFor(pointerTaken, 5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
        QVERIFY(QFileInfo(KIWANO_CAPTURE_TOOL).isExecutable());
        m_fixedRect = QRect(QGuiApplication::primaryScreen()->geometry().topLeft() + QPoint(100, 80), m_pattern.size());
        m_fixed.setFlags(Qt::Window | Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
        m_fixed.setGeometry(m_fixedRect);
        m_fixed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_fixed));
        QTRY_VERIFY(patternShown());
    }
    void keysAloneSelectARegion()
    {
        QVERIFY(start({"-i"}));
        moveTo(m_fixedRect.topLeft() + QPoint(30, 40));
        // Return starts at the pointer, arrows (Shift for ten) size it, Return again grabs.
        QStringList keys{"key", "--delay", "20", "Return"};
        keys << QStringList(5, "shift+Right") << QStringList(3, "Right") << QStringList(4, "shift+Down")
             << QStringList(2, "Down") << "Left" << "Return";
        xdotool(keys);
        grabsAs(opaque(m_pattern.copy(QRect(30, 40, 52, 42))), {});
    }

    // Without a display the tool cannot grab, and says so where the app reads it.
    void failuresSayWhy()
    {
        QVERIFY(start({"-m"}, "DISPLAY=:9999"));
        QVERIFY(finishedWith(1));
        QVERIFY(m_tool.readAllStandardError().startsWith("kiwano-capture: "));
        QVERIFY(!QFile::exists(output()));
    }
};

KIWANO_TEST_MAIN(TestCaptureTool)
#include "test_capturetool.moc"
