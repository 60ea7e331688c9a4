// SPDX-License-Identifier: MIT
// Reading grab files: only regular files, never larger than their image can need; the decoding
// itself is Png's.
#include "capture/pngfile.h"

#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "image/png.h"

namespace {

// The largest frame a grab may decode to, and the room allowed beyond the pixels for metadata
// (colour profiles, text) and for compression that makes things worse.
constexpr qint64 frameBytesLimit = qint64(1) << 31;
constexpr qint64 metadataAllowance = 16 * 1024 * 1024;

// The whole file, when it is a regular file (never through a link, never a FIFO) no larger than
// its image can need, judged from the header before anything else is read.
std::optional<QByteArray> readBounded(const QString &path)
{
    const int fd = PngFile::openRegular(path);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QImageReader header(&file);
    const QSize size = header.size();
    if (size.isEmpty())
        return std::nullopt;
    // Eight bytes a pixel covers 16-bit RGBA stored uncompressed, each row with its filter byte.
    const qint64 pixelBytes = qint64(size.width()) * size.height() * 8 + size.height();
    if (qint64(size.width()) * size.height() * 4 > frameBytesLimit
        || file.size() > pixelBytes + pixelBytes / 64 + metadataAllowance)
        return std::nullopt;
    if (!file.seek(0))
        return std::nullopt;
    QByteArray bytes = file.read(file.size());
    if (bytes.size() != file.size())
        return std::nullopt;
    return bytes;
}

} // namespace

namespace PngFile {

int openRegular(const QString &path)
{
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer forever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

QImage read(const QString &path)
{
    // Read, not mapped: a file cut short by someone else while we decode must not kill us.
    const std::optional<QByteArray> bytes = readBounded(path);
    if (!bytes)
        return {};
    return Png::decode(*bytes);
}

QImage readScaled(const QString &path, const QSize &size)
{
    if (size.isEmpty())
        return {};
    const std::optional<QByteArray> bytes = readBounded(path);
    if (!bytes)
        return {};
    return Png::decodeScaled(*bytes, size);
}

QSize size(const QString &path)
{
    const int fd = openRegular(path);
    if (fd < 0)
        return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    QImageReader reader(&file);
    return reader.size();
}

} // namespace PngFile
