// SPDX-License-Identifier: MIT
#pragma once

#include <QMimeData>
#include <QUrl>

#include "capture/history.h"
#include "capture/historyfixture.h"

// Grab files in the sandboxed history folder of HistoryFixture.
namespace AppFixture {

// Writes count grabs, oldest first, so that the history lists the last one written first.
inline void writeGrabs(int count)
{
    for (int i = 0; i < count; ++i)
        HistoryFixture::writePng(History::dir() + QString("/grab-20260101-%1-ABCDEF.png").arg(i, 6, 10, QChar('0')),
                                 HistoryFixture::sample(QSize(48 + i, 32), i));
}

inline QMimeData *fileDrop(const QString &path)
{
    auto *mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(path)});
    return mime;
}

inline QMimeData *textDrop(const QString &text)
{
    auto *mime = new QMimeData;
    mime->setText(text);
    return mime;
}

} // namespace AppFixture
