// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"

#include <QObject>

// The clipboard as Qt sees it, for Wayland sessions whose compositor offers no data-control and
// where no X server mirrors the clipboard. Wayland tells a client of the clipboard only while one
// of its windows has the keyboard focus, so a copy made elsewhere is recorded only if it is still
// on the clipboard when one of our windows is next active, and reads go through Qt on the GUI
// thread. It has no watcher: the history polls.
class WhileActiveClipboardService : public QObject, public ClipboardService
{
    Q_OBJECT

public:
    // Needs a QGuiApplication.
    explicit WhileActiveClipboardService(QObject *parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    QStringList types() override;
    std::optional<QByteArray> data(const QString &type) override;
    void write(const QList<Item> &items) override;

private:
    qint64 m_changeCount = 0;
};
