// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QHashFunctions>
#include <QMetaType>
#include <QUrl>

// One grab file of the history. Lists and selections identify a grab by its url alone;
// equality also compares the date, so a re-listed file with another date is another value.
struct GrabEntry
{
    QUrl url;
    QDateTime date;

    const QUrl &id() const { return url; }
    QString path() const { return url.toLocalFile(); }

    friend bool operator==(const GrabEntry &a, const GrabEntry &b)
    {
        return a.url == b.url && a.date == b.date;
    }
};

inline size_t qHash(const GrabEntry &entry, size_t seed = 0)
{
    return qHashMulti(seed, entry.url, entry.date);
}

Q_DECLARE_METATYPE(GrabEntry)
