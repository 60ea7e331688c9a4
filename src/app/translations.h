// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>

class QCoreApplication;

// The program's own texts, compiled in, and Qt's for its standard dialogs, in the user's language.
namespace Translations {

// Installs the translations for the first of the locale's languages that has ours; English, the
// language of the source, needs none. Returns the language installed ("de"), empty for none.
QString install(QCoreApplication &app, const QLocale &locale = QLocale());

// The languages compiled in ("de", "fr").
QStringList available();

} // namespace Translations
