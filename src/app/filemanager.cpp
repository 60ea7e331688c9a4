// SPDX-License-Identifier: MIT
#include "app/filemanager.h"

#include "platform/reveal.h"

namespace FileManager {

void reveal(const QString &path)
{
    Reveal::showItem(path);
}

} // namespace FileManager
