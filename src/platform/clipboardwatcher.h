// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"

#include <QObject>

#include <functional>

// Watches the clipboard on a thread of its own and reads every new copy there, so that an owner
// that answers slowly, never, or with far too much costs the GUI thread nothing. Signals arrive
// on the thread the watcher lives on.
class ClipboardWatcher : public QObject
{
    Q_OBJECT

public:
    struct Copy
    {
        quint64 change = 0;      // the change it was read for, as told by changed()
        QStringList types;       // as ClipboardService::types() reports them
        QList<ClipboardService::Item> items; // the chosen types that yielded bytes, in that order
        bool timedOut = false;   // the owner stopped answering before every type was read
    };
    // Given the offered types, the ones to read, in order. Called on the watching thread.
    using Choice = std::function<QStringList(const QStringList &types)>;

    using QObject::QObject;

    // Both are used from the next change on.
    virtual void setChoice(Choice choice) = 0;
    // The most bytes one copy may hold, all types together; a copy that offers more is refused,
    // told by the sizes the owner announces, before anything is held.
    virtual void setByteLimit(qint64 bytes) = 0;

    // Copies made from now on are read; whatever the clipboard holds now is not.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    // Whether changes are told by the display server rather than found by polling.
    virtual bool isEventDriven() const = 0;

signals:
    // The clipboard changed hands and its copy is about to be read; emitted before anything is.
    void changed(quint64 change);
    // A copy was read (what could be read before the deadline).
    void copyArrived(const ClipboardWatcher::Copy &copy);
    // A copy was not read: the owner stalled on its type list, went away, offered more than the
    // byte limit, or failed recently and was not asked again.
    void copyRefused(quint64 change);
};

Q_DECLARE_METATYPE(ClipboardWatcher::Copy)
