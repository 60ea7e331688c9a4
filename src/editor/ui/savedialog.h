// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace SaveDialog {

// The desktop's file dialog asking where to save a PNG: it opens in folder with fileName
// proposed; the chosen file, or nothing when the user cancels.
std::optional<QString> ask(const QString &folder, const QString &fileName);

} // namespace SaveDialog
