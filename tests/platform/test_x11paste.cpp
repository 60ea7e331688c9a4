// SPDX-License-Identifier: MIT
// Pasting on X11: the shared contract through XTEST and the active window's properties, then what
// only X11 has.
#include "platform/pastecontract.h"
#include "platform/x11/x11clipboardservice.h"
#include "platform/x11/x11frontapp.h"
#include "platform/x11/x11keysender.h"

#include <QGuiApplication>
#include <QProcess>

static bool run(const QString &program, const QStringList &arguments)
{
    return QProcess::execute(program, arguments) == 0;
}

class TestX11Paste : public PasteContract
{
    Q_OBJECT

    std::unique_ptr<X11ClipboardService> m_clipboard;
    QProcess m_release;

    QString skipReason() const override
    {
        return QGuiApplication::platformName() == QLatin1String("xcb") ? QString() : QStringLiteral("needs an X server");
    }
    bool copy(const QString &text) override
    {
        m_clipboard->write({{"text/plain", text.toUtf8()}, {"local.kiwano-snapper.clip", ""}});
        return true;
    }
    bool startWindow(TestProgram &window, const QStringList &arguments) override
    {
        return window.start(TestProgram::pasteWindowPath(), arguments);
    }
    QStringList named(const QString &name) const override { return {"--wm-class", name + u',' + name}; }
    std::unique_ptr<KeySender> sender() override { return std::make_unique<X11KeySender>(std::chrono::seconds(5)); }
    std::unique_ptr<FrontApp> frontApp() override { return std::make_unique<X11FrontApp>(); }
    void morePastes() override
    {
        // The picker's Alt+Return: Alt is still down when the paste is due.
        QTest::newRow("alt still held") << false << "alt";
        // On Dvorak the key that types "v" is not the one that does on a US keyboard.
        QTest::newRow("dvorak") << false << "dvorak";
    }
    bool arrange(const QString &situation) override
    {
        if (situation == u"dvorak")
            return run("setxkbmap", {"us", "-variant", "dvorak"});
        if (situation == u"alt") {
            m_release.start("sh", {"-c", "sleep 0.3; xdotool keyup alt"});
            return run("xdotool", {"keydown", "alt"});
        }
        return situation.isEmpty();
    }

private slots:
    void initTestCase()
    {
        if (skipReason().isEmpty())
            m_clipboard = std::make_unique<X11ClipboardService>();
    }
    void cleanup()
    {
        m_release.waitForFinished(5000);
        run("setxkbmap", {"us"});
    }

    // What only X11 has: WM_CLASS with or without a class, and the active window changing.
    void followsTheActiveWindow()
    {
        XdgSandbox sandbox;
        sandbox.addDesktopFile("org.gnome.Terminal.desktop",
                               {"Type=Application", "Name=Terminal", "StartupWMClass=Gnome-terminal", "Exec=gnome-terminal"}, true);
        X11FrontApp frontApp;
        TestProgram lonely, keepass, terminal;
        QVERIFY(lonely.start(TestProgram::clipOwnerPath(), {"--activate", "--wm-class", "lonely,"}));
        QCOMPARE(frontApp.identifier(), QStringLiteral("lonely"));
        QVERIFY(keepass.start(TestProgram::clipOwnerPath(), {"--activate", "--wm-class", "keepassxc,KeePassXC"}));
        QCOMPARE(frontApp.identifier(), QStringLiteral("KeePassXC"));
        QVERIFY(terminal.start(TestProgram::pasteWindowPath(), {"--terminal", "--wm-class", "gnome-terminal-server,Gnome-terminal"}));
        QCOMPARE(frontApp.identifier(), QStringLiteral("org.gnome.Terminal"));
        // When the active window closes, the window manager activates another or none.
        terminal.stop();
        QTRY_VERIFY(frontApp.identifier() != QLatin1String("org.gnome.Terminal"));
    }
};

KIWANO_TEST_MAIN(TestX11Paste)
#include "test_x11paste.moc"
