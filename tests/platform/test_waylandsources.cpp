// SPDX-License-Identifier: MIT
#include "platform/desktopentries.h"
#include "platform/portal/portalscreenshot.h"
#include "platform/wayland/shmimage.h"
#include "platform/wayland/swayipc.h"
#include "platform/wayland/waylandfrontapp.h"
#include "platform/wayland/waylandkeysender.h"
#include "platform/wayland/waylandscreen.h"
#include "support/files.h"
#include "support/loopturns.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <sys/stat.h>
#include <sys/time.h>
#include <wayland-client-protocol.h>

Q_DECLARE_METATYPE(QList<QRect>)

// What the Wayland services read without a session of their own: the compositor's shared-memory
// pixels, sway's window tree and the portal's screenshot file; and how grabs and pastes end when
// the compositor fails, is missing, stays silent or falls silent (a fake one of ours).
class TestWaylandSources : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;
    QProcess m_compositor;

    // The fake compositor with these faults; the path of its socket.
    QByteArray startCompositor(const QStringList &faults)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        m_compositor.setProcessEnvironment(env);
        m_compositor.start(KIWANO_TEST_FAKECOMPOSITOR, QStringList{"fake-0"} + faults);
        return m_compositor.waitForReadyRead(5000) ? m_runtime.filePath("fake-0").toLocal8Bit() : QByteArray();
    }

private slots:
    void cleanup()
    {
        if (m_compositor.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_compositor.processId()), SIGCONT);
        m_compositor.kill();
        m_compositor.waitForFinished();
    }

    void shmPixelsComeOutUpright_data()
    {
        QTest::addColumn<quint32>("format");
        QTest::addColumn<QByteArray>("redPixel");  // bytes of one pure red pixel as they lie in memory
        QTest::addColumn<bool>("yInvert");
        const QByteArray bgrx("\x00\x00\xff\x00", 4), rgbx("\xff\x00\x00\x00", 4);
        QTest::newRow("xrgb") << quint32(WL_SHM_FORMAT_XRGB8888) << bgrx << false;
        QTest::newRow("abgr") << quint32(WL_SHM_FORMAT_ABGR8888) << rgbx << false;
        QTest::newRow("xbgr bottom up") << quint32(WL_SHM_FORMAT_XBGR8888) << rgbx << true;
    }

    void shmPixelsComeOutUpright()
    {
        QFETCH(quint32, format);
        QFETCH(QByteArray, redPixel);
        QFETCH(bool, yInvert);
        // 3 x 2 pixels, rows padded to 16 bytes; red at one corner of the top row as shown, black
        // elsewhere (alpha bytes all zero).
        const int width = 3, height = 2, stride = 16;
        QByteArray pixels(stride * height, '\0');
        const int row = yInvert ? height - 1 : 0;
        pixels.replace(row * stride + 2 * 4, 4, redPixel);
        const QImage image = ShmImage::fromPixels(reinterpret_cast<const uchar *>(pixels.constData()), format,
                                                  width, height, stride, yInvert);
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(image.pixel(2, 0), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(2, 1), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
        // Stored opaque, as RGB32 promises to whatever draws or encodes it next.
        QCOMPARE(qAlpha(reinterpret_cast<const QRgb *>(image.constScanLine(1))[0]), 255);
    }

    void unreadableShmIsNothing()
    {
        const uchar data[64] = {};
        QVERIFY(ShmImage::fromPixels(data, WL_SHM_FORMAT_RGB565, 4, 2, 8, false).isNull());
        QVERIFY(ShmImage::fromPixels(data, WL_SHM_FORMAT_XRGB8888, 4, 2, 12, false).isNull());
        QVERIFY(ShmImage::fromPixels(nullptr, WL_SHM_FORMAT_XRGB8888, 4, 2, 16, false).isNull());
    }

    void swayWindowsTopmostFirst()
    {
        // Trimmed from a real get_tree reply: a tiled and a hidden window on one output, two floating
        // ones over them, a fullscreen window on a second output, a window in the scratchpad.
        const QByteArray tree = R"({"type":"root","nodes":[
          {"type":"output","name":"__i3","nodes":[{"type":"workspace","name":"__i3_scratch","nodes":[],
            "floating_nodes":[{"type":"floating_con","pid":9,"visible":false,"rect":{"x":0,"y":0,"width":50,"height":50}}]}]},
          {"type":"output","name":"HEADLESS-1","nodes":[{"type":"workspace","nodes":[
              {"type":"con","nodes":[
                {"type":"con","pid":1,"visible":true,"fullscreen_mode":0,"rect":{"x":0,"y":0,"width":640,"height":720},"nodes":[]},
                {"type":"con","pid":2,"visible":false,"rect":{"x":640,"y":0,"width":640,"height":720},"nodes":[]}]}],
            "floating_nodes":[
              {"type":"floating_con","pid":3,"visible":true,"rect":{"x":100,"y":100,"width":300,"height":200},"nodes":[]},
              {"type":"floating_con","pid":4,"visible":true,"rect":{"x":150,"y":150,"width":300,"height":200},"nodes":[]}]}]},
          {"type":"output","name":"HEADLESS-2","nodes":[{"type":"workspace","nodes":[
              {"type":"con","pid":5,"visible":true,"fullscreen_mode":1,"rect":{"x":1280,"y":0,"width":800,"height":600},"nodes":[]}],
            "floating_nodes":[]}]}]})";
        const QList<QRect> expected{QRect(1280, 0, 800, 600), QRect(150, 150, 300, 200),
                                    QRect(100, 100, 300, 200), QRect(0, 0, 640, 720)};
        QCOMPARE(SwayIpc::windows(tree), expected);
        QCOMPARE(SwayIpc::windows("not json"), QList<QRect>());
        // The focused output is read against sway itself in the capture tests (secondOutput).

        // The application in front: a floating XWayland window is named by its X11 class; an
        // empty workspace in front is no window.
        const auto focused = WaylandFrontApp::focusedWindow(R"({"type":"root","nodes":[{"type":"output","nodes":[{"type":"workspace",
            "nodes":[{"type":"con","focused":false,"app_id":"foot","pid":0}],
            "floating_nodes":[{"type":"floating_con","focused":true,"app_id":null,"pid":0,
              "window_properties":{"class":"Gimp-2.10","instance":"gimp"}}]}]}]})");
        QVERIFY(focused);
        QCOMPARE(WaylandFrontApp::identify(*focused, DesktopEntries({})), QStringLiteral("Gimp-2.10"));
        QVERIFY(!WaylandFrontApp::focusedWindow(R"({"type":"root","nodes":[{"type":"output","nodes":[
            {"type":"workspace","focused":true,"nodes":[]}]}]})"));
    }

    void portalFileIsTakenOnlyWhenItIsTheFreshCopy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("read");
        QTest::addColumn<bool>("removed");
        QTest::newRow("the portal's fresh copy") << "fresh" << true << true;
        QTest::newRow("a picture that was already there") << "old" << true << false;
        QTest::newRow("a link to the user's picture") << "link" << false << false;
        QTest::newRow("a folder") << "folder" << false << false;
        QTest::newRow("not a local file") << "remote" << false << false;
    }

    void portalFileIsTakenOnlyWhenItIsTheFreshCopy()
    {
        QFETCH(QString, kind);
        QFETCH(bool, read);
        QTemporaryDir dir;
        const QString picture = dir.filePath("picture.png"), answered = dir.filePath("answered.png");
        QVERIFY(TestFiles::write(picture, "picture bytes"));
        const QDateTime askedAt = QDateTime::currentDateTimeUtc();
        const timeval lastYear[2] = {{askedAt.toSecsSinceEpoch() - 365 * 86400, 0}, {askedAt.toSecsSinceEpoch() - 365 * 86400, 0}};
        if (kind == "link")
            QVERIFY(QFile::link(picture, answered));
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(answered));
        else
            QVERIFY(QFile::rename(picture, answered) && (kind != "old" || utimes(QFile::encodeName(answered).constData(), lastYear) == 0));

        const PortalScreenshot::Result result = PortalScreenshot::collect(
            kind == "remote" ? QUrl("https://example.org/answered.png") : QUrl::fromLocalFile(answered), askedAt);
        QCOMPARE(result.picture, read ? QByteArray("picture bytes") : QByteArray());
        QCOMPARE(result.error.isEmpty(), read);
        QTEST(!QFileInfo::exists(answered) && !QFileInfo(answered).isSymLink(), "removed");
        QVERIFY(QFileInfo::exists(picture) || kind != "link");
    }

    void screenCopyFaultsAreSaid_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("said");
        QTest::newRow("copy fails") << "--fail" << "the compositor could not copy screen";
        QTest::newRow("output removed") << "--remove-output" << "went away during the grab";
        QTest::newRow("no answer") << "--silent" << "did not deliver screen";
    }
    void screenCopyFaultsAreSaid()
    {
        QFETCH(QString, fault);
        const auto screen = WaylandScreen::open(startCompositor({fault}));
        QVERIFY(screen);
        QCOMPARE(screen->outputs().size(), 1);
        QCOMPARE(screen->outputs().constFirst().deviceSize, QSize(640, 480));
        QVERIFY(screen->hasScreencopy());
        QVERIFY(screen->grab({0}, 500).isEmpty());
        QFETCH(QString, said);
        QVERIFY2(screen->error().contains(said), qPrintable(screen->error()));
    }

    void missingOrSilentCompositorSendsNothing()
    {
        QLocalServer silent;
        QVERIFY(silent.listen(m_runtime.filePath("silent")));
        for (const QString &socket : {m_runtime.filePath("nobody-here"), m_runtime.filePath("silent")}) {
            QElapsedTimer clock;
            clock.start();
            LoopTurns turns;
            WaylandKeySender sender(socket.toLocal8Bit(), 200);
            // Presumed able until the compositor says otherwise, and waited for only on its thread.
            QVERIFY(!sender.isReady() || socket.endsWith("nobody-here"));
            QTRY_VERIFY(sender.isReady());
            QVERIFY(turns.count >= 10 || socket.endsWith("nobody-here"));
            QVERIFY(!sender.isTrusted());
            QVERIFY(!sender.sendPaste(false));
            QVERIFY2(clock.elapsed() < 3000, "a silent compositor held the paste far past its deadline");
            QCOMPARE(WaylandFrontApp(socket, 200).identifier(), QString());
        }
    }

    void compositorFallingSilentCostsTheCallerNothing()
    {
        WaylandKeySender sender(startCompositor({}), 300);
        QSignalSpy pasted(&sender, &WaylandKeySender::pasted);
        QVERIFY(sender.sendPaste(false));
        QVERIFY(pasted.wait(5000));
        QCOMPARE(pasted.takeFirst().first().toBool(), true);
        // The compositor stops in the middle of the session: the paste returns at once, the caller's
        // loop keeps turning while the keys wait for their confirmation, and the deadline ends it.
        ::kill(pid_t(m_compositor.processId()), SIGSTOP);
        LoopTurns turns;
        QVERIFY(sender.sendPaste(true));
        QCOMPARE(turns.count, 0);
        QVERIFY(pasted.wait(5000));
        QCOMPARE(pasted.takeFirst().first().toBool(), false);
        QVERIFY2(turns.count >= 10, qPrintable(QStringLiteral("the loop turned %1 times").arg(turns.count)));
        QVERIFY(sender.isTrusted());
    }
};

KIWANO_TEST_GUILESS_MAIN(TestWaylandSources)
#include "test_waylandsources.moc"
