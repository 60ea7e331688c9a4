// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "capture/history.h"
#include "capture/thumbnailcache.h"
#include "support/files.h"

// Data and preferences live in a temporary folder for the whole process, since the default
// history folder is fixed on first use; reset() empties them before each test. The home is there
// too, so that grabs sent to the trash land in the trash of that data folder, whatever file
// system the real home is on.
class HistoryFixture
{
public:
    HistoryFixture()
    {
        qputenv("HOME", QFile::encodeName(m_root.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root.filePath("config")));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_root.filePath("config"));
    }
    void reset()
    {
        preferences().remove("history.folder");
        QDir(History::defaultDir()).removeRecursively();
        QDir(trash()).removeRecursively();
        QFile::remove(trash()); // where a test kept the trash from being made
        QDir(scratch()).removeRecursively();
        QDir().mkpath(scratch());
        History::thumbnails()->clear();
    }
    static QSettings preferences() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapper"); }
    QString trash() const { return m_root.filePath("data/Trash"); }
    QString scratch(const QString &name = {}) const { return m_root.filePath("scratch") + (name.isEmpty() ? "" : "/" + name); }

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
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "png"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    static QString writeBytes(const QString &path, const QByteArray &bytes, QFile::Permissions permissions = {})
    {
        if (!TestFiles::write(path, bytes, permissions))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    static QString writeScript(const QString &path, const QString &body)
    {
        return writeBytes(path, ("#!/bin/sh\n" + body + "\n").toUtf8(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    static QStringList names(const QString &folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

private:
    QTemporaryDir m_root;
};
