// SPDX-License-Identifier: MIT
#include "platform/appnames.h"

#include "platform/desktopentries.h"

#include <QHash>
#include <QMutex>

std::optional<QString> AppNames::name(const QString &id)
{
    static QMutex mutex;
    static QHash<QString, QString> cache;

    {
        QMutexLocker lock(&mutex);
        const auto it = cache.constFind(id);
        if (it != cache.cend())
            return *it;
    }
    if (id.isEmpty())
        return std::nullopt;

    const auto entries = DesktopEntries::installed();
    auto entry = entries->byId(id);
    if (!entry)
        entry = entries->byStartupWmClass(id);
    // Not found is not cached: the application may be installed later.
    if (!entry || entry->name.isEmpty())
        return std::nullopt;

    QMutexLocker lock(&mutex);
    cache.insert(id, entry->name);
    return entry->name;
}
