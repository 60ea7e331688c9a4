// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"

// A clipboard without its watcher: the history falls back to polling and reading on the GUI
// thread, as it did before it had one. The baseline the watchers are measured against.
class PollingClipboard : public ClipboardService
{
public:
    explicit PollingClipboard(ClipboardService &service) : m_service(service) {}
    qint64 changeCount() const override { return m_service.changeCount(); }
    QStringList types() override { return m_service.types(); }
    std::optional<QByteArray> data(const QString &type) override { return m_service.data(type); }
    void write(const QList<Item> &items) override { m_service.write(items); }

private:
    ClipboardService &m_service;
};
