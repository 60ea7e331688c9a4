// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// A thread of its own that runs the jobs posted to it one after another, in the order posted.
// stop() (and the destructor) lets the job that runs end, drops the ones queued behind it and
// joins the thread; an owner whose jobs use its members stops it before those go away.
class JobThread
{
public:
    JobThread()
        : m_thread([this] { run(); })
    {
    }
    ~JobThread() { stop(); }
    JobThread(const JobThread &) = delete;
    JobThread &operator=(const JobThread &) = delete;

    void post(std::function<void()> job)
    {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_one();
    }

    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    void run()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
                if (m_stop)
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
    }

    std::mutex m_mutex; // guards the two below
    std::deque<std::function<void()>> m_jobs;
    bool m_stop = false;
    std::condition_variable m_wake;
    std::thread m_thread; // last, so that it starts once the rest is there
};
