// SPDX-License-Identifier: MIT
#include "clipboard/storefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(qMin<qint64>(size, 1 << 30)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

namespace StoreFiles {

ReadResult readRegular(const QString &folder, const QString &name, qint64 maxSize)
{
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return {errno == ENOENT ? Presence::missing : Presence::unreadable, {}};
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    const int fd = ::openat(folderFd, QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    const int openError = errno;
    ::close(folderFd);
    if (fd < 0)
        return {openError == ENOENT ? Presence::missing : Presence::unreadable, {}};
    ReadResult result{Presence::unreadable, {}};
    struct stat status;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= maxSize) {
        // One byte more than announced tells a file that grows under us from a whole one.
        QByteArray bytes(qsizetype(status.st_size) + 1, Qt::Uninitialized);
        qsizetype filled = 0;
        bool failed = false;
        while (filled < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                failed = true;
            if (got <= 0)
                break;
            filled += got;
        }
        if (!failed && filled <= status.st_size) {
            bytes.truncate(filled);
            result = {Presence::read, bytes};
        }
    }
    ::close(fd);
    return result;
}

std::optional<Replacement> writeReplacement(const QString &path, const QByteArray &bytes)
{
    Replacement replacement{QFile::encodeName(path), QFile::encodeName(path) + ".XXXXXX", -1};
    replacement.fd = ::mkostemp(replacement.temporary.data(), O_CLOEXEC); // 0600
    if (replacement.fd < 0)
        return std::nullopt;
    if (!writeAll(replacement.fd, bytes.constData(), bytes.size())) {
        discard(replacement);
        return std::nullopt;
    }
    return replacement;
}

bool commit(Replacement &replacement, bool durable)
{
    bool ok = !durable || ::fsync(replacement.fd) == 0;
    const int error = errno;
    ok = ::close(replacement.fd) == 0 && ok;
    replacement.fd = -1;
    if (ok && ::rename(replacement.temporary.constData(), replacement.target.constData()) == 0) {
        if (durable)
            syncFolder(QFile::encodeName(QFileInfo(QFile::decodeName(replacement.target)).absolutePath()));
        return true;
    }
    const int failure = ok ? errno : error;
    ::unlink(replacement.temporary.constData());
    errno = failure;
    return false;
}

void discard(Replacement &replacement)
{
    const int error = errno;
    if (replacement.fd >= 0)
        ::close(replacement.fd);
    replacement.fd = -1;
    ::unlink(replacement.temporary.constData());
    errno = error;
}

bool writeAtomically(const QString &path, const QByteArray &bytes, bool durable)
{
    std::optional<Replacement> replacement = writeReplacement(path, bytes);
    return replacement && commit(*replacement, durable);
}

void removeTree(const QString &path)
{
    // remove_all looks at each entry with lstat: a link is removed itself, its target never.
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), ignored);
}

Folder preparePrivateFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::lstat(name.constData(), &status) == 0) {
        if (!S_ISDIR(status.st_mode))
            return Folder::unavailable;
        if (status.st_uid == ::geteuid())
            ::chmod(name.constData(), 0700);
        return Folder::ready;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (::mkdir(name.constData(), 0700) != 0) {
        // Someone else made it meanwhile: judge what stands there now.
        if (errno == EEXIST)
            return preparePrivateFolder(path);
        return Folder::unavailable;
    }
    ::chmod(name.constData(), 0700); // whatever the umask
    return Folder::created;
}

} // namespace StoreFiles
