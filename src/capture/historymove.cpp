// SPDX-License-Identifier: MIT
#include "capture/historymove.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Renames without ever replacing an existing file; file systems that cannot refuse a
// replacement atomically get a hard link, which refuses it too.
int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    ::unlink(from.constData());
    return 0;
}

bool writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Copies from into a new 0600 file beside the target folder's grabs and syncs it; its name
// ends up in temporary. Returns 0 or errno's code, and then leaves no file behind.
int copyToTemporary(const QByteArray &from, const QByteArray &targetFolder, QByteArray &temporary)
{
    const int source = ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (source < 0)
        return errno;
    struct stat status;
    if (::fstat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(source);
        return EINVAL;
    }
    temporary = targetFolder + "/.kiwano-move-XXXXXX";
    const int copy = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (copy < 0) {
        const int error = errno;
        ::close(source);
        return error;
    }
    int error = 0;
    off_t copied = 0;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(source, buffer.data(), size_t(buffer.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0)
            break;
        if (!writeAll(copy, buffer.constData(), got)) {
            error = errno;
            break;
        }
        copied += got;
    }
    // The copy must be whole and on disk before the original may go.
    if (error == 0 && copied != status.st_size)
        error = EIO;
    if (error == 0 && ::fsync(copy) != 0)
        error = errno;
    if (::close(copy) != 0 && error == 0)
        error = errno;
    ::close(source);
    if (error != 0)
        ::unlink(temporary.constData());
    return error;
}

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Renames every file; on a failure the ones already renamed go back. Returns 0 or the code.
int renameAll(const QList<QByteArray> &from, const QList<QByteArray> &to)
{
    for (qsizetype i = 0; i < from.size(); ++i) {
        if (const int error = renameNoReplace(from[i], to[i]); error != 0) {
            while (i-- > 0)
                renameNoReplace(to[i], from[i]);
            return error;
        }
    }
    return 0;
}

} // namespace

namespace HistoryMove {

int run(const QList<File> &files, const QString &targetFolder)
{
    QList<QByteArray> from, to;
    for (const File &file : files) {
        from.append(QFile::encodeName(file.from));
        to.append(QFile::encodeName(file.to));
    }
    const int renamed = renameAll(from, to);
    if (renamed != EXDEV)
        return renamed;

    // Another file system: whole copies first, under names that are no grab's.
    const QByteArray folder = QFile::encodeName(targetFolder);
    QList<QByteArray> copies;
    for (const QByteArray &source : std::as_const(from)) {
        QByteArray temporary;
        if (const int error = copyToTemporary(source, folder, temporary); error != 0) {
            for (const QByteArray &copy : std::as_const(copies))
                ::unlink(copy.constData());
            return error;
        }
        copies.append(temporary);
    }
    syncFolder(folder);
    for (qsizetype i = 0; i < copies.size(); ++i) {
        if (const int error = renameNoReplace(copies[i], to[i]); error != 0) {
            for (qsizetype j = 0; j < copies.size(); ++j)
                ::unlink((j < i ? to[j] : copies[j]).constData());
            return error;
        }
    }
    syncFolder(folder);
    for (const QByteArray &source : std::as_const(from))
        ::unlink(source.constData());
    return 0;
}

} // namespace HistoryMove
