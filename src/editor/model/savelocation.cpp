// SPDX-License-Identifier: MIT
#include "editor/model/savelocation.h"

#include "platform/preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SaveLocation {

QString defaultFolder()
{
    const QString home = QDir::homePath();
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // Without a Desktop folder of its own the desktop location is the home folder itself, or a
    // folder nobody made: saves would scatter there or ask every time.
    if (!desktop.isEmpty() && QDir(desktop) != QDir(home) && QFileInfo(desktop).isDir())
        return desktop;
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty())
        pictures = home;
    return QDir(pictures).filePath(QStringLiteral("Screenshots"));
}

QString folder()
{
    return Preferences::value(Preferences::saveFolder).value_or(defaultFolder());
}

void setFolder(const QString &path)
{
    Preferences::setValue(Preferences::saveFolder, path);
}

bool askEachTime()
{
    return Preferences::value(Preferences::saveAsk);
}

void setAskEachTime(bool ask)
{
    Preferences::setValue(Preferences::saveAsk, ask);
}

QString unusedURL(const QString &folder, const QString &name, const QSet<QString> &taken)
{
    const QDir dir(folder);
    QString candidate = dir.filePath(name + QStringLiteral(".png"));
    for (int n = 2; QFileInfo::exists(candidate) || taken.contains(candidate); ++n)
        candidate = dir.filePath(QStringLiteral("%1 %2.png").arg(name).arg(n));
    return candidate;
}

} // namespace SaveLocation
