// SPDX-License-Identifier: MIT
#include <QDir>
#include <QImage>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

#include <list>

#include "capture/capturecontract.h"
#include "platform/privatebus.h"
#include "platform/testpattern.h"
#include "platform/waylandsession.h"

// kiwano-capture under the headless sway, driven through a pointer device of the tests' own and
// wtype, its pictures held against what grim sees of the same pixels.

namespace {

bool sway(const QString &command) { return WaylandSession::swaymsg({command}); }

// Starts a client of the compositor.
QProcess &startOn(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.setProcessEnvironment(WaylandSession::environment());
    process.start(program, arguments);
    return process;
}

int runOnCompositor(const QString &program, const QStringList &arguments)
{
    QProcess process;
    return startOn(process, program, arguments).waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
        ? process.exitCode() : -1;
}

// Pictures on the compositor's outputs: native Wayland windows showing the test pattern.
struct Patterns
{
    ~Patterns() { for (QProcess &process : processes) process.kill(), process.waitForFinished(2000); }
    // Arguments of kiwano-test-patternwindow: the output and the pattern's seed.
    bool show(const QStringList &arguments)
    {
        QProcess &process = startOn(processes.emplace_back(), KIWANO_TEST_PATTERNWINDOW, arguments);
        return process.waitForReadyRead(10000) && process.readAll().contains("ready");
    }
    std::list<QProcess> processes;
};

// The seat's pointer: positions span the layout, in logical pixels, given at start.
struct PointerDevice
{
    ~PointerDevice() { stop(); }
    bool start(int width, int height)
    {
        stop();
        const bool ready = startOn(process, KIWANO_TEST_POINTERDEVICE, {QString::number(width), QString::number(height)})
                               .waitForReadyRead(10000);
        process.readAll();
        return ready;
    }
    void stop() { process.kill(), process.waitForFinished(); }
    // "move X Y", "press" or "release"; true once the compositor has it.
    bool send(const QString &command)
    {
        process.write(command.toLatin1() + '\n');
        return process.waitForReadyRead(5000) && process.readAll().contains("ok");
    }
    QProcess process;
};

} // namespace

class TestCaptureWayland : public CaptureContract
{
    Q_OBJECT

    PointerDevice m_pointer;
    QProcess m_keyboard;
    Patterns m_patterns;
    QProcessEnvironment m_extra;
    bool m_scaled = false;
    bool m_turned = false;

    QImage grim(const QStringList &arguments)
    {
        const QString file = m_dir.filePath("grim.png");
        QFile::remove(file);
        return runOnCompositor("grim", arguments + QStringList{file}) == 0 ? opaque(QImage(file)) : QImage();
    }
    QString skipReason() const override { return WaylandSession::skipReason(); }
    QImage shown(const QRect &rect) override
    {
        return grim({"-g", QString("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())});
    }
    QImage shownScreen() override { return grim({"-o", "HEADLESS-1"}); }
    void click(const QPoint &at) override
    {
        QVERIFY(pointAt(at) && point("press") && point("release"));
    }
    void press(const QString &key) override { QCOMPARE(runOnCompositor("wtype", {"-k", key}), 0); }
    void moreDrags() override
    {
        // Without sway's window list, picking a window is dragging a region.
        QTest::newRow("picking where windows are unknown")
            << QPoint(40, 30) << QPoint(140, 90) << "-iW" << "SWAYSOCK=" + m_dir.filePath("no-sway-here");
    }
    // Starts the tool and, for the interactive modes, waits until its overlay shows.
    bool start(const QStringList &arguments, const QString &environment = {}) override
    {
        if (!environment.isEmpty())
            m_extra.insert(environment.section('=', 0, 0), environment.section('=', 1));
        return launch(arguments) && (arguments.first() == "-m" || overlayShown());
    }
    bool launch(const QStringList &arguments)
    {
        QProcessEnvironment env = WaylandSession::environment();
        env.remove("QT_QPA_PLATFORM");
        for (const QString &key : m_extra.keys())
            env.insert(key, m_extra.value(key));
        m_tool.setProcessEnvironment(env);
        m_tool.start(KIWANO_CAPTURE_TOOL, arguments + QStringList{"-x", output()});
        return m_tool.waitForStarted();
    }
    // Until the overlay shows on every output (or count of them), then a moment for its first frame.
    bool overlayShown(int count = 1)
    {
        const bool shown = QTest::qWaitFor([count] {
            QByteArray tree;
            WaylandSession::swaymsg({"-t", "get_tree"}, &tree);
            return tree.count("\"app_id\": \"kiwano-capture\"") >= count;
        }, 10000);
        QTest::qWait(300); // nothing tells when the compositor lets the new surface take the pointer
        return shown;
    }
    // The pattern window fills the output as it now stands, to its far corner.
    bool patternFills(int scale = 1)
    {
        const QImage shown = grim({"-o", "HEADLESS-1"});
        return !shown.isNull() && shown.pixel(shown.width() - 1, shown.height() - 1)
            == TestPattern::at((shown.width() - 1) / scale, (shown.height() - 1) / scale);
    }
    // After the output changes back: now and then the pattern window misses the change and keeps
    // its old size; a fresh one fills the output.
    void refillOutput()
    {
        if (QTest::qWaitFor([this] { return patternFills(); }, 10000))
            return;
        QVERIFY(m_patterns.show({}));
        QTRY_VERIFY_WITH_TIMEOUT(patternFills(), 10000);
    }
    void restartPointer(int width, int height) { QVERIFY(m_pointer.start(width, height)); }
    bool point(const QString &command) { return m_pointer.send(command); }
    bool pointAt(const QPoint &at) { return point(QString("move %1 %2").arg(at.x()).arg(at.y())); }
    void drag(const QPoint &from, const QPoint &to) override
    {
        QVERIFY(pointAt(from) && point("press") && pointAt((from + to) / 2) && pointAt(to) && point("release"));
    }

private slots:
    void initTestCase()
    {
        if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // Likewise a keyboard: a window asks for its keyboard only once the seat has one, too late
        // for the first key of a wtype that brings the only keyboard along.
        QVERIFY(startOn(m_keyboard, "wtype", {"-s", "3600000"}).waitForStarted());
        restartPointer(1280, 720);
        QVERIFY(m_patterns.show({}));
    }
    void cleanupTestCase()
    {
        m_pointer.stop();
        m_keyboard.kill();
        m_keyboard.waitForFinished();
    }
    void cleanup()
    {
        stopTool();
        m_extra = {};
        if (m_turned) {
            m_turned = false;
            sway("output HEADLESS-1 transform normal");
            refillOutput();
        }
        if (m_scaled) {
            m_scaled = false;
            sway("output HEADLESS-1 scale 1");
            restartPointer(1280, 720);
            refillOutput();
        }
    }

    // At output scale 2 the pointer moves in logical pixels and the grab holds device pixels.
    void dragOnScaledOutputIsWhatGrimSees()
    {
        QVERIFY(sway("output HEADLESS-1 scale 2"));
        m_scaled = true;
        restartPointer(640, 360);
        QTRY_VERIFY_WITH_TIMEOUT(patternFills(2), 10000);
        const QImage reference = grim({"-g", "10,20 200x120"});
        QCOMPARE(reference.size(), QSize(400, 240));
        QVERIFY(start({"-i"}));
        drag(QPoint(10, 20), QPoint(210, 140));
        grabsAs(reference, {});
    }

    // A turned output is grabbed as it shows, not as its pixels lie.
    void turnedOutputIsWhatGrimSees_data()
    {
        QTest::addColumn<QString>("transform");
        QTest::newRow("90") << "90";
        QTest::newRow("flipped 90") << "flipped-90";
    }
    void turnedOutputIsWhatGrimSees()
    {
        QFETCH(QString, transform);
        QVERIFY(sway("output HEADLESS-1 transform " + transform));
        m_turned = true;
        QTRY_VERIFY_WITH_TIMEOUT(patternFills(), 10000); // redrawn at the new size
        grabsAs(grim({"-o", "HEADLESS-1"}));
    }

    // Picking takes the window's own pixels, not its output's, as sway lists the windows.
    void pickingGivesTheWindow()
    {
        QVERIFY(sway("workspace 5"));
        Patterns tiled;
        QVERIFY(tiled.show({"-", "4", "--tiled"}));
        QVERIFY(tiled.show({"-", "5", "--tiled"}));
        // Each fills its half, to its far corner.
        QTRY_VERIFY_WITH_TIMEOUT([this] {
            const QImage shown = grim({"-o", "HEADLESS-1"});
            return shown.size() == QSize(1280, 720) && shown.pixel(639, 719) == TestPattern::at(639, 719, 4)
                && shown.pixel(1279, 719) == TestPattern::at(639, 719, 5);
        }(), 10000);
        const QImage right = grim({"-g", "640,0 640x720"});
        QVERIFY(start({"-iW"}));
        click(QPoint(900, 400));
        grabsAs(right, {});
        QVERIFY(sway("workspace 1"));
    }

    // Where the compositor offers no screen copy: the portal's picture, and the portal's copy of
    // it gone; a portal that refuses or says nothing leaves no file either.
    void portalPictureWhereNoScreenCopy_data()
    {
        QTest::addColumn<QString>("portal"); QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("whole screen") << "" << "-m" << 0;
        QTest::newRow("region") << "" << "-i" << 0;
        QTest::newRow("refusing") << "--refuse" << "-m" << 1;
        QTest::newRow("silent") << "--silent" << "-m" << 1;
        QTest::newRow("absent") << "--absent" << "-i" << 1;
    }
    void portalPictureWhereNoScreenCopy()
    {
        QFETCH(QString, portal); QFETCH(QString, mode); QFETCH(int, exitCode);
        PrivateBus bus;
        QVERIFY(bus.start());
        QTemporaryDir screenshots;
        QProcess fake;
        fake.start(FAKEPORTAL_PATH, {"--screenshots=" + screenshots.path(), portal});
        QVERIFY(fake.waitForReadyRead(5000));
        m_extra.insert("KIWANO_CAPTURE_SERVICE", "portal");
        m_extra.insert("KIWANO_CAPTURE_DEADLINE_MS", "1500");
        m_tool.setProcessChannelMode(QProcess::SeparateChannels);
        QVERIFY(launch({mode}));
        QImage expected = TestPattern::image(QSize(1280, 720), 3);
        if (mode == "-i" && exitCode == 0) {
            QVERIFY(overlayShown());
            drag(QPoint(30, 40), QPoint(230, 170));
            expected = expected.copy(30, 40, 200, 130);
        }
        QVERIFY(finishedWith(exitCode));
        fake.kill();
        fake.waitForFinished();
        QCOMPARE(QDir(screenshots.path()).entryList(QDir::Files), QStringList());
        if (exitCode == 0) {
            QCOMPARE(opaque(QImage(output())), expected);
        } else {
            QVERIFY(!QFileInfo::exists(output()));
            QVERIFY(m_tool.readAllStandardError().contains("kiwano-capture: "));
        }
    }

    // A second output, added while the session runs: the whole-screen grab takes the focused
    // one, a drag on it takes its pixels, and picking works on either.
    void secondOutput()
    {
        QByteArray before, after;
        QVERIFY(WaylandSession::swaymsg({"-t", "get_outputs"}, &before));
        QVERIFY(sway("create_output"));
        QVERIFY(WaylandSession::swaymsg({"-t", "get_outputs"}, &after));
        const QString name = QString::fromUtf8(after).contains("HEADLESS-2") ? "HEADLESS-2" : QString();
        QVERIFY2(!name.isEmpty(), after.constData());
        QVERIFY(sway(QString("output %1 resolution 800x600 position 1280 0").arg(name)));
        // sway opens windows on the focused output.
        QVERIFY(sway(QString("focus output %1").arg(name)));
        QVERIFY(m_patterns.show({name, "2"}));

        const QImage whole = grim({"-o", name});
        QCOMPARE(whole.size(), QSize(800, 600));
        QCOMPARE(whole.pixel(0, 0), TestPattern::at(0, 0, 2));
        grabsAs(whole);
        QFile::remove(output());

        restartPointer(2080, 720); // the layout is wider now
        const QImage part = grim({"-g", "1380,50 300x200"});
        QVERIFY(start({"-i"}));
        QVERIFY(overlayShown(2));
        drag(QPoint(1380, 50), QPoint(1680, 250));
        grabsAs(part, {});
        QFile::remove(output());

        // Space switches every output's overlay to picking, not only the one with the keys.
        const QImage first = grim({"-o", "HEADLESS-1"});
        QVERIFY(start({"-i"}));
        QVERIFY(overlayShown(2));
        press("space");
        click(QPoint(600, 300));
        grabsAs(first, {});
        sway(QString("output %1 disable").arg(name));
    }

    // Nothing to grab from: a compositor that takes the connection and never answers.
    void silentCompositorLeavesNothing()
    {
        QLocalServer silent;
        QVERIFY(silent.listen(m_dir.filePath("silent-compositor")));
        m_extra.insert("WAYLAND_DISPLAY", silent.fullServerName());
        m_extra.insert("KIWANO_CAPTURE_DEADLINE_MS", "500");
        m_tool.setProcessChannelMode(QProcess::SeparateChannels);
        QVERIFY(launch({"-i"}));
        QVERIFY(m_tool.waitForFinished(15000));
        QCOMPARE(m_tool.exitCode(), 1);
        QVERIFY(!QFileInfo::exists(output()));
        QVERIFY(m_tool.readAllStandardError().contains("kiwano-capture: no Wayland compositor answers"));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestCaptureWayland)
#include "test_capturewayland.moc"
