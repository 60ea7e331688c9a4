// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/storefiles.h"

#include <QStringList>
#include <QThreadPool>

#include <condition_variable>
#include <mutex>
#include <optional>

// Puts written index files in place on a thread of its own: syncing a file and its folder costs
// several milliseconds, more than recording a copy may take on the main thread. Commits happen in
// the order submitted; one superseded before its turn is dropped, since each index is whole.
// Until a commit is done the previous index stays in place, so a crash meanwhile leaves the
// previous history.
class IndexSync
{
public:
    IndexSync();
    // The last index reaches its place before this goes.
    ~IndexSync();
    Q_DISABLE_COPY_MOVE(IndexSync)

    void submit(StoreFiles::Replacement replacement);
    // The files of this entry folder reach the disk before the next index that names them.
    void syncBeforeNextIndex(const QString &entryFolder);
    // Blocks until every submitted index is in place (or failed).
    void wait();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_idle;
    std::optional<StoreFiles::Replacement> m_next;
    QStringList m_folders;
    bool m_running = false;
    QThreadPool m_pool;
};
