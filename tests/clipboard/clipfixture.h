// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "fakes/fakeclipboardservice.h"
#include "fakes/fakefrontapp.h"
#include "fakes/fakekeysender.h"
#include "support/files.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>

using Item = ClipboardService::Item;

// One entry of the index file as the history writes it, and the same with one part replaced.
inline const QByteArray validEntry = R"({"id":"6F1C5D2E-8B1A-4E5F-9C3D-2A7B8E9F0A1B","contents":[{"type":"text/plain","file":"0.bin"}],"title":"kept","hasImage":false,"firstCopied":"2026-12-05T09:59:23Z","lastCopied":"2026-12-05T09:59:23Z","copies":1,"pinned":false,"hash":"00"})";
inline QByteArray entryWith(const QByteArray &from, const QByteArray &to)
{
    return QByteArray(validEntry).replace(from, to);
}

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

    // Opens the history with these titles copied, the newest first as listed.
    Clipboard &openWith(const QStringList &newestFirst)
    {
        Clipboard &opened = open();
        for (auto title = newestFirst.crbegin(); title != newestFirst.crend(); ++title)
            copyText(*title);
        return opened;
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
    static QStringList titlesOf(const QList<ClipItem> &items)
    {
        QStringList titles;
        for (const ClipItem &item : items)
            titles.append(item.title);
        return titles;
    }
    QStringList titles() const { return titlesOf(clipboard->items()); }

    QByteArray indexBytes() const
    {
        waitForWrites();
        return TestFiles::read(storeDir() + QStringLiteral("/index.json"));
    }
    void writeIndex(const QByteArray &bytes) const
    {
        waitForWrites();
        TestFiles::write(storeDir() + QStringLiteral("/index.json"), bytes);
    }

    void waitForWrites() const
    {
        if (clipboard)
            clipboard->store().waitForWrites();
    }

    // A red picture, in PNG unless another format is named.
    static QByteArray png(int width, int height, const char *format = "png")
    {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }

    QTemporaryDir home;
    FakeClipboardService board;
    FakeFrontApp front;
    FakeKeySender keys;
    std::unique_ptr<Clipboard> clipboard;
    QDateTime now = QDateTime(QDate(2026, 12, 5), QTime(9, 0), Qt::UTC);
};
