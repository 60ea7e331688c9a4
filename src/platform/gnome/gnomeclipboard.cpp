// SPDX-License-Identifier: MIT
#include "platform/gnome/gnomeclipboard.h"

#include "platform/gnome/gnomeshell.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>

namespace {

const QString changedSignal = QStringLiteral("ClipboardChanged");

bool listen(QDBusConnection &bus, QObject *receiver, const char *slot)
{
    return bus.connect(GnomeShell::service, GnomeShell::path, GnomeShell::interface, changedSignal, receiver, slot);
}

void unlisten(QDBusConnection &bus, QObject *receiver, const char *slot)
{
    bus.disconnect(GnomeShell::service, GnomeShell::path, GnomeShell::interface, changedSignal, receiver, slot);
}

} // namespace

QStringList GnomeClipboardService::withoutProtocolTypes(const QStringList &types)
{
    static const QStringList protocol = {
        QStringLiteral("TARGETS"), QStringLiteral("MULTIPLE"), QStringLiteral("TIMESTAMP"),
        QStringLiteral("SAVE_TARGETS"), QStringLiteral("application/x-qt-image"),
        // The shell names the text of a Wayland copy once more in X11's words as well.
        QStringLiteral("UTF8_STRING"), QStringLiteral("STRING"), QStringLiteral("TEXT"),
        QStringLiteral("COMPOUND_TEXT"),
    };
    QStringList kept;
    for (const QString &type : types) {
        if (!protocol.contains(type) && !kept.contains(type))
            kept.append(type);
    }
    return kept;
}

GnomeClipboardService::GnomeClipboardService(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    listen(m_bus, this, SLOT(clipboardChanged()));
}

GnomeClipboardService::~GnomeClipboardService() = default;

void GnomeClipboardService::clipboardChanged()
{
    ++m_changeCount;
}

QStringList GnomeClipboardService::types()
{
    const QDBusReply<QStringList> reply = m_bus.call(GnomeShell::call(QStringLiteral("ClipboardTypes")),
                                                     QDBus::Block, int(copyDeadline.count()));
    return reply.isValid() ? withoutProtocolTypes(reply.value()) : QStringList();
}

std::optional<QByteArray> GnomeClipboardService::data(const QString &type)
{
    QDBusMessage message = GnomeShell::call(QStringLiteral("ClipboardData"));
    message << type;
    const QDBusReply<QByteArray> reply = m_bus.call(message, QDBus::Block, int(copyDeadline.count()));
    if (!reply.isValid())
        return std::nullopt;
    return reply.value();
}

void GnomeClipboardService::write(const QList<Item> &items)
{
    if (items.isEmpty())
        return;
    const auto find = [&items](const QString &type) {
        return std::find_if(items.begin(), items.end(), [&type](const Item &item) { return item.type == type; });
    };
    auto chosen = find(QStringLiteral("image/png"));
    if (chosen == items.end())
        chosen = find(QStringLiteral("text/plain;charset=utf-8"));
    if (chosen == items.end())
        chosen = find(QStringLiteral("text/plain"));
    if (chosen == items.end())
        chosen = items.begin();
    QDBusMessage message = GnomeShell::call(QStringLiteral("SetClipboard"));
    message << chosen->type << chosen->data;
    m_bus.asyncCall(message, int(copyDeadline.count()));
}

ClipboardWatcher *GnomeClipboardService::watcher()
{
    if (!m_watcher)
        m_watcher = std::make_unique<GnomeClipboardWatcher>(m_bus);
    return m_watcher.get();
}

struct GnomeClipboardWatcher::Reading
{
    Copy copy;
    QStringList left;
    qint64 bytes = 0;
    std::chrono::steady_clock::time_point deadline;
};

GnomeClipboardWatcher::GnomeClipboardWatcher(QDBusConnection bus, QObject *parent)
    : ClipboardWatcher(parent)
    , m_bus(std::move(bus))
{
}

GnomeClipboardWatcher::~GnomeClipboardWatcher()
{
    stop();
}

void GnomeClipboardWatcher::start()
{
    if (m_running)
        return;
    m_running = listen(m_bus, this, SLOT(clipboardChanged()));
}

void GnomeClipboardWatcher::stop()
{
    if (!m_running)
        return;
    unlisten(m_bus, this, SLOT(clipboardChanged()));
    m_running = false;
    // Readings under way see the change number move on and end.
    ++m_change;
}

int GnomeClipboardWatcher::remainingMs(const Reading &reading) const
{
    using namespace std::chrono;
    return int(std::max<qint64>(1, duration_cast<milliseconds>(reading.deadline - steady_clock::now()).count()));
}

void GnomeClipboardWatcher::clipboardChanged()
{
    const quint64 change = ++m_change;
    emit changed(change);
    auto reading = std::make_shared<Reading>();
    reading->copy.change = change;
    reading->deadline = std::chrono::steady_clock::now() + GnomeClipboardService::copyDeadline;
    auto *call = new QDBusPendingCallWatcher(
        m_bus.asyncCall(GnomeShell::call(QStringLiteral("ClipboardTypes")), remainingMs(*reading)), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, reading](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        if (reading->copy.change != m_change)
            return;
        const QDBusPendingReply<QStringList> reply = *call;
        if (!reply.isValid()) {
            emit copyRefused(reading->copy.change);
            return;
        }
        reading->copy.types = GnomeClipboardService::withoutProtocolTypes(reply.value());
        if (reading->copy.types.isEmpty()) {
            // An emptied clipboard: nothing to keep.
            emit copyArrived(reading->copy);
            return;
        }
        reading->left = m_choice ? m_choice(reading->copy.types) : reading->copy.types;
        readNext(reading);
    });
}

void GnomeClipboardWatcher::readNext(const std::shared_ptr<Reading> &reading)
{
    if (reading->left.isEmpty()) {
        emit copyArrived(reading->copy);
        return;
    }
    const QString type = reading->left.takeFirst();
    QDBusMessage message = GnomeShell::call(QStringLiteral("ClipboardData"));
    message << type;
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(message, remainingMs(*reading)), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, reading, type](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        if (reading->copy.change != m_change)
            return;
        const QDBusPendingReply<QByteArray> reply = *call;
        if (!reply.isValid()) {
            // The owner stalled or went away: what was read so far is the copy.
            reading->copy.timedOut = true;
            emit copyArrived(reading->copy);
            return;
        }
        reading->bytes += reply.value().size();
        if (reading->bytes > m_byteLimit) {
            emit copyRefused(reading->copy.change);
            return;
        }
        if (!reply.value().isEmpty())
            reading->copy.items.append({type, reply.value()});
        readNext(reading);
    });
}
