// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One quote of ZOG, the mascot, as the bundled quotes file holds it.
struct ZogQuote
{
    int id = 0;
    std::optional<QString> setup;   // lines leading up to the quote, joined by " / "
    QString quote;

    // The setup split at every " / ", untrimmed; empty without a setup.
    QStringList setupLines() const;

    // Every quote of the bundled file, read once; empty for the rest of the run when the file
    // is missing or malformed. In the language chosen by useLanguage(), English otherwise; every
    // language has the same quotes under the same ids, in the same order.
    static const QList<ZogQuote> &all();
    // Picks the bundled quotes of a language ("de") for all(); English when there are none in
    // it. Takes effect only before the first call of all().
    static void useLanguage(const QString &language);
    // The resource path of a language's quotes file; the English one for an empty language.
    static QString path(const QString &language);
    // A quote drawn uniformly from all(); nothing when there are none.
    static std::optional<ZogQuote> random();
    // Decodes a JSON array of quote objects; nothing when any record lacks "id" or "quote" or the
    // text is not such an array.
    static std::optional<QList<ZogQuote>> decode(const QByteArray &json);
    // The quotes of a file (a resource path works too); empty when it cannot be read or decoded.
    static QList<ZogQuote> load(const QString &path);

    friend bool operator==(const ZogQuote &, const ZogQuote &) = default;
};
