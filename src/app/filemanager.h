// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The desktop's file manager.
namespace FileManager {

// Opens a file manager window with the file selected (org.freedesktop.FileManager1), or, when
// no file manager answers on the session bus, opens the file's folder.
void reveal(const QString &path);

} // namespace FileManager
