// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"

#include <QObject>

#include <memory>

class QMimeData;
class X11SelectionOwner;
class X11SelectionReader;
class X11ClipboardWatcher;

// The X11 CLIPBOARD selection. Qt tells of changes; contents are read and offered on connections
// of our own, because Qt's reads wait 5 s on an owner that never answers and block the GUI thread.
// The history reads copies through watcher(), on a thread of its own; types() and data() read on
// the caller's thread and are left for polling and for reading once.
class X11ClipboardService : public QObject, public ClipboardService
{
    Q_OBJECT

public:
    // Needs a QGuiApplication on the xcb platform.
    explicit X11ClipboardService(QObject *parent = nullptr);
    ~X11ClipboardService() override;

    qint64 changeCount() const override;
    QStringList types() override;
    std::optional<QByteArray> data(const QString &type) override;
    void write(const QList<Item> &items) override;
    ClipboardWatcher *watcher() override;

private:
    const QMimeData *qtOwnedData();
    bool knownToStall(uint32_t owner) const;
    void noteStall(uint32_t owner);

    std::unique_ptr<X11SelectionReader> m_reader;
    std::unique_ptr<X11SelectionOwner> m_owner;
    std::unique_ptr<X11ClipboardWatcher> m_watcher;
    qint64 m_changeCount = 0;
    // An owner that stopped answering is not asked again until the next copy, so one stalled
    // copy costs the deadline once, not once per type.
    uint32_t m_stalledOwner = 0;
    qint64 m_stalledAt = -1;
};
