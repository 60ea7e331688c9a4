// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "capture/history.h"
#include "capture/thumbnailcache.h"

// Points data and preferences at a temporary folder for the whole process (the default history
// folder is fixed on first use); reset() empties them before each test.
class HistoryFixture
{
public:
    HistoryFixture()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("config"))));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_root.filePath(QStringLiteral("config")));
    }

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
        return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KiwanoSnapper"),
                         QStringLiteral("KiwanoSnapper"));
    }

    QString scratch() const { return m_root.filePath(QStringLiteral("scratch")); }

    // Opaque pixels that depend on seed, so a wrong file or a wrong crop shows.
    static QImage sample(const QSize &size, int seed = 0)
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 13 + seed * 3) & 255, (x ^ y) & 255));
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

    // An executable shell script.
    static QString writeScript(const QString &path, const QString &body)
    {
        writeBytes(path, ("#!/bin/sh\n" + body + "\n").toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    static QStringList names(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private:
    QTemporaryDir m_root;
};
