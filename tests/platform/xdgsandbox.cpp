// SPDX-License-Identifier: MIT
#include "platform/xdgsandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

XdgSandbox::XdgSandbox()
    : m_oldHome(qgetenv("XDG_DATA_HOME"))
    , m_oldDirs(qgetenv("XDG_DATA_DIRS"))
{
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", m_dir.filePath(QStringLiteral("system")).toLocal8Bit());
}

XdgSandbox::~XdgSandbox()
{
    for (const auto &[name, old] : {std::pair{"XDG_DATA_HOME", m_oldHome},
                                    std::pair{"XDG_DATA_DIRS", m_oldDirs}}) {
        if (old.isNull())
            qunsetenv(name);
        else
            qputenv(name, old);
    }
}

QString XdgSandbox::addDesktopFile(const QString &relativePath, const QStringList &lines,
                                   bool system)
{
    const QString path = m_dir.filePath((system ? QStringLiteral("system") : QStringLiteral("home"))
                                        + QStringLiteral("/applications/") + relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write("[Desktop Entry]\n" + lines.join(u'\n').toUtf8() + '\n');
    return path;
}
