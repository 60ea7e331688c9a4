// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ClipboardWatcher;

// The desktop's general clipboard (never the primary selection), as the clipboard history sees it.
class ClipboardService
{
public:
    struct Item
    {
        QString type;     // a MIME type exactly as offered
        QByteArray data;
    };

    virtual ~ClipboardService() = default;

    // Grows by at least one whenever the clipboard's owner or content changes; never shrinks.
    virtual qint64 changeCount() const = 0;
    // The types offered now, protocol targets (TARGETS, MULTIPLE, TIMESTAMP, SAVE_TARGETS,
    // application/x-qt-image) left out; nothing when the clipboard is empty or the owner does not
    // answer within the deadline.
    virtual QStringList types() = 0;
    // The bytes of one offered type; nothing when the owner fails or stalls past the deadline.
    virtual std::optional<QByteArray> data(const QString &type) = 0;
    // Takes the clipboard and offers exactly these items, in this order.
    virtual void write(const QList<Item> &items) = 0;
    // Reads copies as they happen, off the caller's thread; null when this clipboard has none
    // (then the history polls).
    virtual ClipboardWatcher *watcher() { return nullptr; }
};
