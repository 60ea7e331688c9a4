// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

// Display names of applications by the identifiers the front-application service reports.
namespace AppNames {

// The Name of the installed desktop file with this id, or else of the one whose StartupWMClass
// it is; nothing when none is installed. Found names are kept for the whole process.
std::optional<QString> name(const QString &id);

} // namespace AppNames
