// SPDX-License-Identifier: MIT
#include "platform/testprograms.h"
#include "platform/x11/x11clipboardservice.h"
#include "platform/x11/x11keysender.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <memory>

class TestX11KeySender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void trustedWithXtest();
    void pastesIntoTheFocusedWindow_data();
    void pastesIntoTheFocusedWindow();
    void waitsForHeldModifiers();
    void findsVInOtherLayouts();

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

void TestX11KeySender::trustedWithXtest()
{
    QVERIFY(X11KeySender().isTrusted());
}

void TestX11KeySender::pastesIntoTheFocusedWindow_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QString>("keys");

    QTest::newRow("editor") << false << "key ctrl+v";
    QTest::newRow("terminal") << true << "key ctrl+shift+v";
}

void TestX11KeySender::pastesIntoTheFocusedWindow()
{
    QFETCH(bool, terminal);
    QFETCH(QString, keys);

    m_clipboard->write({{"text/plain", "Kiwi ü 🥝"}, {"local.kiwano-snapper.clip", ""}});
    TestProgram window;
    QStringList arguments;
    if (terminal)
        arguments << QStringLiteral("--terminal");
    QVERIFY(window.start(TestProgram::pasteWindowPath(), arguments));

    QVERIFY(X11KeySender().sendPaste(terminal));
    QCOMPARE(window.waitForLine(QStringLiteral("key ")), keys);
    QCOMPARE(window.waitForLine(QStringLiteral("text ")), QStringLiteral("text Kiwi ü 🥝"));
}

void TestX11KeySender::waitsForHeldModifiers()
{
    // The picker's Alt+Return: Alt is still down when the paste is due.
    m_clipboard->write({{"text/plain", "after alt"}});
    TestProgram window;
    QVERIFY(window.start(TestProgram::pasteWindowPath(), {}));
    QVERIFY(run(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("alt")}));
    QProcess release;
    release.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                         QStringLiteral("sleep 0.3; xdotool keyup alt")});

    QVERIFY(X11KeySender(std::chrono::seconds(5)).sendPaste(false));
    QVERIFY(release.waitForFinished(5000));
    QCOMPARE(window.waitForLine(QStringLiteral("key ")), QStringLiteral("key ctrl+v"));
    QCOMPARE(window.waitForLine(QStringLiteral("text ")), QStringLiteral("text after alt"));
}

void TestX11KeySender::findsVInOtherLayouts()
{
    // On Dvorak the key that types "v" is not the one that does on a US keyboard.
    if (!run(QStringLiteral("setxkbmap"), {QStringLiteral("us"), QStringLiteral("-variant"),
                                           QStringLiteral("dvorak")}))
        QSKIP("setxkbmap cannot switch layouts here");
    m_clipboard->write({{"text/plain", "dvorak"}});
    TestProgram window;
    QVERIFY(window.start(TestProgram::pasteWindowPath(), {}));

    QVERIFY(X11KeySender().sendPaste(false));
    QCOMPARE(window.waitForLine(QStringLiteral("key ")), QStringLiteral("key ctrl+v"));
    QCOMPARE(window.waitForLine(QStringLiteral("text ")), QStringLiteral("text dvorak"));
}

QTEST_MAIN(TestX11KeySender)
#include "test_x11keysender.moc"
