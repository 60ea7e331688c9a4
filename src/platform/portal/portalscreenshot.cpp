// SPDX-License-Identifier: MIT
#include "platform/portal/portalscreenshot.h"

#include "platform/portal/portalrequest.h"

#include <QCoreApplication>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qint64 largestPicture = 1024ll << 20;
constexpr qint64 clockSlackMs = 2000;
}

namespace PortalScreenshot {

void take(const QDBusConnection &bus, int deadlineMs, QObject *context, std::function<void(const Result &)> done)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Portal::service, Portal::path,
                                                       QStringLiteral("org.freedesktop.portal.Screenshot"),
                                                       QStringLiteral("Screenshot"));
    call << QString() << QVariantMap{{QStringLiteral("interactive"), false},
                                     {QStringLiteral("modal"), false}};
    const QDateTime askedAt = QDateTime::currentDateTimeUtc();
    PortalRequest::send(bus, call, deadlineMs, context, [askedAt, done](const PortalRequest::Answer &answer) {
        if (answer.outcome != PortalRequest::Outcome::Granted) {
            QString why;
            switch (answer.outcome) {
            case PortalRequest::Outcome::Cancelled:
                why = QCoreApplication::translate("Portal", "the desktop refused the screenshot");
                break;
            case PortalRequest::Outcome::NoAnswer:
                why = QCoreApplication::translate("Portal", "the desktop did not answer the screenshot request in time");
                break;
            case PortalRequest::Outcome::Unavailable:
                why = QCoreApplication::translate("Portal", "the desktop offers no screenshot portal");
                break;
            default:
                why = QCoreApplication::translate("Portal", "the desktop could not take the screenshot");
                break;
            }
            if (!answer.reason.isEmpty())
                why += QStringLiteral(" (%1)").arg(answer.reason);
            done({{}, why});
            return;
        }
        done(collect(QUrl(answer.results.value(QStringLiteral("uri")).toString()), askedAt));
    });
}

Result collect(const QUrl &uri, const QDateTime &askedAt)
{
    if (!uri.isLocalFile())
        return {{}, QCoreApplication::translate("Portal", "the desktop's screenshot is not a local file: %1").arg(uri.toDisplayString())};
    const QByteArray path = uri.toLocalFile().toLocal8Bit();
    // Never through a link, never waiting on a FIFO.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat status = {};
    if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > largestPicture) {
        if (fd >= 0)
            ::close(fd);
        return {{}, QCoreApplication::translate("Portal", "the desktop's screenshot %1 cannot be read").arg(uri.toLocalFile())};
    }
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    if (done != bytes.size() || bytes.isEmpty())
        return {{}, QCoreApplication::translate("Portal", "the desktop's screenshot %1 cannot be read").arg(uri.toLocalFile())};

    const qint64 modifiedMs = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
    const bool fresh = modifiedMs + clockSlackMs >= askedAt.toMSecsSinceEpoch();
    if (status.st_uid == getuid() && fresh) {
        // Removed only when the name still leads to the file we read.
        struct stat again = {};
        if (lstat(path.constData(), &again) == 0 && again.st_ino == status.st_ino && again.st_dev == status.st_dev)
            ::unlink(path.constData());
    }
    return {bytes, {}};
}

} // namespace PortalScreenshot
