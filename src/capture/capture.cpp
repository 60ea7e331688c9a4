// SPDX-License-Identifier: MIT
#include "capture/capture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUuid>

#include "capture/history.h"

Capture::Capture(const QString &toolPath, QObject *parent)
    : QObject(parent)
    , m_toolPath(toolPath)
{
}

QString Capture::installedToolPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/kiwano-capture");
}

void Capture::grabRegion()
{
    capture({QStringLiteral("-i")});
}

void Capture::grabWindow()
{
    capture({QStringLiteral("-iW")});
}

void Capture::grabScreen()
{
    capture({QStringLiteral("-m")});
}

void Capture::capture(const QStringList &modeArguments)
{
    const QString temporaryPath = QDir::tempPath() + QStringLiteral("/kiwano-")
        + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
    auto *process = new QProcess(this);
    process->setProgram(m_toolPath);
    process->setArguments(modeArguments + QStringList{QStringLiteral("-x"), temporaryPath});
    // The tool talks to the user through its overlay only; the app keeps no log of it.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // Whether the tool exited, crashed or never started, only the file it left decides; the
    // rest runs from the event loop, never inside the process notification.
    connect(process, &QProcess::finished, this, [this, process, temporaryPath] {
        process->deleteLater();
        finished(temporaryPath);
    }, Qt::QueuedConnection);
    connect(process, &QProcess::errorOccurred, this, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    process->start();
}

void Capture::finished(const QString &temporaryPath)
{
    if (!QFileInfo::exists(temporaryPath))
        return;
    if (const auto entry = History::adopt(temporaryPath))
        emit grabLanded(*entry);
}
