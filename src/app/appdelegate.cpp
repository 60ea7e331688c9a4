// SPDX-License-Identifier: MIT
#include "app/appdelegate.h"

#include "app/announcer.h"
#include "app/appactions.h"
#include "app/capturetool.h"
#include "app/commandline.h"
#include "app/countdownwindow.h"
#include "app/editorwindowcontroller.h"
#include "app/filemanager.h"
#include "app/gnomeoffers.h"
#include "app/grabcountdown.h"
#include "app/mainwindow.h"
#include "app/pins.h"
#include "app/sessionservices.h"
#include "app/traymenu.h"
#include "capture/appstate.h"
#include "capture/capture.h"
#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpanelhost.h"
#include "editor/model/editormodel.h"
#include "editor/model/imageimport.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"
#include "look/pixel.h"
#include "settings/desktopbindings.h"
#include "settings/settingswindowcontroller.h"
#include "settings/updatesettings.h"
#include "platform/preferences.h"
#include "platform/wayland/waylandconnection.h"
#include "platform/x11/x11keyboardlayout.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>
#include <QMessageBox>
#include <QPointer>

#include <cstdio>
#include <utility>

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
    , m_state(std::make_unique<AppState>())
    , m_clipboard(std::make_unique<Clipboard>(nullptr, nullptr, nullptr))
    , m_capture(new Capture(CaptureTool::path(), this))
    , m_hotKeys(new HotKeyCenter(this))
    , m_actions(new AppActions(this))
    , m_mainWindow(new MainWindow(*m_state, *m_hotKeys, *m_actions, *m_capture, this))
    , m_updates(new UpdateSettings(this))
    , m_desktopBindings(new DesktopBindings(this))
    , m_announcer(new Announcer([this] { return m_mainWindow ? m_mainWindow->modelInFront() : nullptr; },
                                [this] { return m_trayMenu ? m_trayMenu->trayIcon() : nullptr; }, this))
    , m_pins(new Pins(this))
    , m_countdown(new GrabCountdown(this))
{
    m_mainWindow->setPinner([pins = m_pins](const QImage &picture, const QString &name) { pins->pin(picture, name); });
    connect(m_capture, &Capture::grabLanded, this, [this](const GrabEntry &entry) {
        m_state->insert(entry, true);
        m_mainWindow->show();
    });
    connect(m_capture, &Capture::grabFailed, m_announcer, &Announcer::grabFailed);
    // Kept for the next "again", across restarts.
    connect(m_capture, &Capture::grabPlaced, this, [](const GrabPlace &place) {
        QSettings settings = Preferences::stateStore();
        place.save(settings);
    });
    connect(m_mainWindow, &MainWindow::grabRequested, this, &AppDelegate::grabFromWindow);
    m_openSettings = [this] { settings().show(); };
    giveActionsTheirWork();
    QPointer<Announcer> announcer(m_announcer);
    FileManager::setOnFailure([announcer](const QString &path) {
        if (announcer)
            announcer->cannotReveal(path);
    });
}

AppDelegate::~AppDelegate()
{
    // The views of the clipboard history go before it, and the windows and the picker before the
    // registry they resume shortcuts in; it lets go of the grabber first. The services go last.
    delete std::exchange(m_countdownWindow, nullptr);
    delete std::exchange(m_clipboardPanel, nullptr);
    delete std::exchange(m_trayMenu, nullptr);
    delete std::exchange(m_settings, nullptr);
    delete std::exchange(m_mainWindow, nullptr);
    m_hotKeys->setOnPress({});
    m_hotKeys->setGrabber(nullptr);
    m_clipboard.reset();
    if (m_services && m_services->layout())
        Keyboard::setLayout(nullptr);
}

void AppDelegate::makeServices()
{
    // Qt reached an X server when it runs on xcb: that, not DISPLAY alone, says X11 works. A
    // Wayland session gets the compositor's own services where it offers them, whichever
    // platform our windows use; elsewhere (offscreen) the history and the registry run without
    // services and read, type and grab nothing.
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    m_facts.hasX11 = xcb;
    m_plan = plan(m_facts);
    const bool wayland = m_facts.kind == SessionFacts::Kind::wayland;

    // On X11 the next grab's tool waits started, so its overlay shows at once.
    if (xcb && !wayland)
        m_capture->keepToolReady(true);
    m_services = std::make_unique<SessionServices>(m_facts, m_plan, xcb, m_desktopBindings);
    connect(m_services.get(), &SessionServices::warning, this, &AppDelegate::warn);
    connect(m_services.get(), &SessionServices::notice, m_announcer, &Announcer::inform);
    if (KeyboardLayout *layout = m_services->layout())
        Keyboard::setLayout(layout);
    if (m_services->clipboard())
        m_clipboard->setServices(m_services->clipboard(), m_services->frontApp(), m_services->keySender());
    if (m_services->grabber())
        m_hotKeys->setGrabber(m_services->grabber());
    if (m_facts.hasShellExtension)
        m_services->keepRaised(&clipboardPanel().panel());
    m_pins->setKeepAbove([services = m_services.get()](QWidget *window) { services->keepAbove(window); });
}

void AppDelegate::startServices()
{
    m_hotKeys->registerAll();
    clipboardPanel().setCopyOnlyLine(m_plan.copyOnlyLine());
    m_clipboard->start();
    m_servicesStarted = true;
    for (const auto &work : std::exchange(m_waitingForServices, {}))
        work();
    emit servicesStarted();
}

void AppDelegate::whenServicesStarted(std::function<void()> work)
{
    if (m_probe && !m_servicesStarted)
        m_waitingForServices.append(std::move(work));
    else
        work();
}

void AppDelegate::start()
{
    Pixel::registerFont();
    m_facts = Session::fromEnvironment(QProcessEnvironment::systemEnvironment());
    // Elsewhere than in a Wayland session the environment tells everything: the services start
    // at once, as before the event loop runs.
    const bool asking = Session::needsProbe(m_facts);
    if (!asking) {
        makeServices();
    } else {
        m_facts.hasX11 = QGuiApplication::platformName() == QLatin1String("xcb");
        m_plan = plan(m_facts);
    }

    m_trayMenu = new TrayMenu(*m_actions, *m_clipboard, *m_hotKeys, this);

    QPointer<AppActions> actions(m_actions);
    m_hotKeys->setOnPress([actions](HotKeyAction action) {
        if (actions)
            actions->trigger(action);
    });
    QPointer<AppDelegate> self(this);

    connect(&clipboardPanel(), &ClipboardPanelHost::settingsRequested, this, &AppDelegate::showSettings);
    // In a Wayland session keys reach only the window the compositor focuses.
    clipboardPanel().setTakesFocus(m_facts.kind == SessionFacts::Kind::wayland);
    if (!asking) {
        startServices();
    } else {
        // The compositor and the portal answer while the event loop runs; the picker and the
        // settings wait for them (at most the probe's deadline), grabs and the windows do not.
        m_probe = new SessionProbe(this);
        connect(m_probe, &SessionProbe::finished, this, [this](const SessionFacts &facts) {
            if (m_terminated)
                return;
            m_facts = facts;
            makeServices();
            startServices();
        });
        m_probe->start(m_facts, [](int timeoutMs) {
            const WaylandConnection::Offers offered = WaylandConnection::offers({}, timeoutMs);
            return CompositorOffers{offered.screencopy, offered.dataControl, offered.virtualKeyboard,
                                    offered.fakeInput};
        });
    }
    reportStoreTrouble();

    if (!QFileInfo(CaptureTool::path()).isExecutable())
        std::fprintf(stderr, "kiwano-snapper: %s\n", qPrintable(CaptureTool::missingMessage()));

    // Without a tray there is no status item to start from: the main window stands in for it.
    if (!m_trayMenu->show())
        openLatest();
}

void AppDelegate::giveActionsTheirWork()
{
    using Id = AppActions::Id;
    const auto give = [this](Id id, void (AppDelegate::*work)()) {
        m_actions->setHandler(id, [this, work] { (this->*work)(); });
    };
    give(Id::openLatest, &AppDelegate::openLatest);
    give(Id::grabRegion, &AppDelegate::grabRegion);
    give(Id::grabWindow, &AppDelegate::grabWindow);
    give(Id::grabScreen, &AppDelegate::grabScreen);
    give(Id::grabLastRegion, &AppDelegate::grabLastRegion);
    m_actions->setHandler(Id::grabRegionIn3, [this] { grabRegionAfter(3000); });
    m_actions->setHandler(Id::grabRegionIn5, [this] { grabRegionAfter(5000); });
    m_actions->setHandler(Id::grabRegionIn10, [this] { grabRegionAfter(10000); });
    give(Id::showClipboard, &AppDelegate::showClipboard);
    give(Id::toggleClipboard, &AppDelegate::toggleClipboard);
    give(Id::ignoreNext, &AppDelegate::toggleIgnoreNext);
    give(Id::pause, &AppDelegate::togglePause);
    give(Id::openImage, &AppDelegate::openImage);
    give(Id::settings, &AppDelegate::showSettings);
    give(Id::checkForUpdates, &AppDelegate::checkForUpdates);
    give(Id::quit, &AppDelegate::quit);
}

void AppDelegate::applicationWillTerminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    m_clipboard->prepareForQuit();
    m_hotKeys->unregisterAll();
}

EditorWindowController &AppDelegate::editor()
{
    return m_mainWindow->controller();
}

SettingsWindowController &AppDelegate::settings()
{
    if (!m_settings) {
        m_settings = new SettingsWindowController(m_updates, m_state.get(), this);
        SettingsView::Services services;
        services.session = m_facts;
        services.plan = m_plan;
        services.desktopBindings = m_desktopBindings;
        offerGnomeWays(m_facts, *m_hotKeys, this, services);
        services.clipboard = m_clipboard.get();
        services.hotKeys = m_hotKeys;
        m_settings->setServices(services);
        m_settings->setQuitHandler([this] { quit(); });
    }
    return *m_settings;
}

ClipboardPanelHost &AppDelegate::clipboardPanel()
{
    if (!m_clipboardPanel)
        m_clipboardPanel = new ClipboardPanelHost(*m_clipboard, *m_hotKeys, this);
    return *m_clipboardPanel;
}

void AppDelegate::open(const QStringList &files)
{
    // Taken in as dropped files are, off the main thread and in their order; the window shows
    // once the first has become a grab.
    ImageImport::loadFiles(files, this, [this](QImage image) {
        if (m_state->addAsNewGrab(image))
            m_mainWindow->show();
    });
}

void AppDelegate::handle(const QStringList &requests)
{
    QStringList files;
    for (const QString &request : requests) {
        const QString file = Requests::fileOf(request);
        if (!file.isEmpty()) {
            files << file;
            continue;
        }
        if (!files.isEmpty()) {
            open(files);
            files.clear();
        }
        if (const QString pinned = Requests::pinnedFileOf(request); !pinned.isEmpty()) {
            // Kept above the others the way the session's services know.
            whenServicesStarted([this, pinned] { pinFile(pinned); });
            continue;
        }
        if (const int delay = Requests::delayOf(request); delay >= 0) {
            m_requestedDelayMs = delay;
            continue;
        }
        m_actions->trigger(request);
    }
    m_requestedDelayMs = 0;
    if (!files.isEmpty())
        open(files);
}

void AppDelegate::whenRequestsSettled(std::function<void()> answer)
{
    // After the requests' own work, which may itself wait for the services.
    whenServicesStarted([this, answer = std::move(answer)] {
        if (!m_clipboardPanel || !m_clipboardPanel->panel().awaitsKeys()) {
            answer();
            return;
        }
        ClipboardPanel &panel = m_clipboardPanel->panel();
        auto *settled = new QObject(this);
        const auto answered = std::make_shared<bool>(false);
        const auto once = [settled, answered, answer] {
            if (std::exchange(*answered, true))
                return;
            answer();
            settled->deleteLater();
        };
        connect(&panel, &ClipboardPanel::keysTaken, settled, once);
        connect(&panel, &ClipboardPanel::closed, settled, once);
        QTimer::singleShot(2000, settled, once);
    });
}

void AppDelegate::openLatest()
{
    m_state->selectLatestIfNeeded();
    m_mainWindow->show();
}

void AppDelegate::grab(int id, int delayMs, std::function<void()> work)
{
    // A later request wins: it grabs now, or starts its own countdown.
    m_countdown->cancel();
    if (!canCapture())
        return;
    if (delayMs <= 0) {
        work();
        return;
    }
    // Made with the first timed grab: most sessions never count down.
    if (!m_countdownWindow)
        m_countdownWindow = new CountdownWindow(*m_countdown);
    m_countdown->start(delayMs, m_actions->title(AppActions::Id(id)), std::move(work));
}

void AppDelegate::grabRegion()
{
    grab(int(AppActions::Id::grabRegion), m_requestedDelayMs, [this] { m_capture->grabRegion(); });
}

void AppDelegate::grabRegionAfter(int milliseconds)
{
    grab(int(AppActions::Id::grabRegion), milliseconds, [this] { m_capture->grabRegion(); });
}

void AppDelegate::grabLastRegion()
{
    grab(int(AppActions::Id::grabLastRegion), m_requestedDelayMs, [this] {
        // Read when the grab comes: a grab that landed during the countdown counts.
        QSettings settings = Preferences::stateStore();
        if (const auto place = GrabPlace::load(settings)) {
            m_capture->grabAgain(*place);
            return;
        }
        m_announcer->inform(tr("There is no region to grab again yet: drag one, and the next time it is "
                               "grabbed again at once."));
        m_capture->grabRegion();
    });
}

void AppDelegate::grabFromWindow()
{
    // The window would cover what the user wants to grab.
    grab(int(AppActions::Id::grabRegion), 0,
         [this] { m_mainWindow->stepAsideFor([this] { m_capture->grabRegion(); }); });
}

void AppDelegate::grabWindow()
{
    grab(int(AppActions::Id::grabWindow), m_requestedDelayMs, [this] { m_capture->grabWindow(); });
}

void AppDelegate::grabScreen()
{
    grab(int(AppActions::Id::grabScreen), m_requestedDelayMs, [this] { m_capture->grabScreen(); });
}

bool AppDelegate::canCapture()
{
    if (QFileInfo(CaptureTool::path()).isExecutable())
        return true;
    warn(CaptureTool::missingMessage());
    return false;
}

void AppDelegate::warn(const QString &text)
{
    m_announcer->warn(text);
}

void AppDelegate::reportStoreTrouble()
{
    Store &store = m_clipboard->store();
    m_announcer->storeTrouble(store.canStore(), store.dir(), store.brokenIndexFound());
    connect(m_clipboard.get(), &Clipboard::copyNotStored, m_announcer, &Announcer::copyNotStored);
}

void AppDelegate::showClipboard()
{
    whenServicesStarted([this] { clipboardPanel().openFromMenu(); });
}

void AppDelegate::toggleClipboard()
{
    whenServicesStarted([this] { clipboardPanel().handlePress(HotKeyAction::clipboard); });
}

void AppDelegate::toggleIgnoreNext()
{
    m_clipboard->setIgnoreNext(!m_clipboard->ignoreNext());
}

void AppDelegate::togglePause()
{
    m_clipboard->setPaused(!m_clipboard->paused());
}

void AppDelegate::openImage()
{
    const QString file = MainWindow::chooseImage();
    if (!file.isEmpty())
        open({file});
}

void AppDelegate::showSettings()
{
    // The settings tell how each service reaches the user: they wait for the session's answer.
    whenServicesStarted([this] { m_openSettings(); });
}

void AppDelegate::setSettingsOpener(std::function<void()> opener)
{
    m_openSettings = opener ? std::move(opener) : [] {};
}

void AppDelegate::checkForUpdates()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Kiwano Snapper"),
                    m_updates->checkNow(), QMessageBox::Ok);
    box.exec();
}

void AppDelegate::pinFile(const QString &path)
{
    if (!m_pins->pinFile(path))
        warn(tr("Couldn't pin %1: it isn't an image Kiwano Snapper can open.")
                 .arg(QDir::toNativeSeparators(path)));
}

void AppDelegate::quit()
{
    QCoreApplication::quit();
}
