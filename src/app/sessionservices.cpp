// SPDX-License-Identifier: MIT
#include "app/sessionservices.h"

#include "platform/kde/kdekeyboardlayout.h"
#include "platform/kde/kglobalaccelgrabber.h"
#include "platform/kde/kwinkeysender.h"
#include "platform/gnome/gnomeclipboard.h"
#include "platform/gnome/gnomekeys.h"
#include "platform/portal/portalhotkeygrabber.h"
#include "platform/portal/portalkeysender.h"
#include "platform/wayland/swayipc.h"
#include "platform/wayland/waylandclipboardservice.h"
#include "platform/wayland/waylandfrontapp.h"
#include "platform/wayland/waylandkeysender.h"
#include "platform/wayland/whileactiveclipboardservice.h"
#include "platform/x11/x11clipboardservice.h"
#include "platform/x11/x11frontapp.h"
#include "platform/x11/x11hotkeygrabber.h"
#include "platform/x11/x11keyboardlayout.h"
#include "platform/x11/x11keysender.h"
#include "platform/gnome/gnomeshell.h"
#include "settings/desktopbindings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace {
// Calls its work for a window of ours each time the window shows.
class WhenShown : public QObject
{
public:
    WhenShown(std::function<void(QWidget *)> work, QObject *parent) : QObject(parent), m_work(std::move(work)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Show && window && window->isWindow())
            m_work(window);
        return false;
    }

private:
    std::function<void(QWidget *)> m_work;
};

// Asks the shell to raise a window of ours.
void raiseByShell(QWidget *window)
{
    GnomeShell::raiseWindow(QDBusConnection::sessionBus(), window, quint32(QCoreApplication::applicationPid()),
                            window->windowTitle(), true);
}

// Asks sway to float a window of ours and keep it on every workspace. A window about to show is
// looked for again, every 50 ms for half a second, until sway has it.
void keepAboveInSway(QPointer<QWidget> window, int tries = 10)
{
    if (!window || tries <= 0)
        return;
    const QByteArray tree = SwayIpc::ask(SwayIpc::getTree, QString(), 200);
    if (const auto id = SwayIpc::windowId(tree, QCoreApplication::applicationPid(), window->windowTitle())) {
        SwayIpc::ask(SwayIpc::runCommand,
                     QStringLiteral("[con_id=%1] floating enable, sticky enable").arg(*id).toUtf8(), QString(), 200);
        return;
    }
    QTimer::singleShot(50, window, [window, tries] { keepAboveInSway(window, tries - 1); });
}
} // namespace

SessionServices::SessionServices(const SessionFacts &facts, const ServicePlan &plan, bool xcb,
                                 DesktopBindings *bindings, QObject *parent)
    : QObject(parent)
{
    const bool wayland = facts.kind == SessionFacts::Kind::wayland;
    m_shellExtension = facts.hasShellExtension && wayland;
    m_sway = wayland && !qEnvironmentVariableIsEmpty("SWAYSOCK");
    if (xcb)
        m_layout = std::make_unique<X11KeyboardLayout>();
    else if (plan.shortcuts == ServicePlan::Shortcuts::kglobalaccel)
        m_kdeLayout = std::make_unique<KdeKeyboardLayout>();

    switch (plan.clipboard) {
    case ServicePlan::Clipboard::x11:
        if (xcb)
            m_clipboard = std::make_unique<X11ClipboardService>();
        break;
    case ServicePlan::Clipboard::dataControl: {
        auto service = std::make_unique<WaylandClipboardService>();
        connect(service.get(), &WaylandClipboardService::ended, this, [this] {
            emit warning(tr("The desktop stopped sharing its clipboard, so copies aren't "
                            "recorded any more. Restart Kiwano Snapper to record them again."));
        });
        m_clipboard = std::move(service);
        break;
    }
    case ServicePlan::Clipboard::shellExtension:
        m_clipboard = std::make_unique<GnomeClipboardService>();
        break;
    case ServicePlan::Clipboard::whileActive:
        if (wayland)
            m_clipboard = std::make_unique<WhileActiveClipboardService>();
        break;
    }

    // On sway its window tree names the app in front, XWayland's or native; X11 sees only X11
    // windows.
    if (m_sway)
        m_frontApp = std::make_unique<WaylandFrontApp>();
    else if (xcb)
        m_frontApp = std::make_unique<X11FrontApp>();

    switch (plan.paste) {
    case ServicePlan::Paste::xtest:
        m_keySender = std::make_unique<X11KeySender>();
        break;
    case ServicePlan::Paste::virtualKeyboard: {
        // The keys go out on the sender's thread; a compositor that did not take them is told here.
        auto sender = std::make_unique<WaylandKeySender>();
        connect(sender.get(), &WaylandKeySender::pasted, this, [this](bool confirmed) {
            if (!confirmed)
                emit warning(tr("The desktop didn't take the paste keys. The entry is copied: "
                                "press Ctrl+V yourself."));
        });
        m_keySender = std::move(sender);
        break;
    }
    case ServicePlan::Paste::portal: {
        auto sender = std::make_unique<PortalKeySender>();
        connect(sender.get(), &PortalKeySender::permissionAsked, this, [this] {
            emit notice(tr("To paste for you, Kiwano Snapper types Ctrl+V into the app in "
                           "front. Your desktop asks you once whether it may."));
        });
        connect(sender.get(), &PortalKeySender::pasteFailed, this, [this](const QString &reason) {
            emit warning(tr("Pasting for you isn't allowed (%1). Entries are copied; press "
                            "Ctrl+V yourself.").arg(reason));
        });
        m_keySender = std::move(sender);
        break;
    }
    case ServicePlan::Paste::fakeInput: {
        auto sender = std::make_unique<KWinKeySender>();
        connect(sender.get(), &KWinKeySender::pasted, this, [this](bool confirmed) {
            if (!confirmed)
                emit warning(tr("The desktop didn't take the paste keys. The entry is copied: "
                                "press Ctrl+V yourself."));
        });
        m_keySender = std::move(sender);
        break;
    }
    case ServicePlan::Paste::shellExtension: {
        auto sender = std::make_unique<GnomeKeySender>();
        connect(sender.get(), &GnomeKeySender::pasted, this, [this](bool typed) {
            if (!typed)
                emit warning(tr("GNOME Shell didn't type the paste keys. The entry is copied: "
                                "press Ctrl+V yourself."));
        });
        m_keySender = std::move(sender);
        break;
    }
    case ServicePlan::Paste::none:
        break;
    }

    if (plan.shortcuts == ServicePlan::Shortcuts::x11 && X11HotKeyGrabber::isAvailable()) {
        m_grabber = std::make_unique<X11HotKeyGrabber>();
    } else if (plan.shortcuts == ServicePlan::Shortcuts::kglobalaccel) {
        auto grabber = std::make_unique<KGlobalAccelGrabber>(QDBusConnection::sessionBus(), layout());
        if (bindings)
            connect(grabber.get(), &KGlobalAccelGrabber::shortcutsBound, bindings, &DesktopBindings::setTriggers);
        m_grabber = std::move(grabber);
    } else if (plan.shortcuts == ServicePlan::Shortcuts::shellExtension) {
        auto grabber = std::make_unique<GnomeHotKeyGrabber>();
        connect(grabber.get(), &GnomeHotKeyGrabber::refused, this, [this](const QStringList &keys) {
            emit warning(tr("GNOME Shell didn't take these shortcuts: %1. Another app may use "
                            "them; choose others in the settings.").arg(keys.join(QStringLiteral(", "))));
        });
        m_grabber = std::move(grabber);
    } else if (plan.shortcuts == ServicePlan::Shortcuts::portal) {
        auto grabber = std::make_unique<PortalHotKeyGrabber>();
        if (bindings) {
            connect(grabber.get(), &PortalHotKeyGrabber::shortcutsBound, bindings, &DesktopBindings::setTriggers);
            connect(grabber.get(), &PortalHotKeyGrabber::bindingFailed, bindings, &DesktopBindings::setRefused);
        }
        connect(grabber.get(), &PortalHotKeyGrabber::bindingFailed, this, [this](const QString &reason) {
            emit warning(tr("The desktop didn't take our shortcuts (%1). Bind kiwano-snapper "
                            "--region (or --window, --screen, --clipboard) in its keyboard "
                            "settings.").arg(reason));
        });
        m_grabber = std::move(grabber);
    }
}

SessionServices::~SessionServices() = default;

void SessionServices::keepRaised(QWidget *window)
{
    if (m_shellExtension && window)
        window->installEventFilter(new WhenShown(&raiseByShell, this));
}

void SessionServices::keepAbove(QWidget *window)
{
    // The filters go with the window.
    if (m_shellExtension && window)
        window->installEventFilter(new WhenShown(&raiseByShell, window));
    else if (m_sway && window)
        window->installEventFilter(new WhenShown([](QWidget *shown) { keepAboveInSway(shown); }, window));
}

KeyboardLayout *SessionServices::layout() const
{
    if (m_kdeLayout && m_kdeLayout->isReadable())
        return m_kdeLayout.get();
    return m_layout && m_layout->isReadable() ? m_layout.get() : nullptr;
}
