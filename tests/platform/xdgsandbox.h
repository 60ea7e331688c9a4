// SPDX-License-Identifier: MIT
#pragma once

#include "support/files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

// Temporary XDG data folders (XDG_DATA_HOME and one XDG_DATA_DIRS entry) holding the desktop
// files a test writes; the environment is restored when it goes.
class XdgSandbox
{
public:
    XdgSandbox()
    {
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", m_dir.filePath(QStringLiteral("system")).toLocal8Bit());
    }
    ~XdgSandbox()
    {
        for (const auto &[name, old] : {std::pair{"XDG_DATA_HOME", m_oldHome}, {"XDG_DATA_DIRS", m_oldDirs}})
            old.isNull() ? qunsetenv(name) : qputenv(name, old);
    }

    // Writes applications/<relativePath> under the user's folder (or the system one) with a
    // [Desktop Entry] group holding these lines; returns its path.
    QString addDesktopFile(const QString &relativePath, const QStringList &lines, bool system = false)
    {
        const QString path = m_dir.filePath((system ? QStringLiteral("system") : QStringLiteral("home"))
                                            + QStringLiteral("/applications/") + relativePath);
        QDir().mkpath(QFileInfo(path).path());
        return TestFiles::write(path, "[Desktop Entry]\n" + lines.join(u'\n').toUtf8() + '\n') ? path : QString();
    }

private:
    QTemporaryDir m_dir;
    const QByteArray m_oldHome = qgetenv("XDG_DATA_HOME"), m_oldDirs = qgetenv("XDG_DATA_DIRS");
};
