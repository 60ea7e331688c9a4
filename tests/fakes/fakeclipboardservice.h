// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"

// An in-memory clipboard with a change counter and a record of what was read and written.
class FakeClipboardService : public ClipboardService
{
public:
    // Another application copies these types; the counter moves.
    void offer(const QList<Item> &items) { m_items = items; ++m_changeCount; }

    qint64 changeCount() const override { return m_changeCount; }
    QStringList types() override
    {
        QStringList types;
        for (const Item &item : std::as_const(m_items))
            types.append(item.type);
        return types;
    }
    std::optional<QByteArray> data(const QString &type) override
    {
        reads.append(type);
        for (const Item &item : std::as_const(m_items))
            if (item.type == type)
                return item.data;
        return std::nullopt;
    }
    void write(const QList<Item> &items) override { written.append(items); offer(items); }

    ClipboardWatcher *watcher() override { return watcherToUse; }

    ClipboardWatcher *watcherToUse = nullptr;
    QStringList reads;
    QList<QList<Item>> written;

private:
    qint64 m_changeCount = 1;
    QList<Item> m_items;
};
