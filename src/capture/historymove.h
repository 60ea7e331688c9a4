// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

// Moving grab files to another folder all at once or not at all.
namespace HistoryMove {

struct File
{
    QString from;
    QString to;
};

// Moves every file to its new name in targetFolder, never replacing a file there. Returns 0 when
// all moved; otherwise errno's code of the first failure, and every file is where it was, whole,
// with nothing left under a new name. Within one file system the files are renamed; across file
// systems they are copied under temporary names, checked, and only then given their names.
int run(const QList<File> &files, const QString &targetFolder);

} // namespace HistoryMove
