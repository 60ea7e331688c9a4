// SPDX-License-Identifier: MIT
#include "platform/x11/x11clipboardwatcher.h"

#include "platform/x11/x11selectionreader.h"

#include <unistd.h>

using Clock = std::chrono::steady_clock;

X11ClipboardWatcher::X11ClipboardWatcher(QObject *parent)
    : ClipboardWatcher(parent)
{
    qRegisterMetaType<ClipboardWatcher::Copy>();
}

X11ClipboardWatcher::~X11ClipboardWatcher()
{
    stop();
}

bool X11ClipboardWatcher::isProtocolTarget(const QString &type)
{
    static const QStringList protocol{QStringLiteral("TARGETS"), QStringLiteral("MULTIPLE"),
                                      QStringLiteral("TIMESTAMP"), QStringLiteral("SAVE_TARGETS"),
                                      QStringLiteral("application/x-qt-image")};
    return protocol.contains(type);
}

void X11ClipboardWatcher::setChoice(Choice choice)
{
    std::lock_guard lock(m_mutex);
    m_choice = std::move(choice);
}

void X11ClipboardWatcher::setByteLimit(qint64 bytes)
{
    std::lock_guard lock(m_mutex);
    m_byteLimit = bytes;
}

void X11ClipboardWatcher::start()
{
    if (isRunning())
        return;
    // A fresh connection each time: news of owners from before the start is never seen.
    m_reader = std::make_unique<X11SelectionReader>();
    if (!m_reader->isValid() || !m_wake.open()) {
        m_reader.reset();
        return;
    }
    m_eventDriven = m_reader->tellsOfOwners();
    m_reader->connection().setInterrupt(m_wake.readEnd());
    m_stop = false;
    m_thread = std::thread([this] { run(); });
}

void X11ClipboardWatcher::stop()
{
    if (!isRunning())
        return;
    m_stop = true;
    m_wake.wake();
    // A read in progress sees the interrupt and ends at once.
    m_thread.join();
    m_reader.reset();
    m_wake.close();
}

void X11ClipboardWatcher::run()
{
    X11Connection &connection = m_reader->connection();
    uint32_t lastOwner = m_eventDriven ? 0 : m_reader->owner();
    while (!m_stop && connection.isValid()) {
        std::optional<uint32_t> owner;
        if (m_reader->takeOwnerChanged()) {
            // Noticed in the middle of reading the previous copy.
            owner = m_reader->owner();
        } else {
            // Without XFIXES the owner is looked at twice a second; with it, the thread sleeps
            // until the server speaks.
            const auto until = m_eventDriven ? Clock::time_point::max() : Clock::now() + pollInterval;
            if (X11Event event = connection.nextEvent(until))
                owner = m_reader->ownerChange(event.get());
            else if (!m_eventDriven && !m_stop && m_reader->owner() != lastOwner)
                owner = m_reader->owner();
        }
        // Several owners in quick succession: only the latest has anything to give.
        while (X11Event event = connection.nextEvent(Clock::time_point())) {
            if (const auto next = m_reader->ownerChange(event.get())) {
                owner = next;
                // The server may give a gone offender's window id to the next program's window.
                if (!*next)
                    m_offender = 0;
            }
        }
        if (owner && !*owner)
            m_offender = 0;
        if (m_stop || !owner)
            continue;
        lastOwner = *owner;
        if (*owner)
            readCopy(++m_change, *owner);
    }
}

void X11ClipboardWatcher::readCopy(quint64 change, uint32_t owner)
{
    // An offender taking the clipboard again and again costs one comparison here and nothing on
    // the thread that listens.
    if (owner == m_offender && Clock::now() - m_offendedAt < quietAfterFailure) {
        emit copyRefused(change);
        return;
    }
    if (owner != m_offender)
        m_offender = 0;
    emit changed(change);
    Choice choice;
    qint64 left = 0;
    {
        std::lock_guard lock(m_mutex);
        choice = m_choice;
        left = m_byteLimit;
    }
    const auto offended = [&] {
        m_offender = owner;
        m_offendedAt = Clock::now();
    };

    m_reader->setDeadline(Clock::now() + copyDeadline);
    const auto done = qScopeGuard([this] { m_reader->setDeadline(Clock::time_point::max()); });
    const auto targets = m_reader->targets();
    if (!targets) {
        // A new owner is no failure of this one; taking the clipboard again while we wait is.
        if ((m_reader->timedOut() || !m_reader->ownerChanged()) && !m_stop)
            offended();
        emit copyRefused(change);
        return;
    }
    Copy copy;
    copy.change = change;
    for (const QByteArray &target : *targets) {
        const QString type = QString::fromUtf8(target);
        if (!isProtocolTarget(type))
            copy.types << type;
    }
    const QStringList wanted = choice ? choice(copy.types) : QStringList();
    for (const QString &type : wanted) {
        if (!copy.types.contains(type))
            continue;
        std::optional<QByteArray> bytes = m_reader->read(type.toUtf8(), left);
        if (m_reader->tooLarge() || m_reader->ownerChanged() || m_stop) {
            emit copyRefused(change);
            return;
        }
        if (m_reader->timedOut()) {
            // What came before the deadline is kept; the types after it count as not given.
            offended();
            copy.timedOut = true;
            break;
        }
        if (bytes) {
            left -= bytes->size();
            copy.items.append({type, std::move(*bytes)});
        }
    }
    emit copyArrived(copy);
}
