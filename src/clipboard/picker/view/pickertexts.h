// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

// The words of the picker that depend on an entry or a setting.
namespace PickerTexts {

// "From Files  ·  Copied 3x  ·  Dec 5, 2026 at 10:11 AM  ·  Pinned", each part only when it
// applies. appName finds an application's display name.
QString details(const ClipItem &item,
                const std::function<std::optional<QString>(const QString &)> &appName,
                const QLocale &locale = QLocale());
// The keys of the footer: which of Return and Alt+Return pastes follows the setting.
QString hint(bool pasteAutomatically);
// Shown when Return should paste but this session cannot type for the user.
QString sessionWarning();
// "Ctrl+1" to "Ctrl+9" for the first nine rows, empty below them.
QString badge(int index);

} // namespace PickerTexts
