// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// One clipboard type with its bytes, as captured from the clipboard or read back from disk.
struct Representation
{
    QString type;
    QByteArray data;

    friend bool operator==(const Representation &, const Representation &) = default;
};

// One stored representation of a clip: its type and the file holding its bytes in the item folder.
struct ClipContent
{
    QString type;
    QString file;

    friend bool operator==(const ClipContent &, const ClipContent &) = default;
};

// One remembered copy. Only lastCopied, copies, app and pinned change after creation.
struct ClipItem
{
    QUuid id;
    QList<ClipContent> contents;
    QString title;
    bool hasImage = false;
    std::optional<QString> app;
    QDateTime firstCopied;
    QDateTime lastCopied;
    qint64 copies = 1;
    bool pinned = false;
    QString hash;

    friend bool operator==(const ClipItem &, const ClipItem &) = default;
};

// The canonical upper-case text of an identifier, as used for folder names and in the index.
inline QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}
