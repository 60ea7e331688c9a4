// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <functional>

class QObject;

// The desktop's Screenshot portal, asked for the whole desktop without its own dialog. The
// portal leaves its picture as a file the user never asked for: we read it and remove it.
namespace PortalScreenshot {

struct Result
{
    QByteArray picture;  // the encoded file, empty on failure
    QString error;       // why there is no picture
};

// Asks the portal on bus, and calls done once on this thread with the picture, or the refusal,
// or silence past deadlineMs; never when context is gone by then.
void take(const QDBusConnection &bus, int deadlineMs, QObject *context,
          std::function<void(const Result &)> done);

// The bytes of the file at uri when it is a local regular file, and the file removed when it
// is ours and no older than askedAt (a moment's slack for coarse clocks): the portal's copy,
// not a picture that was already there or that someone else owns.
Result collect(const QUrl &uri, const QDateTime &askedAt);

} // namespace PortalScreenshot
