// SPDX-License-Identifier: MIT
#include "platform/testprograms.h"
#include "platform/x11/x11clipboardservice.h"
#include "platform/x11/x11keysender.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>

class TestX11KeySender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void pastesIntoTheFocusedWindow_data();
    void pastesIntoTheFocusedWindow();

private:
    static bool run(const QString &program, const QStringList &arguments);

    std::unique_ptr<X11ClipboardService> m_clipboard;
};

bool TestX11KeySender::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

void TestX11KeySender::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    m_clipboard = std::make_unique<X11ClipboardService>();
}

void TestX11KeySender::cleanup()
{
    run(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
}

void TestX11KeySender::pastesIntoTheFocusedWindow_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QString>("situation");

    QTest::newRow("editor") << false << "";
    QTest::newRow("terminal") << true << "";
    // The picker's Alt+Return: Alt is still down when the paste is due.
    QTest::newRow("alt still held") << false << "alt";
    // On Dvorak the key that types "v" is not the one that does on a US keyboard.
    QTest::newRow("dvorak") << false << "dvorak";
}

void TestX11KeySender::pastesIntoTheFocusedWindow()
{
    QFETCH(bool, terminal);
    QFETCH(QString, situation);

    if (situation == u"dvorak" && !run("setxkbmap", {"us", "-variant", "dvorak"}))
        QSKIP("setxkbmap cannot switch layouts here");
    m_clipboard->write({{"text/plain", "Kiwi ü 🥝"}, {"local.kiwano-snapper.clip", ""}});
    TestProgram window;
    QVERIFY(window.start(TestProgram::pasteWindowPath(),
                         terminal ? QStringList{"--terminal"} : QStringList()));
    QProcess release;
    if (situation == u"alt") {
        QVERIFY(run("xdotool", {"keydown", "alt"}));
        release.start("sh", {"-c", "sleep 0.3; xdotool keyup alt"});
    }

    QVERIFY(X11KeySender(std::chrono::seconds(5)).sendPaste(terminal));
    QCOMPARE(window.waitForLine(QStringLiteral("key ")),
             terminal ? QStringLiteral("key ctrl+shift+v") : QStringLiteral("key ctrl+v"));
    QCOMPARE(window.waitForLine(QStringLiteral("text ")), QStringLiteral("text Kiwi ü 🥝"));
    release.waitForFinished(5000);
}

KIWANO_TEST_MAIN(TestX11KeySender)
#include "test_x11keysender.moc"
