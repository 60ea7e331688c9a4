// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Temporary XDG data folders (XDG_DATA_HOME and one XDG_DATA_DIRS entry) holding the desktop
// files a test writes; the environment is restored when it goes.
class XdgSandbox
{
public:
    XdgSandbox();
    ~XdgSandbox();

    bool isValid() const { return m_dir.isValid(); }
    // Writes applications/<relativePath> under the user's folder (or the system one) with a
    // [Desktop Entry] group holding these lines; returns its path.
    QString addDesktopFile(const QString &relativePath, const QStringList &lines,
                           bool system = false);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldDirs;
};
