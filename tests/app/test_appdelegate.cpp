// SPDX-License-Identifier: MIT
// The program's front: its command line, the single instance and the launcher that hand it
// requests, and the composition root with its tray menu and action table, offscreen in a private
// home.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLockFile>
#include <QMainWindow>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>

#include "app/appactions.h"
#include "app/appdelegate.h"
#include "app/commandline.h"
#include "app/editorwindowcontroller.h"
#include "app/quitsignals.h"
#include "app/shellfixture.h"
#include "app/singleinstance.h"
#include "app/traymenu.h"
#include "capture/appstate.h"
#include "capture/history.h"
#include "clipboard/clipboard.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpanelhost.h"
#include "clipboard/picker/view/clipboardpickerview.h"
#include "fakes/fakehotkeygrabber.h"
#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"
#include "settings/settingswindowcontroller.h"

class TestAppDelegate : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ShellSandbox> m_sandbox;
    FakeKeyboardLayout m_layout;

    QString writeImage(const QString &name, const QColor &color)
    {
        QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
        image.fill(color);
        const QString path = m_sandbox->path(name);
        image.save(path);
        return path;
    }

    static void emptyHistory()
    {
        for (const GrabEntry &entry : History::load())
            QFile::remove(entry.path());
    }

private slots:
    void initTestCase()
    {
        m_sandbox = std::make_unique<ShellSandbox>();
        Keyboard::setLayout(&m_layout);
    }
    void cleanupTestCase() { Keyboard::setLayout(nullptr); }
    void init() { emptyHistory(); }

    // Files from "Open Image..." or the command line become grabs in their order, the newest
    // selected and shown; what is no image, or is missing, is passed over quietly. "show" selects
    // the newest, or shows the window empty.
    void openedFilesBecomeGrabsInTheirOrder()
    {
        AppDelegate delegate;
        delegate.openLatest();
        QVERIFY(delegate.editor().window()->isVisible() && !delegate.state().selected());
        delegate.editor().window()->hide();
        const QString notes = m_sandbox->path("notes.txt");
        QFile(notes).open(QIODevice::WriteOnly);
        delegate.open({writeImage("a.png", Qt::red), notes, m_sandbox->path("missing.png")});
        QTRY_COMPARE(delegate.state().entries().size(), 1);
        delegate.handle({Requests::openFile(writeImage("one.png", Qt::green)), QStringLiteral("unknown"),
                         Requests::openFile(m_sandbox->path("missing.png")),
                         Requests::openFile(writeImage("two.jpg", Qt::blue))});
        QTRY_COMPARE(delegate.state().entries().size(), 3);
        QCOMPARE(delegate.state().selected(), delegate.state().entries().first().url);
        QVERIFY(History::image(delegate.state().entries().first()).pixelColor(5, 5).blue() > 200);
        QCOMPARE(History::image(delegate.state().entries().at(1)).pixelColor(1, 1), QColor(Qt::green));
        QVERIFY(delegate.editor().window()->isVisible());
        delegate.state().setSelected(std::nullopt);
        delegate.openLatest();
        QCOMPARE(delegate.state().selected(), delegate.state().entries().first().url);
    }

    // Clear on quit takes all but the pinned entries; that quitting keeps them all otherwise is an
    // end-to-end test.
    void quittingClearsTheHistoryWhenAsked()
    {
        AppDelegate delegate;
        Clipboard &clipboard = delegate.clipboard();
        clipboard.clear(true);
        clipboard.add({{"text/plain", "pinned"}}, std::nullopt);
        clipboard.togglePin(clipboard.items().first());
        clipboard.add({{"text/plain", "plain"}}, std::nullopt);
        clipboard.finishPendingCopies();
        clipboard.setClearOnQuit(true);
        delegate.applicationWillTerminate();
        delegate.applicationWillTerminate();
        QCOMPARE(clipboard.items().size(), 1);
        QVERIFY(clipboard.items().first().pinned);
        clipboard.setClearOnQuit(false);
    }

    void settingsOpenOneWindowUnlessReplaced()
    {
        AppDelegate delegate;
        delegate.handle({QStringLiteral("settings")});
        QWidget *window = delegate.settings().window();
        QVERIFY(window && window->isVisible());
        window->hide();
        delegate.showSettings();
        QCOMPARE(delegate.settings().window(), window);
        QVERIFY(window->isVisible());

        int shown = 0;
        delegate.setSettingsOpener([&shown] { ++shown; });
        delegate.handle({QStringLiteral("settings")});
        QCOMPARE(shown, 1);
    }

    void withoutAnXServerNothingIsGrabbedOrTyped()
    {
        // DISPLAY alone does not count: offscreen, the X11 services cannot reach a server.
        qputenv("XDG_SESSION_TYPE", "x11");
        qputenv("DISPLAY", ":0");
        AppDelegate delegate;
        delegate.start();
        QCOMPARE(delegate.servicePlan().shortcuts, ServicePlan::Shortcuts::none);
        QCOMPARE(delegate.servicePlan().paste, ServicePlan::Paste::none);
        // Nothing types the paste here: the picker says to press Ctrl+V, not to find an X server.
        delegate.clipboard().setPasteAutomatically(true);
        ClipboardPanel &panel = delegate.clipboardPanel().panel();
        panel.open(false);
        QVERIFY(panel.view()->showsSessionWarning() && panel.view()->sessionWarningText().contains("press Ctrl+V"));
        panel.close();
        delegate.applicationWillTerminate();
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
    }

    // The global shortcuts reach the action the table names; the clipboard shortcut follows its
    // own rules (toggling), not the menu row's. Each word of the command line is pressed in an
    // end-to-end test.
    void pressesReachTheirAction()
    {
        using Id = AppActions::Id;
        AppActions actions;
        QList<Id> ran;
        for (int id = 0; id <= int(Id::quit); ++id)
            actions.setHandler(Id(id), [&ran, id] { ran << Id(id); });
        for (const HotKeyAction action : allHotKeyActions)
            actions.trigger(action);
        actions.action(Id::showClipboard)->trigger();
        QCOMPARE(ran, (QList<Id>{Id::grabRegion, Id::grabWindow, Id::grabScreen, Id::toggleClipboard, Id::showClipboard}));
    }

    // The rows name each shortcut, and the pause row shows its state, a turn after the registry
    // or the history changed (never inline); a key with neither a name nor a character in the
    // layout (the ISO key a US keyboard lacks) is left out of its row.
    void rowsFollowTheRegistryAndThePause()
    {
        FakeHotKeyGrabber grabber;
        AppActions actions;
        Clipboard clipboard(nullptr, nullptr, nullptr);
        HotKeyCenter hotKeys;
        TrayMenu menu(actions, clipboard, hotKeys);
        hotKeys.setGrabber(&grabber);
        const auto keys = [&](HotKeyAction action) { return menu.shortcutItem(action)->text().section(u'\t', 1); };
        hotKeys.applyPreset(&HotKeyPresets::desktopDefault);
        QTRY_COMPARE(keys(HotKeyAction::grabRegion), "Shift+Print");
        QCOMPARE(keys(HotKeyAction::grabScreen), "Print");
        hotKeys.set(std::nullopt, HotKeyAction::clipboard);
        QTRY_COMPARE(keys(HotKeyAction::clipboard), "");
        hotKeys.set(HotKey(8, Qt::ShiftModifier | Qt::MetaModifier), HotKeyAction::clipboard);
        QCOMPARE(keys(HotKeyAction::clipboard), "");
        QTRY_COMPARE(keys(HotKeyAction::clipboard), "Shift+Super+C");
        hotKeys.set(HotKey(10, Qt::ControlModifier), HotKeyAction::grabWindow);
        QTRY_COMPARE(keys(HotKeyAction::grabWindow), "");
        hotKeys.setGrabber(nullptr);

        clipboard.setPaused(true);
        QVERIFY(!menu.pauseItem()->isChecked());
        QTRY_VERIFY(menu.pauseItem()->isChecked() && menu.isDimmed());
        clipboard.setPaused(false);
        QTRY_VERIFY(!menu.isDimmed());
    }

    void statusIconFallsBackToTheKiwi()
    {
        QVERIFY(!TrayMenu::statusIcon(false, "/nonexistent/kiwano-menubar.png").pixmap(22).toImage().isNull());
        QVERIFY(TrayMenu::statusIcon(false).pixmap(22).toImage() != TrayMenu::statusIcon(true).pixmap(22).toImage());
    }

    // What a launch asks of the program, in the order it is carried out: files first, quit last.
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Outcome>("outcome");
        QTest::addColumn<QStringList>("requests");
        using O = CommandLine::Outcome;
        QTest::newRow("quit goes last") << QStringList{"--quit", "--screen"} << O::run << QStringList{"screen", "quit"};
        QTest::newRow("all in order") << QStringList{"--settings", "--clipboard", "--window", "--region"} << O::run
                                      << QStringList{"region", "window", "clipboard", "settings"};
        QTest::newRow("relative files") << QStringList{"shot.png", "../b/c.jpg"} << O::run
                                        << QStringList{"open /home/zog/shot.png", "open /home/b/c.jpg"};
        QTest::newRow("files before the rest") << QStringList{"--quit", "/tmp/x y.png", "--screen"} << O::run
                                               << QStringList{"open /tmp/x y.png", "screen", "quit"};
        QTest::newRow("dash file after --") << QStringList{"--", "--region"} << O::run << QStringList{"open /home/zog/--region"};
        QTest::newRow("help") << QStringList{"--region", "--help"} << O::help << QStringList{};
        QTest::newRow("unknown option") << QStringList{"--regoin"} << O::error << QStringList{};
        QTest::newRow("value on a flag") << QStringList{"--region=5"} << O::error << QStringList{};
    }

    void parse()
    {
        QFETCH(QStringList, arguments); QFETCH(CommandLine::Outcome, outcome);
        const CommandLine line = CommandLine::parse(QStringList{"kiwano-snapper"} + arguments, "/home/zog");
        QCOMPARE(line.outcome, outcome);
        QStringList requests;
        for (const QString &request : Requests::encode(line))
            requests << (Requests::fileOf(request).isEmpty() ? request : "open " + Requests::fileOf(request));
        QTEST(requests, "requests");
        // The message names what went wrong.
        QCOMPARE(line.message.isEmpty(), outcome == CommandLine::Outcome::run);
        QVERIFY(outcome != CommandLine::Outcome::error || line.message.contains(arguments.first().mid(2, 6)));
    }

    // A second launch hands its requests to the first, whatever a file name holds; the socket
    // file a crashed instance left is taken over.
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

    // --pin takes its file as a value, once per picture; a pin request is never taken for a file
    // to open.
    void pinsGoAsTheirOwnRequests()
    {
        const CommandLine line = CommandLine::parse({"kiwano-snapper", "--pin", "a.png", "shot.png",
                                                     "--pin=/tmp/b c.png", "--region"}, "/home/zog");
        QCOMPARE(line.outcome, CommandLine::Outcome::run);
        QCOMPARE(line.pins, QStringList({"/home/zog/a.png", "/tmp/b c.png"}));
        QCOMPARE(line.files, QStringList({"/home/zog/shot.png"}));
        const QStringList requests = Requests::encode(line);
        QCOMPARE(requests.size(), 4);
        QCOMPARE(Requests::fileOf(requests.at(0)), "/home/zog/shot.png");
        QCOMPARE(Requests::pinnedFileOf(requests.at(1)), "/home/zog/a.png");
        QCOMPARE(Requests::pinnedFileOf(requests.at(2)), "/tmp/b c.png");
        QCOMPARE(requests.at(3), "region");
        QVERIFY(Requests::fileOf(requests.at(1)).isEmpty());
        QVERIFY(Requests::pinnedFileOf(requests.at(0)).isEmpty());
        QCOMPARE(CommandLine::parse({"kiwano-snapper", "--pin"}, "/").outcome, CommandLine::Outcome::error);
        QVERIFY(CommandLine::parse({"kiwano-snapper", "--help"}, "/").message.contains("--pin <FILE>"));
    }

    void secondLaunchHandsItsRequestsToTheFirst()
    {
        QTemporaryDir folder;
        QVERIFY(!SingleInstance(folder.path()).forward({"quit"}, 200)); // nothing running yet
        QVERIFY(QFile(folder.filePath("kiwano-snapper.socket")).open(QIODevice::WriteOnly));
        SingleInstance first(folder.path());
        QCOMPARE(first.start({"region"}, 1000), SingleInstance::Role::running);
        QSignalSpy received(&first, &SingleInstance::requestsReceived);

        const QString odd = Requests::openFile("/tmp/a\nb c.png");
        SingleInstance second(folder.path());
        QCOMPARE(second.start({odd, "region", "quit"}), SingleInstance::Role::forwarded);
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received.at(0).at(0).toStringList(), QStringList({odd, "region", "quit"}));
        QVERIFY(SingleInstance(folder.path()).forward({"screen"}));
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

KIWANO_TEST_MAIN(TestAppDelegate)
#include "test_appdelegate.moc"
