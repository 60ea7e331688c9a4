// SPDX-License-Identifier: MIT
#include "platform/testprograms.h"

#include <QDeadlineTimer>

QString TestProgram::clipOwnerPath() { return QStringLiteral(KIWANO_TEST_CLIPOWNER); }
QString TestProgram::pasteWindowPath() { return QStringLiteral(KIWANO_TEST_PASTEWINDOW); }
TestProgram::~TestProgram() { stop(); }

bool TestProgram::start(const QString &program, const QStringList &arguments, int timeoutMs)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    const QString ready = waitForLine(QStringLiteral("ready"), timeoutMs);
    m_window = ready.section(u' ', 1, 1).toUInt(nullptr, 16);
    return !ready.isEmpty();
}

QString TestProgram::waitForLine(const QString &prefix, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        collect();
        while (m_consumed < m_lines.size()) {
            const QString line = m_lines.at(m_consumed++);
            if (line.startsWith(prefix))
                return line;
        }
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return {};
        m_process.waitForReadyRead(int(qMax<qint64>(1, qMin<qint64>(deadline.remainingTime(), 100))));
    }
}

QStringList TestProgram::lines()
{
    collect();
    return m_lines;
}

void TestProgram::stop()
{
    m_process.kill();
    m_process.waitForFinished(3000);
}

void TestProgram::collect()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
    }
}
