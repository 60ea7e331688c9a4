// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a signal on the main thread, so that they end the program by
// its normal quit. The handler only writes a byte to a pipe, the one thing that is safe there.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    // Whether the handlers are in place.
    bool isWatching() const { return m_notifier != nullptr; }

signals:
    void quitRequested(int signalNumber);

private:
    void take();

    QSocketNotifier *m_notifier = nullptr;
};
