// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardwatcher.h"

// A watcher whose copies the test makes: changed, then the copy read with the history's choice.
class FakeClipboardWatcher : public ClipboardWatcher
{
public:
    void setChoice(Choice choice) override { m_choice = std::move(choice); }
    void setByteLimit(qint64 bytes) override { byteLimit = bytes; }
    void start() override { m_running = true; }
    void stop() override { m_running = false; }
    bool isRunning() const override { return m_running; }
    bool isEventDriven() const override { return true; }

    // Another application takes the clipboard; between the change and the finished read, in
    // between runs (the user switching applications, say).
    void copy(const QList<ClipboardService::Item> &offered, const std::function<void()> &inBetween = {})
    {
        Copy copy;
        copy.change = ++m_change;
        for (const auto &item : offered)
            copy.types << item.type;
        emit changed(copy.change);
        if (inBetween)
            inBetween();
        const QStringList chosen = m_choice ? m_choice(copy.types) : QStringList();
        for (const QString &type : chosen)
            for (const auto &item : offered)
                if (item.type == type)
                    copy.items << item;
        emit copyArrived(copy);
    }

    qint64 byteLimit = 0;

private:
    Choice m_choice;
    bool m_running = false;
    quint64 m_change = 0;
};
