// SPDX-License-Identifier: MIT
#include <QDir>
#include <QLocalServer>

#include <list>

#include "capture/capturecontract.h"
#include "platform/privatebus.h"
#include "platform/testpattern.h"
#include "platform/waylandsession.h"

// kiwano-capture under the headless sway, driven through a pointer device of the tests' own and
// wtype, its pictures held against what grim sees of the same pixels.

namespace {

bool sway(const QString &command) { return WaylandSession::swaymsg({command}); }

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

// Native Wayland windows showing the test pattern; arguments: the output and the pattern's seed.
struct Patterns
{
    ~Patterns() { for (QProcess &process : processes) process.kill(), process.waitForFinished(2000); }
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
    ~PointerDevice() { process.kill(), process.waitForFinished(); }
    bool start(int width, int height)
    {
        process.kill(), process.waitForFinished();
        const bool ready = startOn(process, KIWANO_TEST_POINTERDEVICE, {QString::number(width), QString::number(height)})
                               .waitForReadyRead(10000);
        process.readAll();
        return ready;
    }
    // "move X Y", "press" or "release"; true once the compositor has it.
    bool send(const QString &command)
    {
        process.write(command.toLatin1() + '\n');
        return process.waitForReadyRead(5000) && process.readAll().contains("ok");
    }
    bool moveTo(const QPoint &at) { return send(QString("move %1 %2").arg(at.x()).arg(at.y())); }
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
    bool m_outputChanged = false;

    QImage grim(const QStringList &arguments)
    {
        const QString file = m_dir.filePath("grim.png");
        QFile::remove(file);
        return runOnCompositor("grim", arguments + QStringList{file}) == 0 ? opaque(QImage(file)) : QImage();
    }
    QImage shown(const QRect &rect) override
    {
        return grim({"-g", QString("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())});
    }
    QImage shownScreen() override { return grim({"-o", "HEADLESS-1"}); }
    void click(const QPoint &at) override { QVERIFY(m_pointer.moveTo(at) && m_pointer.send("press") && m_pointer.send("release")); }
    void drag(const QPoint &from, const QPoint &to) override
    {
        QVERIFY(m_pointer.moveTo(from) && m_pointer.send("press") && m_pointer.moveTo((from + to) / 2)
                && m_pointer.moveTo(to) && m_pointer.send("release"));
    }
    void press(const QString &key) override { QCOMPARE(runOnCompositor("wtype", {"-k", key}), 0); }
    void moreDrags() override
    {
        // Without sway's window list, picking a window is dragging a region.
        QTest::newRow("picking where windows are unknown")
            << QPoint(40, 30) << QPoint(140, 90) << "-iW" << "SWAYSOCK=" + m_dir.filePath("no-sway-here");
    }
    bool start(const QStringList &arguments, const QString &environment = {}) override
    {
        if (!environment.isEmpty())
            m_extra.insert(environment.section('=', 0, 0), environment.section('=', 1));
        return arguments.first() == "-m" ? launch(arguments) : launchOverlay(arguments);
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
    // Starts an interactive grab and waits until each output has its overlay and the screen shows
    // one, dimmed at either end of the layout (an output the pointer is not on may be drawn only
    // once it is): then they take the pointer.
    bool launchOverlay(const QStringList &arguments)
    {
        QByteArray outputs, tree;
        WaylandSession::swaymsg({"-t", "get_outputs"}, &outputs);
        const QImage before = grim({});
        const auto dimmed = [&before](const QImage &now, int x) {
            return now.size() == before.size() && now.copy(x, 0, 40, 200) != before.copy(x, 0, 40, 200);
        };
        return launch(arguments) && QTest::qWaitFor([&] {
            const QImage now = grim({});
            return WaylandSession::swaymsg({"-t", "get_tree"}, &tree)
                && tree.count("\"app_id\": \"kiwano-capture\"") >= outputs.count("\"active\": true")
                && (dimmed(now, 0) || dimmed(now, before.width() - 40));
        }, 10000);
    }
    // The pattern window fills the output as it now stands, to its far corner.
    bool patternFills(int scale = 1)
    {
        const QImage shown = grim({"-o", "HEADLESS-1"});
        return !shown.isNull() && shown.pixel(shown.width() - 1, shown.height() - 1)
            == TestPattern::at((shown.width() - 1) / scale, (shown.height() - 1) / scale);
    }

private slots:
    void initTestCase()
    {
        if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // Likewise a keyboard: a window asks for its keyboard only once the seat has one, too late
        // for the first key of a wtype that brings the only keyboard along.
        QVERIFY(startOn(m_keyboard, "wtype", {"-s", "3600000"}).waitForStarted());
        QVERIFY(m_pointer.start(1280, 720));
        QVERIFY(m_patterns.show({}));
    }
    void cleanupTestCase() { m_keyboard.kill(), m_keyboard.waitForFinished(); }
    void cleanup()
    {
        stopTool();
        m_extra = {};
        if (std::exchange(m_outputChanged, false)) {
            sway("output HEADLESS-1 scale 1 transform normal");
            QVERIFY(m_pointer.start(1280, 720));
            // Now and then the pattern window misses the change and keeps its old size; a fresh
            // one fills the output.
            if (!QTest::qWaitFor([this] { return patternFills(); }, 10000))
                QVERIFY(m_patterns.show({}));
            QTRY_VERIFY_WITH_TIMEOUT(patternFills(), 10000);
        }
    }

    // At output scale 2 the pointer moves in logical pixels and the grab holds device pixels.
    void dragOnScaledOutputIsWhatGrimSees()
    {
        QVERIFY(sway("output HEADLESS-1 scale 2"));
        m_outputChanged = true;
        QVERIFY(m_pointer.start(640, 360));
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
        m_outputChanged = true;
        QTRY_VERIFY_WITH_TIMEOUT(patternFills(), 10000); // redrawn at the new size
        grabsAs(grim({"-o", "HEADLESS-1"}));
    }

    // Picking takes the window's own pixels, not its output's, as sway lists the windows.
    void pickingGivesTheWindow()
    {
        QVERIFY(sway("workspace 5"));
        Patterns tiled;
        QVERIFY(tiled.show({"-", "4", "--tiled"}) && tiled.show({"-", "5", "--tiled"}));
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
    // it gone; a portal that refuses or says nothing leaves no file either, nor does a compositor
    // that takes the connection and never answers.
    void nothingLeftBehindWithoutScreenCopy_data()
    {
        QTest::addColumn<QString>("portal"); QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("whole screen") << "" << "-m" << 0;
        QTest::newRow("region") << "" << "-i" << 0;
        QTest::newRow("refusing") << "--refuse" << "-m" << 1;
        QTest::newRow("silent") << "--silent" << "-m" << 1;
        QTest::newRow("absent") << "--absent" << "-i" << 1;
        QTest::newRow("silent compositor") << "-" << "-i" << 1;
    }
    void nothingLeftBehindWithoutScreenCopy()
    {
        QFETCH(QString, portal); QFETCH(QString, mode); QFETCH(int, exitCode);
        PrivateBus bus;
        QTemporaryDir screenshots;
        QProcess fake;
        QLocalServer silent;
        QVERIFY(bus.start());
        if (portal == "-") {
            QVERIFY(silent.listen(m_dir.filePath("silent-compositor")));
            m_extra.insert("WAYLAND_DISPLAY", silent.fullServerName());
        } else {
            fake.start(FAKEPORTAL_PATH, {"--screenshots=" + screenshots.path(), portal});
            QVERIFY(fake.waitForReadyRead(5000));
            m_extra.insert("KIWANO_CAPTURE_SERVICE", "portal");
        }
        m_extra.insert("KIWANO_CAPTURE_DEADLINE_MS", "1500");
        m_tool.setProcessChannelMode(QProcess::SeparateChannels);
        const bool region = mode == "-i" && exitCode == 0;
        QVERIFY(region ? launchOverlay({mode}) : launch({mode}));
        if (region)
            drag(QPoint(30, 40), QPoint(230, 170));
        QVERIFY(finishedWith(exitCode));
        fake.kill(), fake.waitForFinished();
        QCOMPARE(QDir(screenshots.path()).entryList(QDir::Files), QStringList());
        const QImage expected = TestPattern::image(QSize(1280, 720), 3);
        if (exitCode == 0) {
            QCOMPARE(opaque(QImage(output())), region ? expected.copy(30, 40, 200, 130) : expected);
        } else {
            QVERIFY(!QFileInfo::exists(output()));
            const QByteArray said = m_tool.readAllStandardError();
            QVERIFY(said.contains(portal == "-" ? "kiwano-capture: no Wayland compositor answers" : "kiwano-capture: "));
        }
    }

    // A second output, added while the session runs: the whole-screen grab takes the focused
    // one, a drag on it takes its pixels, and picking works on either.
    void secondOutput()
    {
        const QString name = "HEADLESS-2";
        QVERIFY(sway("create_output"));
        QVERIFY(sway(QString("output %1 resolution 800x600 position 1280 0").arg(name)));
        // sway opens windows on the focused output.
        QVERIFY(sway(QString("focus output %1").arg(name)));
        QVERIFY(m_patterns.show({name, "2"}));

        const QImage whole = grim({"-o", name});
        QCOMPARE(whole.size(), QSize(800, 600));
        QCOMPARE(whole.pixel(0, 0), TestPattern::at(0, 0, 2));
        grabsAs(whole);
        QFile::remove(output());

        QVERIFY(m_pointer.start(2080, 720)); // the layout is wider now
        const QImage part = grim({"-g", "1380,50 300x200"});
        QVERIFY(start({"-i"}));
        drag(QPoint(1380, 50), QPoint(1680, 250));
        grabsAs(part, {});
        QFile::remove(output());

        // Space switches every output's overlay to picking, not only the one with the keys.
        const QImage first = grim({"-o", "HEADLESS-1"});
        QVERIFY(start({"-i"}));
        press("space");
        click(QPoint(600, 300));
        grabsAs(first, {});
        sway(QString("output %1 disable").arg(name));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestCaptureWayland)
#include "test_capturewayland.moc"
