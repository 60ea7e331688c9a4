// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

// One worker thread that flattens, encodes and writes the copies and saves of every editor it is
// given to, in the order they were asked for, and the files those saves are about to create: a
// name counts as taken from the moment it is chosen, so quick saves within one second never pick
// the same one. Going away, it waits for the writes still under way. Main thread only.
class ExportQueue : public QObject
{
    Q_OBJECT
public:
    explicit ExportQueue(QObject *parent = nullptr);
    ~ExportQueue() override;

    QThreadPool *pool() { return &m_pool; }
    const QSet<QString> &pendingTargets() const { return m_pending; }
    void reserve(const QString &target) { m_pending.insert(target); }
    void release(const QString &target) { m_pending.remove(target); }

private:
    QThreadPool m_pool;
    QSet<QString> m_pending;
};
