// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "fakes/fakeclipboardservice.h"
#include "fakes/fakefrontapp.h"
#include "fakes/fakekeysender.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

using Item = ClipboardService::Item;

// One history over fakes, with its folder and preferences in a fresh temporary folder and a
// clock that the test moves.
struct ClipFixture
{
    ClipFixture()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath(QStringLiteral("config")));
        QDir().mkpath(storeDir());
    }

    QString storeDir() const { return home.filePath(QStringLiteral("KiwanoSnapper/Clipboard")); }
    QString itemDir(const ClipItem &item) const { return storeDir() + QLatin1Char('/') + idText(item.id); }
    Store &store() { return clipboard->store(); }

    Clipboard &open()
    {
        clipboard.reset();
        clipboard = std::make_unique<Clipboard>(&board, &front, &keys, storeDir());
        clipboard->setClock([this] { return now; });
        return *clipboard;
    }

    // Another application copies a second after the previous copy; one poll follows.
    void copy(const QList<Item> &items)
    {
        now = now.addSecs(1);
        board.offer(items);
        clipboard->check();
        clipboard->finishPendingCopies();
    }
    void copyText(const QString &text) { copy({{QStringLiteral("text/plain"), text.toUtf8()}}); }

    const QList<ClipItem> &items() const { return clipboard->items(); }
    QStringList titles() const
    {
        QStringList titles;
        for (const ClipItem &item : clipboard->items())
            titles.append(item.title);
        return titles;
    }

    QByteArray indexBytes() const
    {
        waitForWrites();
        QFile file(storeDir() + QStringLiteral("/index.json"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeIndex(const QByteArray &bytes) const
    {
        waitForWrites();
        QFile file(storeDir() + QStringLiteral("/index.json"));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
    }

    void waitForWrites() const
    {
        if (clipboard)
            clipboard->store().waitForWrites();
    }

    static QByteArray png(int width, int height)
    {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "png");
        return bytes;
    }

    QTemporaryDir home;
    FakeClipboardService board;
    FakeFrontApp front;
    FakeKeySender keys;
    std::unique_ptr<Clipboard> clipboard;
    QDateTime now = QDateTime(QDate(2026, 12, 5), QTime(9, 0), Qt::UTC);
};
