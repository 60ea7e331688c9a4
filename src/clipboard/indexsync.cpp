// SPDX-License-Identifier: MIT
#include "clipboard/indexsync.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace {

void syncDescriptor(int fd)
{
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Every regular file of the folder, then the folder itself; links are not followed.
void syncFolderAndFiles(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    if (DIR *entries = ::fdopendir(::dup(fd))) {
        while (const dirent *entry = ::readdir(entries)) {
            if (entry->d_type == DT_REG)
                syncDescriptor(::openat(fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        }
        ::closedir(entries);
    }
    syncDescriptor(fd);
}

} // namespace

IndexSync::IndexSync()
{
    m_pool.setMaxThreadCount(1);
}

IndexSync::~IndexSync()
{
    wait();
}

void IndexSync::submit(StoreFiles::Replacement replacement)
{
    std::lock_guard lock(m_mutex);
    if (m_next)
        StoreFiles::discard(*m_next);
    m_next = std::move(replacement);
    if (!m_running) {
        m_running = true;
        m_pool.start([this] { run(); });
    }
}

void IndexSync::syncBeforeNextIndex(const QString &entryFolder)
{
    std::lock_guard lock(m_mutex);
    m_folders.append(entryFolder);
}

void IndexSync::wait()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_running; });
}

void IndexSync::run()
{
    for (;;) {
        std::unique_lock lock(m_mutex);
        if (!m_next) {
            m_running = false;
            m_idle.notify_all();
            return;
        }
        StoreFiles::Replacement replacement = std::move(*m_next);
        m_next.reset();
        const QStringList folders = std::exchange(m_folders, {});
        lock.unlock();
        // The entries' files, then the folder naming them, before an index that lists them.
        for (const QString &folder : folders)
            syncFolderAndFiles(folder);
        if (!folders.isEmpty())
            syncDescriptor(::open(replacement.target.left(replacement.target.lastIndexOf('/')).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        // A failure leaves the previous index; the next save writes the whole list again.
        StoreFiles::commit(replacement, true);
    }
}
