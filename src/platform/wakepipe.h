// SPDX-License-Identifier: MIT
#pragma once

#include <fcntl.h>
#include <unistd.h>

// A pipe that lets one thread wake another out of poll(): any thread calls wake(); the one that
// sleeps polls readEnd() and drains it when it wants to sleep again.
class WakePipe
{
public:
    WakePipe() = default;
    ~WakePipe() { close(); }
    WakePipe(const WakePipe &) = delete;
    WakePipe &operator=(const WakePipe &) = delete;

    // False when no pipe could be made.
    bool open()
    {
        close();
        return ::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) == 0;
    }
    void close()
    {
        for (int &fd : m_fds) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }
    int readEnd() const { return m_fds[0]; }
    void wake() const
    {
        const char byte = 1;
        [[maybe_unused]] const auto written = ::write(m_fds[1], &byte, 1);
    }
    void drain() const
    {
        char drained[64];
        while (::read(m_fds[0], drained, sizeof drained) > 0) {
        }
    }

private:
    int m_fds[2] = {-1, -1};
};
