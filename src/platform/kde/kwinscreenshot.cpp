// SPDX-License-Identifier: MIT
#include "platform/kde/kwinscreenshot.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <future>
#include <poll.h>
#include <unistd.h>

namespace {
const QString service = QStringLiteral("org.kde.KWin.ScreenShot2");
const QString path = QStringLiteral("/org/kde/KWin/ScreenShot2");

// Reads the pipe to its end, or until the deadline passes (then nothing).
QByteArray readAll(int fd, QDeadlineTimer deadline)
{
    QByteArray data;
    char buffer[1 << 16];
    for (;;) {
        pollfd wanted{fd, POLLIN, 0};
        const int ready = ::poll(&wanted, 1, int(std::max<qint64>(deadline.remainingTime(), 0)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {};
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {};
        if (n == 0)
            return data;
        data.append(buffer, n);
    }
}
} // namespace

namespace KWinScreenShot {

bool isOffered(QDBusConnection bus)
{
    return bus.isConnected() && bus.interface()->isServiceRegistered(service).value();
}

Result take(Target target, int timeoutMs, QDBusConnection bus)
{
    Result result;
    if (!bus.isConnected()) {
        result.refused = true;
        result.error = QStringLiteral("no session bus");
        return result;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        result.error = QStringLiteral("no pipe for KWin's picture: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return result;
    }
    const QDeadlineTimer deadline(timeoutMs);
    // KWin writes the pixels while or after it answers: the pipe is read meanwhile.
    std::future<QByteArray> pixels = std::async(std::launch::async, [fd = ends[0], deadline] {
        QByteArray data = readAll(fd, deadline);
        ::close(fd);
        return data;
    });
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, service,
        target == Target::workspace ? QStringLiteral("CaptureWorkspace") : QStringLiteral("CaptureActiveScreen"));
    const QVariantMap options{{QStringLiteral("native-resolution"), true},
                              {QStringLiteral("include-cursor"), false}};
    {
        QDBusUnixFileDescriptor writeEnd(ends[1]); // holds a copy of its own
        ::close(ends[1]);
        call << options << QVariant::fromValue(writeEnd);
    }
    const QDBusMessage answer = bus.call(call, QDBus::Block, int(std::max<qint64>(deadline.remainingTime(), 1)));
    // Our copy of the write end is gone with the message: the pipe ends when KWin's copy does.
    call = QDBusMessage();
    if (answer.type() != QDBusMessage::ReplyMessage) {
        const QString name = answer.errorName();
        result.refused = name.endsWith(QLatin1String(".NoAuthorized"))
            || name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
            || name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod");
        result.error = result.refused && name.endsWith(QLatin1String(".NoAuthorized"))
            ? QStringLiteral("KWin does not let this program take screenshots (%1)").arg(answer.errorMessage())
            : QStringLiteral("KWin's screenshot failed: %1").arg(answer.errorMessage());
        pixels.wait();
        return result;
    }
    const QVariantMap results = qdbus_cast<QVariantMap>(answer.arguments().value(0));
    const QByteArray data = pixels.get();
    const int width = results.value(QStringLiteral("width")).toInt();
    const int height = results.value(QStringLiteral("height")).toInt();
    const int stride = results.value(QStringLiteral("stride")).toInt();
    const auto format = QImage::Format(results.value(QStringLiteral("format")).toInt());
    if (results.value(QStringLiteral("type")).toString() != QLatin1String("raw") || width <= 0 || height <= 0
        || stride <= 0 || format <= QImage::Format_Invalid || format >= QImage::NImageFormats
        || data.size() < qsizetype(stride) * height) {
        result.error = data.isEmpty() && deadline.hasExpired()
            ? QStringLiteral("KWin sent no picture within %1 ms").arg(timeoutMs)
            : QStringLiteral("KWin's picture is no picture we can read (%1 bytes)").arg(data.size());
        return result;
    }
    const QImage view(reinterpret_cast<const uchar *>(data.constData()), width, height, stride, format);
    result.picture = view.convertToFormat(QImage::Format_RGB32);
    return result;
}

} // namespace KWinScreenShot
