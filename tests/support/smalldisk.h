// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

// A tiny tmpfs mounted over a folder for the life of the object, to run out of room for real.
// Needs root (or CAP_SYS_ADMIN); `mounted` tells whether it worked, so the test can skip.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, const QByteArray &options) : m_folder(folder)
    {
        QDir().mkpath(folder);
        m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                            options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }

    // Uses up files (inodes) until exactly `left` can still be made.
    bool leaveInodes(qulonglong left) const
    {
        for (int n = 0;; ++n) {
            struct statvfs status;
            if (::statvfs(QFile::encodeName(m_folder).constData(), &status) != 0)
                return false;
            if (status.f_favail <= left)
                return status.f_favail == left;
            QFile filler(m_folder + QStringLiteral("/.filler-%1").arg(n));
            if (!filler.open(QIODevice::WriteOnly))
                return false;
        }
    }

    // Fills the data space but `left` bytes (rounded to pages).
    bool leaveBytes(qulonglong left) const
    {
        struct statvfs status;
        if (::statvfs(QFile::encodeName(m_folder).constData(), &status) != 0)
            return false;
        const qulonglong free = qulonglong(status.f_bavail) * status.f_frsize;
        if (free < left)
            return false;
        QFile filler(m_folder + QStringLiteral("/.filler-bytes"));
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(int(status.f_frsize), 'f');
        for (qulonglong written = 0; written + left < free; written += block.size())
            if (filler.write(block) != block.size() || !filler.flush())
                return false;
        return true;
    }

private:
    QString m_folder;
    bool m_mounted = false;
};
