// SPDX-License-Identifier: MIT
#include "app/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

const QString folder = QStringLiteral(":/i18n");
const QString prefix = QStringLiteral("kiwano-snapper_");

} // namespace

namespace Translations {

QString install(QCoreApplication &app, const QLocale &locale)
{
    auto *own = new QTranslator(&app);
    // Tries each of the user's languages in turn (LANGUAGE, then LC_MESSAGES or LANG), each from
    // its full name down to the bare language.
    if (!own->load(locale, QStringLiteral("kiwano-snapper"), QStringLiteral("_"), folder)) {
        delete own;
        return {};
    }
    app.installTranslator(own);
    const QString language = own->language();

    // Qt's own texts (the buttons of the file dialog and message boxes), where the distribution
    // installs them; in the same language as ours, so that one window never mixes two.
    auto *qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
    else
        delete qt;
    return language;
}

QStringList available()
{
    QStringList languages;
    for (const QString &file : QDir(folder).entryList({prefix + QStringLiteral("*.qm")}, QDir::Files, QDir::Name))
        languages << file.mid(prefix.size()).chopped(3);
    return languages;
}

} // namespace Translations
