// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"
#include "platform/clipboardwatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

#include <chrono>
#include <memory>

class GnomeClipboardWatcher;

// The clipboard through our GNOME Shell extension: the shell says when the clipboard changes hands
// (for Wayland and X11 apps alike) and reads it for us. The history's reads go out as pending
// calls, so the GUI thread never waits on the shell; types() and data() are for reading once and
// wait within copyDeadline.
class GnomeClipboardService : public QObject, public ClipboardService
{
    Q_OBJECT

public:
    explicit GnomeClipboardService(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~GnomeClipboardService() override;

    qint64 changeCount() const override { return m_changeCount; }
    QStringList types() override;
    std::optional<QByteArray> data(const QString &type) override;
    // The shell offers one type: the picture when there is one, else the text, else the first.
    // Returns at once.
    void write(const QList<Item> &items) override;
    ClipboardWatcher *watcher() override;

    static constexpr std::chrono::milliseconds copyDeadline{1000};
    // Names the X11 side of the shell's clipboard adds that say nothing of the content.
    static QStringList withoutProtocolTypes(const QStringList &types);

private slots:
    void clipboardChanged();

private:
    QDBusConnection m_bus;
    qint64 m_changeCount = 0;
    std::unique_ptr<GnomeClipboardWatcher> m_watcher;
};

// Reads every new copy through pending calls to the shell, every chosen type at once within one
// deadline for the whole copy; a newer copy ends the reading of an older one.
class GnomeClipboardWatcher : public ClipboardWatcher
{
    Q_OBJECT

public:
    explicit GnomeClipboardWatcher(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~GnomeClipboardWatcher() override;

    void setChoice(Choice choice) override { m_choice = std::move(choice); }
    void setByteLimit(qint64 bytes) override { m_byteLimit = bytes; }
    void start() override;
    void stop() override;
    bool isRunning() const override { return m_running; }
    bool isEventDriven() const override { return true; }

private slots:
    void clipboardChanged(const QDBusMessage &message);

private:
    struct Reading;
    void typesKnown(const std::shared_ptr<Reading> &reading, const QStringList &types);
    void readAll(const std::shared_ptr<Reading> &reading);
    int remainingMs(const Reading &reading) const;

    QDBusConnection m_bus;
    Choice m_choice;
    qint64 m_byteLimit = 30 * 1024 * 1024;
    bool m_running = false;
    quint64 m_change = 0;
};
