// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

// Short relative wording of a past moment for the grab strip: "just now", "5 minutes ago",
// "yesterday", "3 weeks ago". Dates in the future (a clock that moved back) read "just now".
namespace RelativeDate {

QString text(const QDateTime &date, const QDateTime &now);
inline QString text(const QDateTime &date) { return text(date, QDateTime::currentDateTime()); }

} // namespace RelativeDate
