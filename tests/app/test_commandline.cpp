// SPDX-License-Identifier: MIT
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>

#include "app/commandline.h"
#include "app/quitsignals.h"
#include "app/singleinstance.h"

Q_DECLARE_METATYPE(CommandLine::Outcome)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Outcome>("outcome");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QStringList>("files");
        using O = CommandLine::Outcome;
        QTest::newRow("quit goes last") << QStringList{"--quit", "--screen"} << O::run << QStringList{"screen", "quit"} << QStringList{};
        QTest::newRow("all in order") << QStringList{"--settings", "--clipboard", "--window", "--region"} << O::run
                                      << QStringList{"region", "window", "clipboard", "settings"} << QStringList{};
        QTest::newRow("relative file") << QStringList{"shot.png", "../b/c.jpg"} << O::run << QStringList{}
                                       << QStringList{"/home/zog/shot.png", "/home/b/c.jpg"};
        QTest::newRow("absolute file and flag") << QStringList{"/tmp/x y.png", "--screen"} << O::run << QStringList{"screen"}
                                                << QStringList{"/tmp/x y.png"};
        QTest::newRow("dash file after --") << QStringList{"--", "--region"} << O::run << QStringList{}
                                            << QStringList{"/home/zog/--region"};
        QTest::newRow("help") << QStringList{"--region", "--help"} << O::help << QStringList{} << QStringList{};
        QTest::newRow("unknown option") << QStringList{"--regoin"} << O::error << QStringList{} << QStringList{};
        QTest::newRow("value on a flag") << QStringList{"--region=5"} << O::error << QStringList{} << QStringList{};
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Outcome, outcome);
        const CommandLine line = CommandLine::parse(QStringList{"kiwano-snapper"} + arguments, "/home/zog");
        QCOMPARE(line.outcome, outcome);
        QTEST(line.requests, "requests");
        QTEST(line.files, "files");
        // The message names what went wrong.
        QCOMPARE(line.message.isEmpty(), outcome == CommandLine::Outcome::run);
        QVERIFY(outcome != CommandLine::Outcome::error || line.message.contains(arguments.first().mid(2, 6)));
    }

    // A delay holds the grabs that follow it; one without a grab, or without a sensible number of
    // seconds, is refused.
    void delayComesBeforeTheGrabs()
    {
        const auto parse = [](const QStringList &arguments) {
            return CommandLine::parse(QStringList{"kiwano-snapper"} + arguments, "/home/zog");
        };
        const CommandLine line = parse({"--settings", "--last-region", "--delay", "2.5"});
        QCOMPARE(line.outcome, CommandLine::Outcome::run);
        const QStringList requests = Requests::encode(line);
        QCOMPARE(requests, (QStringList{Requests::delay(2500), "last-region", "settings"}));
        QCOMPARE(Requests::delayOf(requests.first()), 2500);
        QCOMPARE(Requests::delayOf("last-region"), -1);
        QCOMPARE(Requests::delayOf("delay\t-5"), -1);
        QCOMPARE(Requests::delayOf("delay\t99999999999"), -1);
        QCOMPARE(Requests::encode(parse({"--screen", "--delay", "0"})), QStringList{"screen"});
        for (const QStringList &wrong : {QStringList{"--delay", "3", "--clipboard"}, QStringList{"--delay", "-1", "--region"},
                                         QStringList{"--delay", "nan", "--region"}, QStringList{"--delay", "3601", "--region"},
                                         QStringList{"--delay", "soon", "--window"}}) {
            const CommandLine refused = parse(wrong);
            QCOMPARE(refused.outcome, CommandLine::Outcome::error);
            QVERIFY2(refused.message.contains("--delay"), qPrintable(refused.message));
            QVERIFY(refused.requests.isEmpty());
        }
    }

    void requestsOpenFilesBeforeTheRest()
    {
        CommandLine line;
        line.requests = {"screen", "quit"};
        line.files = {"/a/b.png"};
        const QStringList requests = Requests::encode(line);
        QCOMPARE(requests.size(), 3);
        QCOMPARE(Requests::fileOf(requests.at(0)), "/a/b.png");
        QCOMPARE(requests.mid(1), QStringList({"screen", "quit"}));
        QVERIFY(Requests::fileOf("screen").isEmpty());
    }

    void secondLaunchHandsItsRequestsToTheFirst()
    {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QCOMPARE(first.start({}), SingleInstance::Role::running);
        QSignalSpy received(&first, &SingleInstance::requestsReceived);

        const QString odd = Requests::openFile("/tmp/a\nb c.png");
        SingleInstance second(folder.path());
        QCOMPARE(second.start({odd, "region", "quit"}), SingleInstance::Role::forwarded);
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received.at(0).at(0).toStringList(), QStringList({odd, "region", "quit"}));

        SingleInstance third(folder.path());
        QVERIFY(third.forward({"screen"}));
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.at(1).at(0).toStringList(), QStringList({"screen"}));
    }

    // kiwano-snapper as shortcuts run it hands the requests over in the program's order and ends
    // only once the instance answers that they are carried out (the picker holds the keys typed
    // next), or closes the connection.
    void launcherEndsWhenTheRequestsAreCarriedOut()
    {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QCOMPARE(first.start({}), SingleInstance::Role::running);
        QSignalSpy received(&first, &SingleInstance::requestsReceived);
        std::function<void()> answer;
        first.setAnswerWhen([&answer](std::function<void()> carriedOut) { answer = std::move(carriedOut); });

        QProcess launch;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
        launch.start(KIWANO_LAUNCHER_PATH, {"--clipboard", "--region"});
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received.at(0).at(0).toStringList(), QStringList({"region", "clipboard"}));
        QVERIFY(!launch.waitForFinished(300)); // still waiting for the answer
        QVERIFY(answer);
        answer();
        QVERIFY(launch.waitForFinished(5000));
        QCOMPARE(launch.exitCode(), 0);

        // A plain launch brings the running one forward.
        first.setAnswerWhen(nullptr);
        launch.start(KIWANO_LAUNCHER_PATH, {});
        QVERIFY(launch.waitForFinished(5000));
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.at(1).at(0).toStringList(), QStringList({"show"}));
    }

    // With no display and no instance to hand the request to, the launcher says why and ends.
    void launchWithoutDisplaySaysSo()
    {
        QTemporaryDir runtime;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        QProcess launch;
        launch.setProcessEnvironment(env);
        launch.start(KIWANO_LAUNCHER_PATH, {"--settings"});
        QVERIFY(launch.waitForFinished(10000));
        QCOMPARE(launch.exitStatus(), QProcess::NormalExit);
        QCOMPARE(launch.exitCode(), 1);
        QVERIFY(launch.readAllStandardError().contains("no display"));
        // Its help names the program, though no application object gives it the name.
        launch.start(KIWANO_LAUNCHER_PATH, {"--help"});
        QVERIFY(launch.waitForFinished(10000));
        QVERIFY(launch.readAllStandardOutput().startsWith("Usage: kiwano-snapper [options]"));
    }

    void socketLeftByADeadInstanceIsTakenOver()
    {
        QTemporaryDir folder;
        QVERIFY(!SingleInstance(folder.path()).forward({"quit"}, 200)); // nothing running yet
        // A socket file with nobody listening, as a crash leaves it.
        {
            QLocalServer dead;
            QVERIFY(dead.listen(folder.filePath("kiwano-snapper.socket")));
            dead.setParent(nullptr);
        }
        QFile(folder.filePath("kiwano-snapper.socket")).open(QIODevice::WriteOnly);
        SingleInstance next(folder.path());
        QCOMPARE(next.start({"region"}, 1000), SingleInstance::Role::running);
        SingleInstance after(folder.path());
        QVERIFY(after.forward({"screen"}));
    }

    void lockHeldByAnInstanceThatNeverListensFails()
    {
        QTemporaryDir folder;
        QLockFile held(folder.filePath("kiwano-snapper.lock"));
        QVERIFY(held.tryLock(0));
        SingleInstance waiting(folder.path());
        QCOMPARE(waiting.start({"region"}, 300), SingleInstance::Role::failed);
        held.unlock();
        QCOMPARE(waiting.start({"region"}, 300), SingleInstance::Role::running);
    }

    // SIGTERM and SIGINT end the program as its Quit does.
    void terminationSignalsArriveOnTheMainThread_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void terminationSignalsArriveOnTheMainThread()
    {
        QFETCH(int, number);
        QuitSignals signalsSeen;
        QSignalSpy spy(&signalsSeen, &QuitSignals::quitRequested);
        // Without the handler this would end the test process.
        QCOMPARE(::raise(number), 0);
        QCOMPARE(spy.size(), 0);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), number);
    }
};

KIWANO_TEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
