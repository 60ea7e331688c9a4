// SPDX-License-Identifier: MIT
#include "editor/model/savelocation.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString folderKey = QStringLiteral("save.folder");
const QString askKey = QStringLiteral("save.ask");

QSettings preferences()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KiwanoSnapper"),
                     QStringLiteral("KiwanoSnapper"));
}

} // namespace

namespace SaveLocation {

QString folder()
{
    const QVariant stored = preferences().value(folderKey);
    const QString path = stored.toString();
    if (!stored.isValid() || path.isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return path;
}

void setFolder(const QString &path)
{
    preferences().setValue(folderKey, path);
}

bool askEachTime()
{
    const QVariant stored = preferences().value(askKey);
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    // The ini format hands booleans back as their text.
    if (stored.typeId() == QMetaType::QString) {
        const QString text = stored.toString();
        if (text == QLatin1String("false"))
            return false;
        if (text == QLatin1String("true"))
            return true;
    }
    return true;
}

void setAskEachTime(bool ask)
{
    preferences().setValue(askKey, ask);
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
