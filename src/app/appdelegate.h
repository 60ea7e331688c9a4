// SPDX-License-Identifier: MIT
#pragma once

#include "platform/session.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QStringList>

#include <functional>
#include <memory>

class AppActions;
class AppState;
class Capture;
class Clipboard;
class ClipboardPanelHost;
class DesktopBindings;
class SettingsWindowController;
class UpdateSettings;
class EditorWindowController;
class HotKeyCenter;
class MainWindow;
class TrayMenu;
class SessionServices;
class Announcer;
class Pins;
class GrabCountdown;
class CountdownWindow;

// The composition root: the one place where the platform services, the models and the windows
// are made and wired together. What each action does is given to the action table here; the
// menu, the main window, the command line and the global shortcuts reach it there. Lives for
// the whole process.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    // Makes the application state (which lists the grab history) and the capture component.
    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    // Start-up once the event loop can run: font, tray menu, shortcuts, picker, clipboard.
    void start();
    // The clean-up of a normal quit: copies being written land, the history is cleared when the
    // user asked for it, and the global shortcuts are released. Safe to call more than once.
    void applicationWillTerminate();
    // Files handed to the application: each decodable image becomes the newest grab in turn,
    // read off the main thread by the rules of dropped files (ImageImport).
    void open(const QStringList &files);

    // Carries out requests from the command line (see CommandLine): grabs, the picker, the
    // settings, files to open and quitting; unknown requests are ignored.
    void handle(const QStringList &requests);
    // Calls answer once what the last requests opened is ready for the keys that follow: at once,
    // or when the picker they opened holds the keyboard (or has closed, or 2 s have passed).
    void whenRequestsSettled(std::function<void()> answer);

    void openLatest();
    void grabRegion();
    void grabWindow();
    void grabScreen();
    // The last grab's place again without the overlay: its region, its window where that is
    // still where it was, or its screen; the overlay, with a notice, while there is none yet.
    void grabLastRegion();
    // A region grab after a countdown.
    void grabRegionAfter(int milliseconds);
    void showClipboard();
    void toggleClipboard();
    void toggleIgnoreNext();
    void togglePause();
    void openImage();
    void showSettings();
    void checkForUpdates();
    void quit();
    // Shows the image in the file pinned above the other windows; a warning when it holds none.
    void pinFile(const QString &path);

    // What showSettings does: the settings window unless replaced.
    void setSettingsOpener(std::function<void()> opener);

    AppState &state() { return *m_state; }
    Capture &capture() { return *m_capture; }
    // The clipboard history with its recorder and paste-back, loaded with the delegate.
    Clipboard &clipboard() { return *m_clipboard; }
    HotKeyCenter &hotKeys() { return *m_hotKeys; }
    AppActions &actions() { return *m_actions; }
    // Made on first use and then kept.
    EditorWindowController &editor();
    ClipboardPanelHost &clipboardPanel();
    SettingsWindowController &settings();
    // The update options: made with the delegate, as the menu's update row needs them.
    UpdateSettings &updates() { return *m_updates; }
    TrayMenu *trayMenu() const { return m_trayMenu; }
    // What the session offers and which services serve it, read and chosen at start-up. In a
    // Wayland session the compositor and the portal are asked first, while the event loop runs:
    // until they answered (or their deadline passed) these tell what the environment alone says.
    const ServicePlan &servicePlan() const { return m_plan; }
    const SessionFacts &sessionFacts() const { return m_facts; }
    bool hasStartedServices() const { return m_servicesStarted; }

signals:
    // The platform services are chosen and running; requests that needed them were carried out.
    void servicesStarted();

private:
    // Makes the services the plan names; startServices() sets them going.
    void makeServices();
    void startServices();
    // Runs work now, or once the services started when the session is still being asked.
    void whenServicesStarted(std::function<void()> work);
    void giveActionsTheirWork();
    // False, with the reason shown, when the capture tool cannot be run.
    bool canCapture();
    // A grab asked for from the main window, which steps aside until the grab is done.
    void grabFromWindow();
    // Every grab request comes here: a countdown already running is dropped, and the grab runs
    // at once or, given a delay, when its own countdown ends. id names the grab on screen.
    void grab(int id, int delayMs, std::function<void()> work);
    // A warning where the person is looking (see Announcer).
    void warn(const QString &text);
    // What the clipboard store met at start that the user must hear of once.
    void reportStoreTrouble();

    std::unique_ptr<AppState> m_state;
    std::unique_ptr<Clipboard> m_clipboard;
    Capture *m_capture = nullptr;
    HotKeyCenter *m_hotKeys;
    AppActions *m_actions;
    MainWindow *m_mainWindow;
    UpdateSettings *m_updates = nullptr;
    // What the desktop bound where it owns the shortcuts, for the settings.
    DesktopBindings *m_desktopBindings = nullptr;
    SettingsWindowController *m_settings = nullptr;
    ClipboardPanelHost *m_clipboardPanel = nullptr;
    TrayMenu *m_trayMenu = nullptr;
    std::function<void()> m_openSettings;
    bool m_terminated = false;

    Announcer *m_announcer;
    Pins *m_pins;
    std::unique_ptr<SessionServices> m_services;
    SessionFacts m_facts;
    ServicePlan m_plan;
    bool m_servicesStarted = false;
    GrabCountdown *m_countdown;
    CountdownWindow *m_countdownWindow = nullptr;
    // The wait of a delay request, for the grab requests after it in the same requests.
    int m_requestedDelayMs = 0;
    // Set while the compositor and the portal are asked at start.
    SessionProbe *m_probe = nullptr;
    QList<std::function<void()>> m_waitingForServices;
};
