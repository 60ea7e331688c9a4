// SPDX-License-Identifier: MIT
#include "clipboard/indexsync.h"

#include <QThreadPool>

#include <condition_variable>
#include <mutex>
#include <optional>

namespace {

class Committer
{
public:
    Committer() { m_pool.setMaxThreadCount(1); }
    // The last index reaches its place before the process ends.
    ~Committer() { wait(); }

    void submit(StoreFiles::Replacement replacement)
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

    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return !m_running; });
    }

private:
    void run()
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
            lock.unlock();
            // A failure leaves the previous index; the next save writes the whole list again.
            StoreFiles::commit(replacement, true);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_idle;
    std::optional<StoreFiles::Replacement> m_next;
    bool m_running = false;
    QThreadPool m_pool;
};

Committer &committer()
{
    static Committer instance;
    return instance;
}

} // namespace

namespace IndexSync {

void submit(StoreFiles::Replacement replacement)
{
    committer().submit(std::move(replacement));
}

void wait()
{
    committer().wait();
}

} // namespace IndexSync
