// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"

#include <QHash>
#include <QSet>

// An in-memory clipboard: one item of typed data, a counter that moves on every change, and a
// record of what was read and written.
class FakeClipboardService : public ClipboardService
{
public:
    // Another application copies these types; the counter moves.
    void offer(const QList<Item> &items)
    {
        m_items = items;
        ++m_changeCount;
    }
    // A type that is listed but whose owner never answers for it.
    void failOn(const QString &type) { m_failing.insert(type); }

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
        if (m_failing.contains(type))
            return std::nullopt;
        for (const Item &item : std::as_const(m_items))
            if (item.type == type)
                return item.data;
        return std::nullopt;
    }
    void write(const QList<Item> &items) override
    {
        written.append(items);
        offer(items);
    }

    const QList<Item> &items() const { return m_items; }

    QStringList reads;
    QList<QList<Item>> written;

private:
    qint64 m_changeCount = 1;
    QList<Item> m_items;
    QSet<QString> m_failing;
};
