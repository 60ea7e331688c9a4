// SPDX-License-Identifier: MIT
#include "app/relativedate.h"

#include <QCoreApplication>

namespace {

QString ago(qint64 count, const char *one, const char *many)
{
    if (count == 1)
        return QCoreApplication::translate("RelativeDate", one);
    return QCoreApplication::translate("RelativeDate", many).arg(count);
}

} // namespace

namespace RelativeDate {

QString text(const QDateTime &date, const QDateTime &now)
{
    if (!date.isValid() || !now.isValid())
        return QCoreApplication::translate("RelativeDate", "long ago");
    const qint64 seconds = date.secsTo(now);
    if (seconds < 60)
        return QCoreApplication::translate("RelativeDate", "just now");
    if (seconds < 3600)
        return ago(seconds / 60, "1 minute ago", "%1 minutes ago");

    // From here on whole calendar days count, so a grab of last night reads "yesterday" in the
    // morning even when fewer than 24 hours have passed.
    const qint64 days = date.toLocalTime().date().daysTo(now.toLocalTime().date());
    if (days < 1)
        return ago(seconds / 3600, "1 hour ago", "%1 hours ago");
    if (days == 1)
        return QCoreApplication::translate("RelativeDate", "yesterday");
    if (days < 7)
        return ago(days, "1 day ago", "%1 days ago");
    if (days < 31)
        return ago(days / 7, "last week", "%1 weeks ago");
    if (days < 365)
        return ago(std::max<qint64>(1, days / 30), "last month", "%1 months ago");
    return ago(days / 365, "last year", "%1 years ago");
}

} // namespace RelativeDate
