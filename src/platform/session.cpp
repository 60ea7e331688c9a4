// SPDX-License-Identifier: MIT
#include "platform/session.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {
// Our GNOME Shell extension (see platform/gnome/gnomeshell.h; this library links none of it).
const QString shellExtensionService = QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell");
const QString shellExtensionPath = QStringLiteral("/org/kiwanosnapper/KiwanoSnapper/Shell");
const QString shellExtensionInterface = QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell1");
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
}

QString ServiceAccount::stateText(State state)
{
    switch (state) {
    case State::native:
        return QCoreApplication::translate("ServiceAccount", "native");
    case State::fallsBack:
        return QCoreApplication::translate("ServiceAccount", "falls back");
    case State::unavailable:
        break;
    }
    return QCoreApplication::translate("ServiceAccount", "not available");
}

QString ServiceAccount::detail() const
{
    QString line;
    if (!means.isEmpty())
        line = means.at(0).toUpper() + means.mid(1) + QLatin1Char('.');
    if (!advice.isEmpty())
        line += QLatin1Char(' ') + advice;
    return line.trimmed();
}

QString ServiceAccount::text() const
{
    return QCoreApplication::translate("ServiceAccount",
            "%1: %2. %3").arg(service, stateText(state), detail()).trimmed();
}

namespace {
using State = ServiceAccount::State;

QString bindYourself()
{
    return QCoreApplication::translate("ServiceAccount",
            "Bind the commands below in your desktop's keyboard settings.");
}

QString xwaylandOnly()
{
    return QCoreApplication::translate("ServiceAccount", "X11 apps only, through XWayland");
}

QString shellExtension()
{
    return QCoreApplication::translate("ServiceAccount", "Kiwano Snapper's GNOME Shell extension");
}

QString pressCtrlV()
{
    return QCoreApplication::translate("ServiceAccount", "copies only: press Ctrl+V yourself");
}

ServiceAccount shortcutsAccount(const ServicePlan &plan)
{
    const QString service = QCoreApplication::translate("ServiceAccount", "Shortcuts");
    switch (plan.shortcuts) {
    case ServicePlan::Shortcuts::x11:
        if (plan.throughXWayland)
            return {service, State::fallsBack, QCoreApplication::translate("ServiceAccount",
                    "only while an X11 app is in front, through XWayland"),
                    bindYourself()};
        return {service, State::native, QStringLiteral("X11"), {}};
    case ServicePlan::Shortcuts::portal:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "the desktop portal (asks once)"),
                QCoreApplication::translate("ServiceAccount",
                        "Your desktop owns the keys: change them in its keyboard settings.")};
    case ServicePlan::Shortcuts::kglobalaccel:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "KDE's global shortcuts"),
                QCoreApplication::translate("ServiceAccount",
                        "They are listed under Kiwano Snapper in System Settings, Shortcuts.")};
    case ServicePlan::Shortcuts::shellExtension:
        return {service, State::native, shellExtension(), {}};
    case ServicePlan::Shortcuts::none:
        break;
    }
    return {service, State::unavailable, QCoreApplication::translate("ServiceAccount",
            "this desktop lets no app bind keys"), bindYourself()};
}

ServiceAccount captureAccount(const ServicePlan &plan)
{
    const QString service = QCoreApplication::translate("ServiceAccount", "Grabs");
    switch (plan.capture) {
    case ServicePlan::Capture::x11:
        return {service, State::native, QStringLiteral("X11"), {}};
    case ServicePlan::Capture::screencopy:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "the desktop's screen copy"), {}};
    case ServicePlan::Capture::portal:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "the desktop portal (asks once)"), {}};
    case ServicePlan::Capture::kwinScreenShot:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "KWin's screenshot service"), {}};
    case ServicePlan::Capture::shellExtension:
        return {service, State::native, shellExtension(), {}};
    case ServicePlan::Capture::none:
        break;
    }
    return {service, State::unavailable, QCoreApplication::translate("ServiceAccount",
            "this desktop shows the screen to no app"),
            QCoreApplication::translate("ServiceAccount",
                    "Take the picture with your desktop's own tool, then open it here.")};
}

ServiceAccount clipboardAccount(const ServicePlan &plan)
{
    const QString service = QCoreApplication::translate("ServiceAccount", "Clipboard history");
    switch (plan.clipboard) {
    case ServicePlan::Clipboard::x11:
        if (plan.throughXWayland)
            return {service, State::fallsBack, QCoreApplication::translate("ServiceAccount",
                    "the copies your desktop hands to X11 apps, through XWayland"),
                    {}};
        return {service, State::native, QStringLiteral("X11"), {}};
    case ServicePlan::Clipboard::dataControl:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "the desktop's clipboard"), {}};
    case ServicePlan::Clipboard::shellExtension:
        return {service, State::native, shellExtension(), {}};
    case ServicePlan::Clipboard::whileActive:
        break;
    }
    return {service, State::fallsBack, QCoreApplication::translate("ServiceAccount",
            "recorded only while Kiwano Snapper is in front"),
            QCoreApplication::translate("ServiceAccount",
                    "Bring a Kiwano Snapper window to the front before you copy what you want to keep.")};
}

ServiceAccount pasteAccount(const ServicePlan &plan)
{
    const QString service = QCoreApplication::translate("ServiceAccount", "Paste");
    switch (plan.paste) {
    case ServicePlan::Paste::xtest:
        if (plan.throughXWayland)
            return {service, State::fallsBack, xwaylandOnly(),
                    QCoreApplication::translate("ServiceAccount",
                            "Elsewhere entries are copied: press Ctrl+V yourself.")};
        return {service, State::native, QStringLiteral("X11"), {}};
    case ServicePlan::Paste::virtualKeyboard:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "the desktop's virtual keyboard"), {}};
    case ServicePlan::Paste::portal:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "the desktop portal (asks once, at the first paste)"), {}};
    case ServicePlan::Paste::fakeInput:
        return {service, State::native, QCoreApplication::translate("ServiceAccount",
                "KWin's input for trusted apps"), {}};
    case ServicePlan::Paste::shellExtension:
        return {service, State::native, shellExtension(), {}};
    case ServicePlan::Paste::none:
        break;
    }
    return {service, State::unavailable, pressCtrlV(), {}};
}
} // namespace

ServiceAccount refusedShortcutsAccount(const QString &reason)
{
    return {QCoreApplication::translate("ServiceAccount", "Shortcuts"), State::unavailable,
            QCoreApplication::translate("ServiceAccount",
                    "the desktop didn't take our shortcuts (%1)").arg(reason), bindYourself()};
}

QList<ServiceAccount> ServicePlan::account() const
{
    return {shortcutsAccount(*this), captureAccount(*this), clipboardAccount(*this), pasteAccount(*this)};
}

QString ServicePlan::copyOnlyLine() const
{
    if (paste != Paste::none)
        return {};
    return QStringLiteral("\u23CE copies only in this session: press Ctrl+V yourself.");
}

ServicePlan plan(const SessionFacts &facts)
{
    using Kind = SessionFacts::Kind;
    ServicePlan result;
    if (facts.kind != Kind::wayland) {
        // An X11 session, or one we cannot tell: X11 wherever there is an X server.
        if (facts.hasX11) {
            result.shortcuts = ServicePlan::Shortcuts::x11;
            result.paste = ServicePlan::Paste::xtest;
            result.capture = ServicePlan::Capture::x11;
            result.clipboard = ServicePlan::Clipboard::x11;
        }
        return result;
    }
    result.throughXWayland = facts.hasX11;
    if (facts.hasKWinShortcuts)
        result.shortcuts = ServicePlan::Shortcuts::kglobalaccel;
    else if (facts.hasShellExtension)
        result.shortcuts = ServicePlan::Shortcuts::shellExtension;
    else if (facts.hasGlobalShortcutsPortal)
        result.shortcuts = ServicePlan::Shortcuts::portal;
    else if (facts.hasX11)
        result.shortcuts = ServicePlan::Shortcuts::x11;
    if (facts.hasVirtualKeyboard)
        result.paste = ServicePlan::Paste::virtualKeyboard;
    else if (facts.hasFakeInput)
        result.paste = ServicePlan::Paste::fakeInput;
    else if (facts.hasShellExtension)
        result.paste = ServicePlan::Paste::shellExtension;
    else if (facts.hasRemoteDesktopPortal)
        result.paste = ServicePlan::Paste::portal;
    else if (facts.hasX11)
        result.paste = ServicePlan::Paste::xtest;
    // XWayland's root window shows only X11 windows: native ones come out black, so a Wayland
    // session never grabs through X11.
    if (facts.hasScreencopy)
        result.capture = ServicePlan::Capture::screencopy;
    else if (facts.hasKWinScreenShot)
        result.capture = ServicePlan::Capture::kwinScreenShot;
    else if (facts.hasShellExtension)
        result.capture = ServicePlan::Capture::shellExtension;
    else if (facts.hasScreenshotPortal)
        result.capture = ServicePlan::Capture::portal;
    if (facts.hasDataControl)
        result.clipboard = ServicePlan::Clipboard::dataControl;
    else if (facts.hasShellExtension)
        result.clipboard = ServicePlan::Clipboard::shellExtension;
    else if (facts.hasX11)
        result.clipboard = ServicePlan::Clipboard::x11;
    return result;
}

SessionFacts Session::fromEnvironment(const QProcessEnvironment &environment)
{
    using Kind = SessionFacts::Kind;
    SessionFacts facts;
    const QString type = environment.value(QStringLiteral("XDG_SESSION_TYPE")).toLower();
    if (type == QLatin1String("x11"))
        facts.kind = Kind::x11;
    else if (type == QLatin1String("wayland"))
        facts.kind = Kind::wayland;
    else if (type.isEmpty() || type == QLatin1String("tty") || type == QLatin1String("unspecified")) {
        // Started outside a login session manager: the display variables still tell.
        if (!environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
            facts.kind = Kind::wayland;
        else if (!environment.value(QStringLiteral("DISPLAY")).isEmpty())
            facts.kind = Kind::x11;
    }
    facts.desktop = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    facts.hasX11 = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    return facts;
}

SessionProbe::SessionProbe(QObject *parent)
    : QObject(parent)
{
}

SessionProbe::~SessionProbe() = default;

void SessionProbe::start(const SessionFacts &facts, CompositorQuestion askCompositor, QDBusConnection bus, int timeoutMs)
{
    m_facts = facts;
    m_started = true;
    // Held until the event loop runs, so that finished() never comes from within start().
    m_left = 1;
    QMetaObject::invokeMethod(this, &SessionProbe::settled, Qt::QueuedConnection);
    if (!Session::needsProbe(facts))
        return;
    timeoutMs = std::clamp(timeoutMs, 1, 500);

    m_facts.hasScreencopy = m_facts.hasDataControl = m_facts.hasVirtualKeyboard = false;
    m_facts.hasFakeInput = false;
    // A thread of its own rather than a pool's: decodes queued at start must not delay it. It
    // outlives the probe when need be, and its answer then goes nowhere.
    ++m_left;
    const auto offered = std::make_shared<CompositorOffers>();
    // The compositor gets longer than the portal: KWin reads the whole executable of each new
    // client on its main thread, and at login it is busy starting the session beside us.
    const int compositorMs = timeoutMs * 3;
    QThread *compositor = QThread::create([offered, askCompositor = std::move(askCompositor), compositorMs] {
        if (askCompositor)
            *offered = askCompositor(compositorMs);
    });
    connect(compositor, &QThread::finished, compositor, &QObject::deleteLater);
    connect(compositor, &QThread::finished, this, [this, offered] {
        m_facts.hasScreencopy = offered->screencopy;
        m_facts.hasDataControl = offered->dataControl;
        m_facts.hasVirtualKeyboard = offered->virtualKeyboard;
        m_facts.hasFakeInput = offered->fakeInput;
        settled();
    });
    compositor->start();

    m_facts.hasGlobalShortcutsPortal = m_facts.hasRemoteDesktopPortal = m_facts.hasScreenshotPortal = false;
    m_facts.hasKWinScreenShot = m_facts.hasKWinShortcuts = m_facts.hasShellExtension = false;
    if (!bus.isConnected())
        return;
    // KWin's services come before the portal's on KDE. Global shortcuts count only where KWin
    // itself serves them: a KDE shortcut daemon of its own sees no keys under another compositor.
    askOwner(bus, QStringLiteral("org.kde.KWin"), &m_kwinOwner, timeoutMs);
    askOwner(bus, QStringLiteral("org.kde.kglobalaccel"), &m_shortcutsOwner, timeoutMs);
    askOwner(bus, QStringLiteral("org.kde.KWin.ScreenShot2"), &m_screenShotOwner, timeoutMs);
    // Our GNOME Shell extension comes before the portal's on GNOME.
    askShellExtension(bus, timeoutMs);
    // The questions go out together; each answers on its own.
    ask(bus, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), &SessionFacts::hasGlobalShortcutsPortal, timeoutMs);
    ask(bus, QStringLiteral("org.freedesktop.portal.RemoteDesktop"), &SessionFacts::hasRemoteDesktopPortal, timeoutMs);
    ask(bus, QStringLiteral("org.freedesktop.portal.Screenshot"), &SessionFacts::hasScreenshotPortal, timeoutMs);
}

void SessionProbe::ask(QDBusConnection &bus, const QString &interface, bool SessionFacts::*fact, int timeoutMs)
{
    QDBusMessage get = QDBusMessage::createMethodCall(portalService, portalPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    ++m_left;
    auto *call = new QDBusPendingCallWatcher(bus.asyncCall(get, timeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, fact](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        // A portal that names a version serves the interface; an error or silence means it does not.
        QDBusPendingReply<QDBusVariant> reply = *call;
        m_facts.*fact = reply.isValid() && reply.value().variant().toUInt() > 0;
        settled();
    });
}

void SessionProbe::askOwner(QDBusConnection &bus, const QString &name, QString *owner, int timeoutMs)
{
    QDBusMessage get = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("GetNameOwner"));
    get << name;
    ++m_left;
    auto *call = new QDBusPendingCallWatcher(bus.asyncCall(get, timeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, owner](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        QDBusPendingReply<QString> reply = *call;
        *owner = reply.isValid() ? reply.value() : QString();
        settleKWin();
        settled();
    });
}

void SessionProbe::askShellExtension(QDBusConnection &bus, int timeoutMs)
{
    const QDBusMessage version = QDBusMessage::createMethodCall(shellExtensionService, shellExtensionPath,
        shellExtensionInterface, QStringLiteral("Version"));
    ++m_left;
    auto *call = new QDBusPendingCallWatcher(bus.asyncCall(version, timeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        QDBusPendingReply<uint> reply = *call;
        m_facts.hasShellExtension = reply.isValid() && reply.value() >= 1;
        settled();
    });
}

void SessionProbe::settleKWin()
{
    const bool kwin = !m_kwinOwner.isEmpty();
    m_facts.hasKWinShortcuts = kwin && m_shortcutsOwner == m_kwinOwner;
    m_facts.hasKWinScreenShot = kwin && m_screenShotOwner == m_kwinOwner;
}

void SessionProbe::settled()
{
    if (--m_left == 0)
        emit finished(m_facts);
}
