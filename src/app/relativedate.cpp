// SPDX-License-Identifier: MIT
#include "app/relativedate.h"

#include <QCoreApplication>

namespace {

// One reads as a phrase of its own ("yesterday", "last week"); more take the language's plural.
QString ago(qint64 count, const char *one, const char *many)
{
    if (count == 1)
        return QCoreApplication::translate("RelativeDate", one);
    return QCoreApplication::translate("RelativeDate", many, nullptr, int(count));
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
        return ago(seconds / 60, QT_TRANSLATE_NOOP("RelativeDate", "1 minute ago"),
                   QT_TRANSLATE_N_NOOP("RelativeDate", "%n minutes ago"));

    // From here on whole calendar days count, so a grab of last night reads "yesterday" in the
    // morning even when fewer than 24 hours have passed.
    const qint64 days = date.toLocalTime().date().daysTo(now.toLocalTime().date());
    if (days < 1)
        return ago(seconds / 3600, QT_TRANSLATE_NOOP("RelativeDate", "1 hour ago"),
                   QT_TRANSLATE_N_NOOP("RelativeDate", "%n hours ago"));
    if (days == 1)
        return QCoreApplication::translate("RelativeDate", "yesterday");
    if (days < 7)
        return ago(days, QT_TRANSLATE_NOOP("RelativeDate", "1 day ago"),
                   QT_TRANSLATE_N_NOOP("RelativeDate", "%n days ago"));
    if (days < 31)
        return ago(days / 7, QT_TRANSLATE_NOOP("RelativeDate", "last week"),
                   QT_TRANSLATE_N_NOOP("RelativeDate", "%n weeks ago"));
    if (days < 365)
        return ago(std::max<qint64>(1, days / 30), QT_TRANSLATE_NOOP("RelativeDate", "last month"),
                   QT_TRANSLATE_N_NOOP("RelativeDate", "%n months ago"));
    return ago(days / 365, QT_TRANSLATE_NOOP("RelativeDate", "last year"),
                   QT_TRANSLATE_N_NOOP("RelativeDate", "%n years ago"));
}

} // namespace RelativeDate
