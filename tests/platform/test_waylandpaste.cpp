// SPDX-License-Identifier: MIT
#include "platform/desktopentries.h"
#include "platform/pastecontract.h"
#include "platform/wayland/waylandfrontapp.h"
#include "platform/wayland/waylandkeysender.h"
#include "platform/waylandsession.h"
#include "support/loopturns.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <signal.h>

// Paste through the compositor's virtual keyboard into a native Wayland window, and the focused
// window's application as sway names it, under the test compositor: the shared contract, then a
// compositor that is missing, silent, or falls silent.
class TestWaylandPaste : public PasteContract
{
    Q_OBJECT

    QString skipReason() const override { return WaylandSession::skipReason(); }
    bool copy(const QString &text) override { return run(QStringLiteral("wl-copy"), {text}); }
    bool startWindow(TestProgram &window, const QStringList &arguments) override
    {
        QProcessEnvironment env = WaylandSession::environment();
        env.insert("QT_QPA_PLATFORM", "wayland");
        window.process().setProcessEnvironment(env);
        return window.start(TestProgram::pasteWindowPath(), arguments, 10000);
    }
    QStringList named(const QString &name) const override { return {"--app-id", name}; }
    std::unique_ptr<KeySender> sender() override { return std::make_unique<WaylandKeySender>(WaylandSession::display(), 1000); }
    std::unique_ptr<FrontApp> frontApp() override
    {
        return std::make_unique<WaylandFrontApp>(qEnvironmentVariable("KIWANO_TEST_SWAYSOCK"), 1000);
    }
    void moreNames() override
    {
        QTest::newRow("the file named by its app_id comes first")
            << "org.example.Probe" << QStringList{"launcher.desktop", "Name=Launcher", "Exec=launcher", "StartupWMClass=org.example.Probe",
                           "org.example.Probe.desktop", "Name=Probe", "Exec=probe"}
            << "org.example.Probe";
    }

    // Keeps a keyboard in the seat for the whole run: the headless compositor has none of its
    // own, and a window only takes keys from a seat that had one when it mapped.
    std::unique_ptr<WaylandKeySender> m_seatKeyboard;

    static bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(WaylandSession::environment());
        process.start(program, arguments);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

private slots:
    void initTestCase()
    {
        if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_seatKeyboard = std::make_unique<WaylandKeySender>(WaylandSession::display(), 1000);
        QTRY_VERIFY(m_seatKeyboard->isReady());
        QVERIFY(m_seatKeyboard->isTrusted());
    }

    void cleanupTestCase()
    {
        if (WaylandSession::skipReason().isEmpty())
            run(QStringLiteral("wl-copy"), {QStringLiteral("--clear")});
    }

    void readsTheFocusedWindowFromTheTree_data()
    {
        QTest::addColumn<QByteArray>("tree");
        QTest::addColumn<QString>("identified");

        QTest::newRow("floating XWayland window")
            << QByteArray(R"({"type":"root","nodes":[{"type":"output","nodes":[{"type":"workspace",
                "nodes":[{"type":"con","focused":false,"app_id":"foot","pid":0}],
                "floating_nodes":[{"type":"floating_con","focused":true,"app_id":null,"pid":0,
                  "window_properties":{"class":"Gimp-2.10","instance":"gimp"}}]}]}]})")
            << "Gimp-2.10";
        QTest::newRow("empty workspace")
            << QByteArray(R"({"type":"root","nodes":[{"type":"output","nodes":[
                {"type":"workspace","focused":true,"nodes":[]}]}]})")
            << "";
    }

    void readsTheFocusedWindowFromTheTree()
    {
        QFETCH(QByteArray, tree);
        QFETCH(QString, identified);
        const auto window = WaylandFrontApp::focusedWindow(tree);
        QCOMPARE(window.has_value(), !identified.isEmpty());
        if (window)
            QCOMPARE(WaylandFrontApp::identify(*window, DesktopEntries({})), identified);
    }

    void missingOrSilentCompositorSendsNothing()
    {
        QTemporaryDir dir;
        QLocalServer silent;
        QVERIFY(silent.listen(dir.filePath("silent")));
        for (const QString &socket : {dir.filePath("nobody-here"), dir.filePath("silent")}) {
            QElapsedTimer clock;
            clock.start();
            LoopTurns turns;
            WaylandKeySender sender(socket.toLocal8Bit(), 200);
            // Presumed able until the compositor says otherwise, and waited for only on its thread.
            QVERIFY(!sender.isReady() || socket.endsWith("nobody-here"));
            QTRY_VERIFY(sender.isReady());
            if (socket.endsWith("silent"))
                QVERIFY2(turns.count >= 10, qPrintable(QStringLiteral("the loop turned %1 times").arg(turns.count)));
            QVERIFY(!sender.isTrusted());
            QVERIFY(!sender.sendPaste(false));
            QVERIFY2(clock.elapsed() < 3000, "a silent compositor held the paste far past its deadline");
            QCOMPARE(WaylandFrontApp(socket, 200).identifier(), QString());
        }
    }

    void compositorFallingSilentCostsTheCallerNothing()
    {
        QTemporaryDir runtime;
        QProcess compositor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        compositor.setProcessEnvironment(env);
        compositor.start(KIWANO_TEST_FAKECOMPOSITOR, {"fake-0"});
        QVERIFY(compositor.waitForReadyRead(5000));
        const auto resume = qScopeGuard([&compositor] {
            ::kill(pid_t(compositor.processId()), SIGCONT);
            compositor.kill();
            compositor.waitForFinished();
        });

        WaylandKeySender sender(runtime.filePath("fake-0").toLocal8Bit(), 300);
        QSignalSpy pasted(&sender, &WaylandKeySender::pasted);
        QVERIFY(sender.sendPaste(false));
        QVERIFY(pasted.wait(5000));
        QCOMPARE(pasted.takeFirst().first().toBool(), true);

        // The compositor stops in the middle of the session: the paste returns at once, the caller's
        // loop keeps turning while the keys wait for their confirmation, and the deadline ends it.
        ::kill(pid_t(compositor.processId()), SIGSTOP);
        LoopTurns turns;
        QVERIFY(sender.sendPaste(true));
        QCOMPARE(turns.count, 0);
        QVERIFY(pasted.wait(5000));
        QCOMPARE(pasted.takeFirst().first().toBool(), false);
        QVERIFY2(turns.count >= 10, qPrintable(QStringLiteral("the loop turned %1 times").arg(turns.count)));
        QVERIFY(sender.isTrusted());
    }

};

KIWANO_TEST_GUILESS_MAIN(TestWaylandPaste)
#include "test_waylandpaste.moc"
