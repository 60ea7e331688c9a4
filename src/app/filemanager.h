// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// The desktop's file manager.
namespace FileManager {

// Opens a file manager window with the file selected (org.freedesktop.FileManager1), or, when
// no file manager answers on the session bus, opens the file's folder. When neither works, the
// failure handler hears of it on a later turn.
void reveal(const QString &path);
// What is done with a path that nothing could show; the composition root sets it once.
void setOnFailure(std::function<void(const QString &path)> handler);

} // namespace FileManager
