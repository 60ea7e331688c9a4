// SPDX-License-Identifier: MIT
#include "capture/pngfile.h"

#include "image/png.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char signature[] = "\x89PNG\r\n\x1a\n";
constexpr char endChunk[] = "\0\0\0\0IEND\xae\x42\x60\x82";

quint32 bigEndian32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint32(u[0]) << 24 | quint32(u[1]) << 16 | quint32(u[2]) << 8 | quint32(u[3]);
}

// Renames without ever replacing an existing file; file systems that cannot refuse a
// replacement atomically get a hard link, which refuses it too.
bool renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::link(src.constData(), dst.constData()) != 0)
        return false;
    ::unlink(src.constData());
    return true;
}

bool encode(const QImage &image, QIODevice *device)
{
    const QByteArray png = Png::encode(image);
    return !png.isEmpty() && device->write(png) == png.size();
}

} // namespace

namespace PngFile {

bool isComplete(const QString &path)
{
    const int fd = openRegular(path);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    if (file.size() < 8 + 25 + 12)
        return false;
    char head[8 + 8 + 8];
    if (file.read(head, sizeof head) != qint64(sizeof head))
        return false;
    if (memcmp(head, signature, 8) != 0 || bigEndian32(head + 8) != 13
        || memcmp(head + 12, "IHDR", 4) != 0 || bigEndian32(head + 16) == 0
        || bigEndian32(head + 20) == 0)
        return false;
    char tail[12];
    if (!file.seek(file.size() - 12) || file.read(tail, 12) != 12)
        return false;
    return memcmp(tail, endChunk, 12) == 0;
}

bool write(const QImage &image, const QString &path)
{
    if (image.isNull())
        return false;
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.kiwano-XXXXXX.part"));
    if (!temporary.open() || !encode(image, &temporary) || !temporary.flush())
        return false;
    // Grabs are private screenshots: the file stays 0600, as the temporary file was made.
    temporary.close();
    if (!renameNoReplace(temporary.fileName(), target.absoluteFilePath()))
        return false;
    temporary.setAutoRemove(false);
    return true;
}

} // namespace PngFile
