// SPDX-License-Identifier: MIT
#include "platform/testprograms.h"
#include "platform/waylandsession.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>

// The clipboard round under sway with our windows on XWayland (the native round is an end-to-end
// test): copies made in a native app are recorded, the picker opened from the command line takes
// the keys, and the chosen entry is pasted into the app that was in front.
class TestPickerWayland : public QObject
{
    Q_OBJECT

    qint64 m_pid = 0;
    QString m_command;

    static bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess process;
        process.setProcessEnvironment(WaylandSession::environment());
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        // wl-copy stays behind to serve its copy; it forks, so the parent ends at once.
        return process.waitForFinished(5000) && process.exitCode() == 0;
    }

private slots:
    void cleanup()
    {
        if (m_pid <= 0)
            return;
        // Quit as a user would, so that the next start finds no instance left behind.
        WaylandSession::swaymsg({"exec", m_command + " --quit"});
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(m_pid), 0) != 0 || WaylandSession::findWindow([this](const QJsonObject &node) {
                                     return node.value("pid").toInteger() == m_pid;
                                 }).isEmpty(),
                                 5000);
        ::kill(pid_t(m_pid), SIGKILL);
        m_pid = 0;
    }

    void pastesThroughXWayland()
    {
        if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        if (QStandardPaths::findExecutable(QStringLiteral("Xwayland")).isEmpty())
            QSKIP("Xwayland is not installed");

        QTemporaryDir home;
        QVERIFY(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                      | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther));
        // sway hands its programs DISPLAY when it runs XWayland: kept, our windows go there.
        const QString program = WaylandSession::programForCompositor(KIWANO_SNAPPER_PATH);
        QVERIFY2(!program.isEmpty(), "the compositor's user cannot run the program");
        m_command = QStringLiteral("env XDG_SESSION_TYPE=wayland HOME=%1 XDG_CONFIG_HOME=%1/config "
                                   "XDG_DATA_HOME=%1/data XDG_CACHE_HOME=%1/cache %2")
                        .arg(home.path(), program);
        QVERIFY(WaylandSession::swaymsg({"exec", m_command}));
        QJsonObject main;
        QTRY_VERIFY_WITH_TIMEOUT(!(main = WaylandSession::findWindow([](const QJsonObject &node) {
                                      return node.value("name").toString() == QStringLiteral("🥝 Kiwano Snapper");
                                  })).isEmpty(),
                                 15000);
        m_pid = main.value("pid").toInteger();
        QCOMPARE(main.value("shell").toString(), QStringLiteral("xwayland"));

        TestProgram probe;
        QProcessEnvironment env = WaylandSession::environment();
        env.insert("QT_QPA_PLATFORM", "wayland");
        probe.process().setProcessEnvironment(env);
        QVERIFY(probe.start(TestProgram::pasteWindowPath(), {"--app-id", "org.example.Probe"}, 10000));
        const auto probeFocused = [] {
            return WaylandSession::focusedWindow().value("app_id").toString() == QStringLiteral("org.example.Probe");
        };
        QTRY_VERIFY_WITH_TIMEOUT(probeFocused(), 10000);

        // Each copy is in the history on disk before the next one comes.
        const auto recorded = [&home](const QByteArray &text) {
            QFile index(home.filePath(QStringLiteral("data/KiwanoSnapper/Clipboard/index.json")));
            return index.open(QIODevice::ReadOnly) && index.readAll().contains(text);
        };
        for (const QByteArray text : {"alpha one", "beta two", "gamma three"}) {
            QVERIFY(run(QStringLiteral("wl-copy"), {}, text));
            QTRY_VERIFY_WITH_TIMEOUT(recorded(text), 10000);
        }

        QVERIFY(WaylandSession::swaymsg({"exec", m_command + " --clipboard"}));
        QTRY_COMPARE_WITH_TIMEOUT(WaylandSession::focusedWindow().value("name").toString(), QStringLiteral("Clipboard"),
                                  10000);
        // One run of wtype for the filter and Return, as one keyboard types them: each run brings a
        // keymap of its own, and through XWayland a keymap replaced before a client reads the keys
        // typed under it leaves those keys unreadable to every X client.
        QVERIFY(run(QStringLiteral("wtype"), {"beta", "-k", "Return"}));

        QTRY_VERIFY_WITH_TIMEOUT(probeFocused(), 5000);
        QCOMPARE(probe.waitForLine(QStringLiteral("text ")), QStringLiteral("text beta two"));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestPickerWayland)
#include "test_pickerwayland.moc"
