// SPDX-License-Identifier: MIT
#include "platform/testprograms.h"
#include "platform/x11/x11frontapp.h"
#include "platform/xdgsandbox.h"

#include <QGuiApplication>
#include <QTest>

class TestX11FrontApp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void identifiesTheActiveWindow_data();
    void identifiesTheActiveWindow();
    void followsTheActiveWindow();
};

void TestX11FrontApp::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
}

void TestX11FrontApp::identifiesTheActiveWindow_data()
{
    QTest::addColumn<QString>("wmClass");
    QTest::addColumn<QStringList>("desktopFile");
    QTest::addColumn<QString>("identifier");

    const QString owner = TestProgram::clipOwnerPath();
    QTest::newRow("no desktop file: the class") << "keepassxc,KeePassXC" << QStringList() << "KeePassXC";
    QTest::newRow("no class: the instance") << "lonely," << QStringList() << "lonely";
    QTest::newRow("by StartupWMClass")
        << "keepassxc,KeePassXC"
        << QStringList{"Type=Application", "Name=KeePassXC", "StartupWMClass=KeePassXC",
                       "Exec=keepassxc"}
        << "org.example.App";
    QTest::newRow("by program path")
        << "unmatched,Unmatched"
        << QStringList{"Type=Application", "Name=Owner", "Exec=\"" + owner + "\" --type x=y"}
        << "org.example.App";
    QTest::newRow("another program: the class")
        << "unmatched,Unmatched"
        << QStringList{"Type=Application", "Name=Shell", "Exec=/bin/sh"} << "Unmatched";
}

void TestX11FrontApp::identifiesTheActiveWindow()
{
    QFETCH(QString, wmClass);
    QFETCH(QStringList, desktopFile);
    QFETCH(QString, identifier);

    XdgSandbox sandbox;
    if (!desktopFile.isEmpty())
        QVERIFY(!sandbox.addDesktopFile("org.example.App.desktop", desktopFile, true).isEmpty());
    TestProgram window;
    QVERIFY(window.start(TestProgram::clipOwnerPath(),
                         {"--activate", "--wm-class", wmClass, "--type", "text/plain=x"}));
    QCOMPARE(X11FrontApp().identifier(), identifier);
}

void TestX11FrontApp::followsTheActiveWindow()
{
    XdgSandbox sandbox;
    sandbox.addDesktopFile("org.gnome.Terminal.desktop",
                           {"Type=Application", "Name=Terminal", "StartupWMClass=Gnome-terminal",
                            "Exec=gnome-terminal"}, true);
    X11FrontApp frontApp;
    TestProgram first;
    QVERIFY(first.start(TestProgram::clipOwnerPath(), {"--activate", "--wm-class", "one,One"}));
    QCOMPARE(frontApp.identifier(), QStringLiteral("One"));

    // A Qt window, whose class comes from the application name.
    TestProgram terminal;
    QVERIFY(terminal.start(TestProgram::pasteWindowPath(),
                           {"--terminal", "--wm-class", "gnome-terminal-server,Gnome-terminal"}));
    QCOMPARE(frontApp.identifier(), QStringLiteral("org.gnome.Terminal"));

    // When the active window closes, the window manager activates another or none.
    terminal.stop();
    QTRY_VERIFY(frontApp.identifier() != QLatin1String("org.gnome.Terminal"));
}

KIWANO_TEST_MAIN(TestX11FrontApp)
#include "test_x11frontapp.moc"
