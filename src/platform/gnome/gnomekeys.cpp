// SPDX-License-Identifier: MIT
#include "platform/gnome/gnomekeys.h"

#include "platform/gnome/gnomeshell.h"

#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace {
constexpr int deadlineMs = 2000;
const QString namePrefix = QStringLiteral("kiwano-");
}

GnomeKeySender::GnomeKeySender(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
}

bool GnomeKeySender::sendPaste(bool terminal)
{
    if (!m_bus.isConnected())
        return false;
    QDBusMessage message = GnomeShell::call(QStringLiteral("Paste"));
    message << terminal;
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(message, deadlineMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<bool> reply = *call;
        emit pasted(reply.isValid() && reply.value());
    });
    return true;
}

GnomeHotKeyGrabber::GnomeHotKeyGrabber(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_shellWatch(new QDBusServiceWatcher(GnomeShell::service, m_bus,
                                           QDBusServiceWatcher::WatchForRegistration, this))
{
    qDBusRegisterMetaType<QMap<QString, QString>>();
    m_bus.connect(GnomeShell::service, GnomeShell::path, GnomeShell::interface,
                  QStringLiteral("ShortcutPressed"), this, SLOT(pressed(QString)));
    connect(m_shellWatch, &QDBusServiceWatcher::serviceRegistered, this, &GnomeHotKeyGrabber::scheduleBind);
}

GnomeHotKeyGrabber::~GnomeHotKeyGrabber() = default;

std::optional<HotKeyGrabber::Handle> GnomeHotKeyGrabber::grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id)
{
    const std::optional<QString> accelerator = GnomeShell::accelerator(keyCode, x11Modifiers);
    if (!accelerator)
        return std::nullopt;
    const Handle handle = m_nextHandle++;
    m_entries.insert(handle, {id, *accelerator});
    scheduleBind();
    return handle;
}

void GnomeHotKeyGrabber::release(Handle handle)
{
    if (m_entries.remove(handle))
        scheduleBind();
}

// Grabs and releases come in bursts when the settings change: the shell gets the outcome once.
void GnomeHotKeyGrabber::scheduleBind()
{
    if (m_bindScheduled)
        return;
    m_bindScheduled = true;
    QMetaObject::invokeMethod(this, &GnomeHotKeyGrabber::bind, Qt::QueuedConnection);
}

void GnomeHotKeyGrabber::bind()
{
    m_bindScheduled = false;
    QMap<QString, QString> accelerators;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        accelerators.insert(namePrefix + QString::number(it.key()), it->accelerator);
    QDBusMessage message = GnomeShell::call(QStringLiteral("SetShortcuts"));
    message << QVariant::fromValue(accelerators);
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(message, deadlineMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, accelerators](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QStringList> reply = *call;
        if (!reply.isValid())
            return;  // no shell to bind them: they come when it does
        QStringList keys;
        for (const QString &name : reply.value())
            keys << accelerators.value(name);
        if (!keys.isEmpty())
            emit refused(keys);
    });
}

void GnomeHotKeyGrabber::pressed(const QString &name)
{
    if (!name.startsWith(namePrefix) || !m_handler)
        return;
    const auto it = m_entries.constFind(name.mid(namePrefix.size()).toULongLong());
    if (it != m_entries.cend())
        m_handler(it->id);
}
