// SPDX-License-Identifier: MIT
#include "platform/pastecontract.h"
#include "platform/wayland/waylandfrontapp.h"
#include "platform/wayland/waylandkeysender.h"
#include "platform/waylandsession.h"

// Paste through the compositor's virtual keyboard into a native Wayland window, and the focused
// window's application as sway names it, under the test compositor. A compositor that is missing
// or falls silent is the Wayland sources' test.
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
            << "org.example.Probe" << QStringList{"launcher.desktop|Name=Launcher|Exec=launcher|StartupWMClass=org.example.Probe",
                                                  "org.example.Probe.desktop|Name=Probe|Exec=probe"}
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
};

KIWANO_TEST_GUILESS_MAIN(TestWaylandPaste)
#include "test_waylandpaste.moc"
