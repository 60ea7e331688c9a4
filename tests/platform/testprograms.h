// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QStringList>

// One of the helper programs that stand in for other applications (kiwano-test-clipowner,
// kiwano-test-pastewindow, kiwano-test-wlsource), read line by line from its stdout.
class TestProgram
{
public:
    static QString clipOwnerPath();
    static QString pasteWindowPath();

    TestProgram() = default;
    ~TestProgram();
    TestProgram(const TestProgram &) = delete;
    TestProgram &operator=(const TestProgram &) = delete;

    // Starts the program and waits until it prints "ready"; false when it ended or stayed silent.
    bool start(const QString &program, const QStringList &arguments, int timeoutMs = 5000);
    // Waits for the next line starting with prefix that was not returned before; empty when none
    // came in time.
    QString waitForLine(const QString &prefix, int timeoutMs = 5000);
    // Every line printed so far.
    QStringList lines();
    // The X window it reported with "ready".
    quint32 window() const { return m_window; }
    // Kills it and waits for it to end.
    void stop();
    QProcess &process() { return m_process; }

private:
    void collect();

    QProcess m_process;
    QStringList m_lines;
    QByteArray m_partial;
    qsizetype m_consumed = 0;
    quint32 m_window = 0;
};
