// SPDX-License-Identifier: MIT
#include "app/appdelegate.h"

#include "app/announcer.h"
#include "app/commandline.h"
#include "app/editorwindowcontroller.h"
#include "app/emptystate.h"
#include "app/filemanager.h"
#include "app/rootview.h"
#include "app/sessionservices.h"
#include "app/traymenu.h"
#include "capture/appstate.h"
#include "capture/capture.h"
#include "capture/history.h"
#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpanelhost.h"
#include "editor/model/editormodel.h"
#include "editor/ui/editorview.h"
#include "editor/model/imageimport.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"
#include "look/pixel.h"
#include "settings/desktopbindings.h"
#include "settings/settingswindowcontroller.h"
#include "settings/updatesettings.h"
#include "platform/dbusnotifications.h"
#include "platform/wayland/waylandconnection.h"
#include "platform/x11/x11keyboardlayout.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QHash>
#include <QImageReader>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QSystemTrayIcon>

#include <cstdio>
#include <utility>

#ifndef KIWANO_LIBEXEC_FROM_BIN
#define KIWANO_LIBEXEC_FROM_BIN "../libexec/kiwano-snapper"
#endif

namespace {

QString imageFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QCoreApplication::translate("AppDelegate", "Images (%1)").arg(patterns.join(QLatin1Char(' ')));
}

} // namespace

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
    , m_state(std::make_unique<AppState>())
    , m_capture(new Capture(captureToolPath(), this))
    , m_updates(new UpdateSettings(this))
    , m_desktopBindings(new DesktopBindings(this))
    , m_announcer(new Announcer([this] { return modelInFront(); },
                                [this] { return m_trayMenu ? m_trayMenu->trayIcon() : nullptr; }, this))
{
    connect(m_capture, &Capture::grabLanded, this, [this](const GrabEntry &entry) {
        m_state->insert(entry, true);
        editor().show();
    });
    connect(m_capture, &Capture::grabFailed, this, [this](const QString &reason) {
        warn(tr("The grab didn't work: %1").arg(reason));
    });
    m_openSettings = [this] { settings().show(); };
    QPointer<Announcer> announcer(m_announcer);
    FileManager::setOnFailure([announcer](const QString &path) {
        if (announcer)
            announcer->cannotReveal(path);
    });
}

AppDelegate::~AppDelegate()
{
    // The registry and the history outlive us: take our services back from them first.
    HotKeyCenter::shared().setOnPress({});
    if (m_services && m_services->grabber())
        HotKeyCenter::shared().setGrabber(nullptr);
    if (m_services && m_services->clipboard()) {
        Clipboard::shared().stop();
        Clipboard::shared().setServices(nullptr, nullptr, nullptr);
    }
    if (m_services && m_services->layout())
        Keyboard::setLayout(nullptr);
}

QString AppDelegate::captureToolPath()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString beside = bin.filePath(QStringLiteral("kiwano-capture"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    const QString installed = QDir::cleanPath(
        bin.filePath(QStringLiteral(KIWANO_LIBEXEC_FROM_BIN "/kiwano-capture")));
    if (QFileInfo(installed).isExecutable())
        return installed;
    return beside;
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
    connect(m_services.get(), &SessionServices::notice, this, &AppDelegate::inform);
    if (X11KeyboardLayout *layout = m_services->layout())
        Keyboard::setLayout(layout);
    if (m_services->clipboard())
        Clipboard::shared().setServices(m_services->clipboard(), m_services->frontApp(), m_services->keySender());
    if (m_services->grabber())
        HotKeyCenter::shared().setGrabber(m_services->grabber());
}

void AppDelegate::startServices()
{
    HotKeyCenter::shared().registerAll();
    clipboardPanel().setCopyOnlyLine(m_plan.copyOnlyLine());
    Clipboard::shared().start();
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

    m_trayMenu = new TrayMenu(*this, Clipboard::shared(), HotKeyCenter::shared(), this);

    QPointer<AppDelegate> self(this);
    HotKeyCenter::shared().setOnPress([self](HotKeyAction action) {
        if (self)
            self->onPress(action);
    });

    clipboardPanel().setOpenSettings([self] {
        if (self)
            self->showSettings();
    });
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
            return CompositorOffers{offered.screencopy, offered.dataControl, offered.virtualKeyboard};
        });
    }
    reportStoreTrouble();

    if (!QFileInfo(captureToolPath()).isExecutable())
        std::fprintf(stderr, "kiwano-snapper: %s\n", qPrintable(missingToolMessage()));

    // Without a tray there is no status item to start from: the main window stands in for it.
    if (!m_trayMenu->show())
        openLatest();
}

void AppDelegate::onPress(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion:
        grabRegion();
        break;
    case HotKeyAction::grabWindow:
        grabWindow();
        break;
    case HotKeyAction::grabScreen:
        grabScreen();
        break;
    case HotKeyAction::clipboard:
        toggleClipboard();
        break;
    }
}

void AppDelegate::applicationWillTerminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    Clipboard::shared().prepareForQuit();
    HotKeyCenter::shared().unregisterAll();
}

EditorWindowController &AppDelegate::editor()
{
    if (!m_editor) {
        m_editor = std::make_unique<EditorWindowController>(m_state.get());
        // The keys the tray menu shows work in the window too; Ctrl+Q is the only way out
        // without a tray.
        const auto windowKey = [this](QKeyCombination key, void (AppDelegate::*slot)()) {
            auto *action = new QAction(m_editor->window());
            action->setShortcut(QKeySequence(key));
            action->setShortcutContext(Qt::WindowShortcut);
            connect(action, &QAction::triggered, this, slot);
            m_editor->window()->addAction(action);
        };
        windowKey(Qt::CTRL | Qt::Key_Q, &AppDelegate::quit);
        windowKey(Qt::CTRL | Qt::Key_O, &AppDelegate::openLatest);
        windowKey(Qt::CTRL | Qt::Key_Comma, &AppDelegate::showSettings);
        connect(m_editor->rootView()->emptyState(), &EmptyState::grabRequested, this,
                &AppDelegate::grabFromWindow);
    }
    return *m_editor;
}

SettingsWindowController &AppDelegate::settings()
{
    if (!m_settings) {
        m_settings = new SettingsWindowController(m_updates, m_state.get(), this);
        SettingsView::Services services;
        services.session = m_facts;
        services.plan = m_plan;
        services.desktopBindings = m_desktopBindings;
        m_settings->setServices(services);
        m_settings->setQuitHandler([this] { quit(); });
    }
    return *m_settings;
}

ClipboardPanelHost &AppDelegate::clipboardPanel()
{
    if (!m_clipboardPanel)
        m_clipboardPanel = new ClipboardPanelHost(Clipboard::shared(), HotKeyCenter::shared(), this);
    return *m_clipboardPanel;
}

void AppDelegate::open(const QStringList &files)
{
    // Taken in as dropped files are, off the main thread and in their order; the window shows
    // once the first has become a grab.
    ImageImport::loadFiles(files, this, [this](QImage image) {
        if (m_state->addAsNewGrab(image))
            editor().show();
    });
}

void AppDelegate::handle(const QStringList &requests)
{
    const QHash<QString, void (AppDelegate::*)()> actions{
        {QStringLiteral("region"), &AppDelegate::grabRegion},
        {QStringLiteral("window"), &AppDelegate::grabWindow},
        {QStringLiteral("screen"), &AppDelegate::grabScreen},
        // Desktops without our global shortcuts bind this one: it follows the shortcut's rules.
        {QStringLiteral("clipboard"), &AppDelegate::toggleClipboard},
        {QStringLiteral("settings"), &AppDelegate::showSettings},
        {QStringLiteral("show"), &AppDelegate::openLatest},
        {QStringLiteral("quit"), &AppDelegate::quit},
    };
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
        if (const auto action = actions.value(request))
            (this->*action)();
    }
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
    editor().show();
}

void AppDelegate::grabRegion()
{
    if (canCapture())
        m_capture->grabRegion();
}

void AppDelegate::grabFromWindow()
{
    if (!canCapture())
        return;
    // The window would cover what the user wants to grab; it comes back when the grab is done,
    // landed, failed or cancelled.
    editor().window()->hide();
    auto *guard = new QObject(this);
    connect(m_capture, &Capture::grabEnded, guard, [this, guard] {
        guard->deleteLater();
        editor().show();
    });
    // The window manager takes a moment to take the window off the screen the tool freezes.
    QTimer::singleShot(300, this, [this] { m_capture->grabRegion(); });
}

void AppDelegate::grabWindow()
{
    if (canCapture())
        m_capture->grabWindow();
}

void AppDelegate::grabScreen()
{
    if (canCapture())
        m_capture->grabScreen();
}

QString AppDelegate::missingToolMessage()
{
    return tr("The capture tool is missing (looked for %1). Reinstall Kiwano Snapper to grab the screen.")
        .arg(QDir::toNativeSeparators(captureToolPath()));
}

bool AppDelegate::canCapture()
{
    if (QFileInfo(captureToolPath()).isExecutable())
        return true;
    warn(missingToolMessage());
    return false;
}

void AppDelegate::warn(const QString &text)
{
    m_announcer->warn(text);
}

void AppDelegate::inform(const QString &text)
{
    m_announcer->inform(text);
}

EditorModel *AppDelegate::modelInFront() const
{
    // A closed window is hidden, not gone, and may still count as the active one.
    const QMainWindow *window = m_editor ? m_editor->window() : nullptr;
    if (!window || !window->isVisible() || window->isMinimized() || !window->isActiveWindow())
        return nullptr;
    const EditorView *view = m_editor->rootView()->editor();
    return view && view->isVisible() ? m_state->currentModel() : nullptr;
}

void AppDelegate::reportStoreTrouble()
{
    if (!Store::canStore())
        warn(tr("Copies can't be stored: something that isn't a folder stands where "
                            "the clipboard history should be (%1).")
                 .arg(QDir::toNativeSeparators(Store::dir())));
    else if (Store::brokenIndexFound())
        warn(tr("The clipboard history couldn't be read. It was set aside unchanged, "
                            "and a new history has begun."));
    connect(&Clipboard::shared(), &Clipboard::copyNotStored, this, [this] {
        // Once a run: a full disk would otherwise speak up at every copy.
        if (std::exchange(m_toldCopyNotStored, true))
            return;
        warn(tr("A copy couldn't be stored. Is the disk full?"));
    });
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
    Clipboard::shared().setIgnoreNext(!Clipboard::shared().ignoreNext());
}

void AppDelegate::togglePause()
{
    Clipboard::shared().setPaused(!Clipboard::shared().paused());
}

void AppDelegate::openImage()
{
    const QString file = QFileDialog::getOpenFileName(nullptr, tr("Open Image"), QString(), imageFilter());
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

void AppDelegate::quit()
{
    QCoreApplication::quit();
}
