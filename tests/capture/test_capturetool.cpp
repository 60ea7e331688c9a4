// SPDX-License-Identifier: MIT
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QRasterWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "capture/historyfixture.h"

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

QImage opaque(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }
void xdotool(const QStringList &arguments) { QCOMPARE(QProcess::execute("xdotool", arguments), 0); }
void moveTo(const QPoint &point) { xdotool({"mousemove", QString::number(point.x()), QString::number(point.y())}); }
QPoint screenAt(int x, int y) { return QGuiApplication::primaryScreen()->geometry().topLeft() + QPoint(x, y); }

} // namespace

class TestCaptureTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_tool;
    QImage m_pattern = HistoryFixture::sample(QSize(320, 200), 7);
    PatternWindow m_fixed{m_pattern}; // placed exactly, outside any window manager
    QRect m_fixedRect;

    QString output() const { return m_dir.filePath("grab.png"); }
    bool finishedWith(int exitCode) { return m_tool.waitForFinished(15000) && m_tool.exitCode() == exitCode; }
    // The screen shows the fixed window's pattern, with nothing over it.
    bool patternShown() const
    {
        const QImage shown = QGuiApplication::primaryScreen()->grabWindow(0, m_fixedRect.x(), m_fixedRect.y(),
                                                                          m_fixedRect.width(), m_fixedRect.height()).toImage();
        return opaque(shown) == opaque(m_pattern);
    }
    // Starts the tool and, for the interactive modes, waits until its overlay takes input.
    bool start(const QStringList &arguments, const QString &environment = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("WAYLAND_DISPLAY"); // the X11 road, even when run from a Wayland desktop
        if (!environment.isEmpty())
            env.insert(environment.section('=', 0, 0), environment.section('=', 1));
        m_tool.setProcessEnvironment(env);
        // Our windows repaint what the previous overlay covered.
        if (!QTest::qWaitFor([this] { return patternShown(); }, 5000))
            return false;
        m_tool.setProcessChannelMode(QProcess::ForwardedChannels);
        m_tool.start(KIWANO_CAPTURE_TOOL, arguments + QStringList{output()});
        if (!m_tool.waitForStarted())
            return false;
        if (arguments.first() == "-m")
            return true;
        const int found = QProcess::execute("timeout", {"15", "xdotool", "search", "--sync", "--onlyvisible", "--name", "^kiwano-capture$"});
        QTest::qWait(300); // nothing tells when the pointer and keyboard grabs follow the mapping
        return found == 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(KIWANO_CAPTURE_TOOL).isExecutable());
        m_fixedRect = QRect(screenAt(100, 80), m_pattern.size());
        m_fixed.setFlags(Qt::Window | Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
        m_fixed.setGeometry(m_fixedRect);
        m_fixed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_fixed));
        QTRY_VERIFY(patternShown());
    }
    void cleanup()
    {
        if (m_tool.state() != QProcess::NotRunning) {
            m_tool.kill();
            m_tool.waitForFinished();
        }
        QFile::remove(output());
    }

    void screenGrabShowsTheScreen()
    {
        QVERIFY(start({"-m", "-x"}));
        QVERIFY(finishedWith(0));
        const QImage grab(output());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(grab.size(), screen.size());
        QCOMPARE(opaque(grab.copy(m_fixedRect.translated(-screen.topLeft()))), opaque(m_pattern));
    }

    void dragGivesExactlyTheDraggedPixels_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QString>("environment");
        QTest::newRow("down right") << QPoint(10, 20) << QPoint(210, 140) << QString();
        QTest::newRow("up left") << QPoint(300, 190) << QPoint(1, 3) << QString();
        QTest::newRow("one pixel") << QPoint(50, 60) << QPoint(51, 61) << QString();
        QTest::newRow("scaled desktop") << QPoint(17, 9) << QPoint(250, 131) << QString("QT_SCALE_FACTOR=2");
    }
    void dragGivesExactlyTheDraggedPixels()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QString, environment);
        QVERIFY(start({"-i", "-x"}, environment));
        const QPoint a = m_fixedRect.topLeft() + from, b = m_fixedRect.topLeft() + to;
        moveTo(a);
        xdotool({"mousedown", "1"});
        moveTo((a + b) / 2);
        moveTo(b);
        xdotool({"mouseup", "1"});
        QVERIFY(finishedWith(0));
        // A drag of n pixels covers n pixels, whichever way it goes.
        const QRect expected(std::min(from.x(), to.x()), std::min(from.y(), to.y()), std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
        QCOMPARE(opaque(QImage(output())), opaque(m_pattern.copy(expected)));
    }

    void escapeWritesNothing()
    {
        QVERIFY(start({"-i", "-x"}));
        // A click without a drag picks nothing and must not end the selection.
        moveTo(m_fixedRect.topLeft() + QPoint(5, 5));
        xdotool({"click", "1"});
        QTest::qWait(200); // the tool goes on
        QCOMPARE(m_tool.state(), QProcess::Running);
        xdotool({"key", "Escape"});
        QVERIFY(m_tool.waitForFinished(15000));
        QVERIFY(m_tool.exitCode() != 0);
        QCOMPARE(HistoryFixture::names(m_dir.path()), QStringList());
    }

    void keysAloneSelectARegion()
    {
        QVERIFY(start({"-i", "-x"}));
        moveTo(m_fixedRect.topLeft() + QPoint(30, 40));
        // Return starts at the pointer, arrows (Shift for ten) size it, Return again grabs.
        xdotool({"key", "--delay", "20", "Return", "shift+Right", "shift+Right", "shift+Right",
                 "shift+Right", "shift+Right", "Right", "Right", "Right", "shift+Down", "shift+Down",
                 "shift+Down", "shift+Down", "Down", "Down", "Left", "Return"});
        QVERIFY(finishedWith(0));
        QCOMPARE(opaque(QImage(output())), opaque(m_pattern.copy(QRect(30, 40, 52, 42))));
    }

    void aClickAloneIsAnsweredAndFailuresSayWhy()
    {
        QVERIFY(start({"-i", "-x"}));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // The hint line sits at the top while the pointer is well below it.
        moveTo(screen.topLeft() + QPoint(150, 300));
        QTest::qWait(300); // the overlay settles under the pointer before the hint is looked at
        const QRect band(screen.left(), screen.top(), screen.width(), 80);
        const auto hint = [band] {
            return QGuiApplication::primaryScreen()->grabWindow(0, band.x(), band.y(), band.width(), band.height()).toImage();
        };
        const QImage before = hint();
        xdotool({"click", "1"});
        QTRY_VERIFY2(hint() != before, "a click without a drag left the hint as it was");
        QCOMPARE(m_tool.state(), QProcess::Running);
        xdotool({"key", "Escape"});
        QVERIFY(m_tool.waitForFinished(15000));

        // Without a display the tool cannot grab, and says so where the app reads it.
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("WAYLAND_DISPLAY");
        env.insert("DISPLAY", ":9999");
        tool.setProcessEnvironment(env);
        tool.start(KIWANO_CAPTURE_TOOL, {"-m", output()});
        QVERIFY(tool.waitForFinished(15000));
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY2(tool.readAllStandardError().startsWith("kiwano-capture: "), "the tool failed without a word");
        QVERIFY(!QFile::exists(output()));
    }

    void pickingGivesTheWindowsRectangle()
    {
        const QImage content = HistoryFixture::sample(QSize(260, 170), 11);
        PatternWindow window(content);
        window.setGeometry(QRect(screenAt(600, 300), content.size()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The window manager has framed it.
        QTRY_VERIFY(window.frameGeometry().size() != window.geometry().size());
        const QRect frame = window.frameGeometry(), client = window.geometry();
        QVERIFY(start({"-iW", "-x"}));
        moveTo(client.center());
        xdotool({"click", "1"});
        QVERIFY(finishedWith(0));
        const QImage grab(output());
        QCOMPARE(grab.size(), frame.size());
        QCOMPARE(opaque(grab.copy(QRect(client.topLeft() - frame.topLeft(), client.size()))), opaque(content));
    }
};

KIWANO_TEST_MAIN(TestCaptureTool)
#include "test_capturetool.moc"
