// SPDX-License-Identifier: MIT
#include "platform/portal/portalhotkeygrabber.h"

#include "platform/portal/portalshortcut.h"

#include <QCoreApplication>
#include <QDBusMetaType>

namespace {
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
constexpr auto &actions = boundActions;
}

PortalHotKeyGrabber::PortalHotKeyGrabber(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{
    PortalShortcuts::registerTypes();
}

QString PortalHotKeyGrabber::shortcutId(quint32 number)
{
    if (number < actions.size())
        return QString::fromLatin1(actions[number].name);
    return QStringLiteral("shortcut%1").arg(number);
}

void PortalHotKeyGrabber::installPressHandler(PressHandler handler)
{
    m_handler = std::move(handler);
}

std::optional<HotKeyGrabber::Handle> PortalHotKeyGrabber::grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id)
{
    const std::optional<QString> trigger = PortalShortcuts::trigger(keyCode, x11Modifiers);
    if (!trigger || m_state == State::Failed)
        return std::nullopt;
    const Handle handle = m_nextHandle++;
    m_entries.insert(handle, {id, shortcutId(id.number), *trigger});
    scheduleBind();
    return handle;
}

void PortalHotKeyGrabber::release(Handle handle)
{
    if (m_entries.remove(handle))
        scheduleBind();
}

// Grabs come in bursts (all four at start-up); they go to the desktop as one list.
void PortalHotKeyGrabber::scheduleBind()
{
    if (m_bindScheduled || m_state == State::Failed)
        return;
    m_bindScheduled = true;
    QMetaObject::invokeMethod(this, [this] {
        if (m_state != State::Opening) {
            m_bindScheduled = false;
            bind();
        }
    }, Qt::QueuedConnection);
}

void PortalHotKeyGrabber::bind()
{
    if (m_state == State::Idle) {
        m_state = State::Opening;
        // Until the session is open, m_bindScheduled stays set and further grabs just wait.
        m_bindScheduled = true;
        QDBusMessage call = QDBusMessage::createMethodCall(Portal::service, Portal::path, shortcutsInterface,
                                                           QStringLiteral("CreateSession"));
        call << QVariantMap{{QStringLiteral("session_handle_token"), PortalRequest::nextToken()}};
        PortalRequest::send(m_bus, call, m_deadlineMs, this, [this](const PortalRequest::Answer &answer) {
            m_bindScheduled = false;
            if (answer.outcome != PortalRequest::Outcome::Granted)
                return fail(answer);
            m_session = QDBusObjectPath(answer.results.value(QStringLiteral("session_handle")).toString());
            m_state = State::Open;
            m_bus.connect(Portal::service, Portal::path, shortcutsInterface, QStringLiteral("Activated"), this,
                          SLOT(activated(QDBusObjectPath,QString,qulonglong,QVariantMap)));
            // The user may change the keys in the desktop's own settings.
            m_bus.connect(Portal::service, Portal::path, shortcutsInterface, QStringLiteral("ShortcutsChanged"),
                          this, SLOT(changed(QDBusMessage)));
            bind();
        });
        return;
    }
    if (m_state != State::Open)
        return;

    QList<PortalShortcut> shortcuts;
    for (const Entry &entry : std::as_const(m_entries)) {
        const quint32 n = entry.id.number;
        const QString description = n < actions.size() ? QString::fromLatin1(actions[n].title) : entry.shortcut;
        shortcuts.append({entry.shortcut, {{QStringLiteral("description"), description},
                                           {QStringLiteral("preferred_trigger"), entry.trigger}}});
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Portal::service, Portal::path, shortcutsInterface,
                                                       QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(m_session) << QVariant::fromValue(shortcuts) << QString() << QVariantMap();
    PortalRequest::send(m_bus, call, m_deadlineMs, this, [this](const PortalRequest::Answer &answer) {
        if (answer.outcome != PortalRequest::Outcome::Granted)
            return fail(answer);
        if (answer.results.contains(QStringLiteral("shortcuts")))
            return takeBound(answer.results.value(QStringLiteral("shortcuts")));
        // Some desktops answer the binding without saying what they bound.
        QDBusMessage list = QDBusMessage::createMethodCall(Portal::service, Portal::path, shortcutsInterface,
                                                           QStringLiteral("ListShortcuts"));
        list << QVariant::fromValue(m_session) << QVariantMap();
        PortalRequest::send(m_bus, list, m_deadlineMs, this, [this](const PortalRequest::Answer &answer) {
            if (answer.outcome != PortalRequest::Outcome::Granted)
                return fail(answer);
            takeBound(answer.results.value(QStringLiteral("shortcuts")));
        });
    });
}

void PortalHotKeyGrabber::takeBound(const QVariant &shortcuts)
{
    m_bound.clear();
    for (const PortalShortcut &shortcut : PortalShortcuts::fromVariant(shortcuts))
        m_bound.insert(shortcut.id, shortcut.properties.value(QStringLiteral("trigger_description")).toString());
    emit shortcutsBound(m_bound);
}

void PortalHotKeyGrabber::changed(const QDBusMessage &message)
{
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() >= 2 && qdbus_cast<QDBusObjectPath>(arguments.at(0)) == m_session)
        takeBound(arguments.at(1));
}

void PortalHotKeyGrabber::fail(const PortalRequest::Answer &answer)
{
    m_state = State::Failed;
    m_failure = answer.outcome == PortalRequest::Outcome::Unavailable
        ? QCoreApplication::translate("Portal", "This desktop offers no global shortcuts to applications.")
        : answer.reason;
    m_entries.clear();
    m_bound.clear();
    emit bindingFailed(m_failure);
}

void PortalHotKeyGrabber::activated(const QDBusObjectPath &session, const QString &shortcut, qulonglong,
                                    const QVariantMap &)
{
    if (session != m_session || !m_handler)
        return;
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.shortcut == shortcut) {
            m_handler(entry.id);
            return;
        }
    }
}
