// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Asks for a folder: starting in start, folders only, new folders allowed, the accept button
// titled confirm. Nothing when the user cancels.
using FolderChooser = std::function<std::optional<QString>(QWidget *parent, const QString &start,
                                                           const QString &confirm)>;

namespace FolderChoosers {
// Qt's own folder dialog, so that the accept button can carry its title on every desktop.
std::optional<QString> dialog(QWidget *parent, const QString &start, const QString &confirm);
} // namespace FolderChoosers
