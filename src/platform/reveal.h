// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// Shows files and folders in the user's file manager. Both return at once; the file manager is
// asked over D-Bus without waiting, and the folder opens through the desktop's handler for
// folders (QDesktopServices) when no file manager takes the request.
namespace Reveal {

// Selects the file in a file-manager window (org.freedesktop.FileManager1.ShowItems); without
// such a service, opens the folder that holds it.
void showItem(const QString &path, std::function<void()> failed = {});
// Opens the folder itself in a file-manager window (ShowFolders); without the service, opens it
// with the desktop's handler for folders.
void showFolder(const QString &path, std::function<void()> failed = {});

} // namespace Reveal
