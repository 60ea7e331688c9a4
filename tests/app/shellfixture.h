// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Private XDG folders and preferences for one test process, set before anything reads them.
struct ShellSandbox
{
    ShellSandbox()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};
