// SPDX-License-Identifier: MIT
#include "app/capturetool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef KIWANO_LIBEXEC_FROM_BIN
#define KIWANO_LIBEXEC_FROM_BIN "../libexec/kiwano-snapper"
#endif

namespace CaptureTool {

QString path()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString beside = bin.filePath(QStringLiteral("kiwano-capture"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    const QString installed = QDir::cleanPath(
        bin.filePath(QStringLiteral(KIWANO_LIBEXEC_FROM_BIN "/kiwano-capture")));
    if (QFileInfo(installed).isExecutable())
        return installed;
    return beside;
}

QString missingMessage()
{
    return QCoreApplication::translate(
               "CaptureTool",
               "The capture tool is missing (looked for %1). Reinstall Kiwano Snapper to grab the screen.")
        .arg(QDir::toNativeSeparators(path()));
}

} // namespace CaptureTool
