// SPDX-License-Identifier: MIT
#pragma once

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "capture/history.h"
#include "capture/thumbnailcache.h"

// Points the data folders and the preferences at a temporary folder for the whole test process
// (the default history folder is fixed on first use) and empties them before each test.
class HistoryFixture
{
public:
    HistoryFixture()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("config"))));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           m_root.filePath(QStringLiteral("config")));
    }

    // Forgets the stored folder, empties the default one and every scratch folder.
    void reset()
    {
        preferences().remove(QStringLiteral("history.folder"));
        QDir(History::defaultDir()).removeRecursively();
        QDir(scratch()).removeRecursively();
        QDir().mkpath(scratch());
        History::thumbnails()->clear();
    }

    static QSettings preferences()
    {
        return QSettings(QSettings::IniFormat, QSettings::UserScope,
                         QStringLiteral("KiwanoSnapper"), QStringLiteral("KiwanoSnapper"));
    }

    QString scratch() const { return m_root.filePath(QStringLiteral("scratch")); }

    // An opaque image whose pixels depend on seed, so a wrong file or wrong crop shows.
    static QImage sample(const QSize &size, int seed = 0)
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < size.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < size.width(); ++x)
                line[x] = qRgb((x * 7 + seed) & 255, (y * 13 + seed * 3) & 255, (x ^ y) & 255);
        }
        return image;
    }

    static QString writePng(const QString &path, const QImage &image)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!image.save(path, "png"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QString writeBytes(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QByteArray pngBytes(const QImage &image)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "png");
        return bytes;
    }

    static QStringList names(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private:
    QTemporaryDir m_root;
};
