// SPDX-License-Identifier: MIT
#include "platform/waylandsession.h"

#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// The program as a native Wayland client of the test compositor, run by the compositor itself
// as its user, and our command line bound to a key there: the way sway users reach us.
class TestCommandLineWayland : public QObject
{
    Q_OBJECT

private slots:
    void keyBindingReachesTheRunningInstance();
    void launchWithoutDisplaySaysSo();
    void cleanup();

private:
    struct Window
    {
        QString appId;
        QString shell;
        qint64 pid = 0;
    };
    static std::optional<Window> window(const QString &title);

    qint64 m_pid = 0;
    QString m_command;
};

std::optional<TestCommandLineWayland::Window> TestCommandLineWayland::window(const QString &title)
{
    const QJsonObject node = WaylandSession::findWindow(
        [&title](const QJsonObject &node) { return node.value("name").toString() == title; });
    if (node.isEmpty())
        return std::nullopt;
    return Window{node.value("app_id").toString(), node.value("shell").toString(), node.value("pid").toInteger()};
}

void TestCommandLineWayland::keyBindingReachesTheRunningInstance()
{
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
    // The compositor's user keeps its own runtime folder (the instance's socket lives there) and
    // gets a home of its own here. No X server: DISPLAY goes, so Qt takes its Wayland plugin.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                  | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther));
    const QString program = WaylandSession::programForCompositor(KIWANO_SNAPPER_PATH);
    QVERIFY2(!program.isEmpty(), "the compositor's user cannot run the program");
    m_command = QStringLiteral("env -u DISPLAY HOME=%1 XDG_CONFIG_HOME=%1/config XDG_DATA_HOME=%1/data "
                               "XDG_CACHE_HOME=%1/cache %2")
                    .arg(home.path(), program);
    QVERIFY(WaylandSession::swaymsg({"exec", m_command}));

    // No tray here: the main window stands in for the status item.
    std::optional<Window> main;
    QTRY_VERIFY_WITH_TIMEOUT((main = window(QStringLiteral("🥝 Kiwano Snapper"))).has_value(), 15000);
    m_pid = main->pid;
    QCOMPARE(main->shell, QStringLiteral("xdg_shell"));
    QCOMPARE(main->appId, QStringLiteral("org.kiwanosnapper.KiwanoSnapper"));

    QVERIFY(WaylandSession::swaymsg({"bindsym", "Mod4+Shift+s", "exec", m_command + " --settings"}));
    QProcess press;
    press.setProcessEnvironment(WaylandSession::environment());
    press.start(QStringLiteral("wtype"), {"-M", "logo", "-M", "shift", "-k", "s", "-m", "shift", "-m", "logo"});
    QVERIFY(press.waitForFinished(5000));
    QCOMPARE(press.exitCode(), 0);

    std::optional<Window> settings;
    QTRY_VERIFY_WITH_TIMEOUT((settings = window(QStringLiteral("🥝 Kiwano Snapper Settings"))).has_value(), 15000);
    // Opened by the running instance, not by a second one.
    QCOMPARE(settings->pid, m_pid);
    QCOMPARE(settings->shell, QStringLiteral("xdg_shell"));

    // A request needs no display: a launch that has none still reaches the running instance.
    QVERIFY(WaylandSession::swaymsg({"exec", "env -u WAYLAND_DISPLAY " + m_command + " --quit"}));
    QTRY_VERIFY_WITH_TIMEOUT(!window(QStringLiteral("🥝 Kiwano Snapper")), 10000);
    m_pid = 0;
}

void TestCommandLineWayland::launchWithoutDisplaySaysSo()
{
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess launch;
    launch.setProcessEnvironment(env);
    launch.start(KIWANO_SNAPPER_PATH, {"--settings"});
    QVERIFY(launch.waitForFinished(10000));
    QCOMPARE(launch.exitStatus(), QProcess::NormalExit);
    QCOMPARE(launch.exitCode(), 1);
    QVERIFY(launch.readAllStandardError().contains("no display"));
}

void TestCommandLineWayland::cleanup()
{
    if (WaylandSession::skipReason().isEmpty())
        WaylandSession::swaymsg({"unbindsym", "Mod4+Shift+s"});
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGKILL);
    m_pid = 0;
}

KIWANO_TEST_GUILESS_MAIN(TestCommandLineWayland)
#include "test_commandline_wayland.moc"
