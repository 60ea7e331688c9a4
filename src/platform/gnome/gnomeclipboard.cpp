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
    QStringList chosen;
    QList<std::optional<QByteArray>> read; // one per chosen type once its answer came
    int waiting = 0;
    bool failed = false;
    bool ended = false;
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
    m_running = listen(m_bus, this, SLOT(clipboardChanged(QDBusMessage)));
}

void GnomeClipboardWatcher::stop()
{
    if (!m_running)
        return;
    unlisten(m_bus, this, SLOT(clipboardChanged(QDBusMessage)));
    m_running = false;
    // Readings under way see the change number move on and end.
    ++m_change;
}

int GnomeClipboardWatcher::remainingMs(const Reading &reading) const
{
    using namespace std::chrono;
    return int(std::max<qint64>(1, duration_cast<milliseconds>(reading.deadline - steady_clock::now()).count()));
}

void GnomeClipboardWatcher::clipboardChanged(const QDBusMessage &message)
{
    const quint64 change = ++m_change;
    emit changed(change);
    auto reading = std::make_shared<Reading>();
    reading->copy.change = change;
    reading->deadline = std::chrono::steady_clock::now() + GnomeClipboardService::copyDeadline;
    // The shell names the types with the change; an extension from before that did not, and is
    // asked.
    const QVariantList arguments = message.arguments();
    if (!arguments.isEmpty() && arguments.first().canConvert<QStringList>()) {
        typesKnown(reading, arguments.first().toStringList());
        return;
    }
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
        typesKnown(reading, reply.value());
    });
}

void GnomeClipboardWatcher::typesKnown(const std::shared_ptr<Reading> &reading, const QStringList &types)
{
    reading->copy.types = GnomeClipboardService::withoutProtocolTypes(types);
    if (reading->copy.types.isEmpty()) {
        // An emptied clipboard: nothing to keep.
        emit copyArrived(reading->copy);
        return;
    }
    reading->chosen = m_choice ? m_choice(reading->copy.types) : reading->copy.types;
    readAll(reading);
}

// Every chosen type is asked for at once: the shell's main loop is often busy for a frame or two
// right after a change, and reads one after another would each wait out such a turn.
void GnomeClipboardWatcher::readAll(const std::shared_ptr<Reading> &reading)
{
    reading->read.resize(reading->chosen.size());
    reading->waiting = int(reading->chosen.size());
    if (reading->waiting == 0) {
        emit copyArrived(reading->copy);
        return;
    }
    for (int i = 0; i < reading->chosen.size(); ++i) {
        QDBusMessage message = GnomeShell::call(QStringLiteral("ClipboardData"));
        message << reading->chosen.at(i);
        auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(message, remainingMs(*reading)), this);
        connect(call, &QDBusPendingCallWatcher::finished, this, [this, reading, i](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            --reading->waiting;
            if (reading->ended || reading->copy.change != m_change)
                return;
            const QDBusPendingReply<QByteArray> reply = *call;
            if (reply.isValid()) {
                reading->read[i] = reply.value();
                reading->bytes += reply.value().size();
            } else {
                // The owner stalled or went away: what the other reads bring is the copy.
                reading->failed = true;
            }
            if (reading->bytes > m_byteLimit) {
                reading->ended = true;
                emit copyRefused(reading->copy.change);
                return;
            }
            if (reading->waiting > 0)
                return;
            reading->ended = true;
            for (int k = 0; k < reading->chosen.size(); ++k) {
                if (reading->read.at(k) && !reading->read.at(k)->isEmpty())
                    reading->copy.items.append({reading->chosen.at(k), *reading->read.at(k)});
            }
            reading->copy.timedOut = reading->failed;
            emit copyArrived(reading->copy);
        });
    }
}
