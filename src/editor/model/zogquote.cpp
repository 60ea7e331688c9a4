// SPDX-License-Identifier: MIT
#include "editor/model/zogquote.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

QStringList ZogQuote::setupLines() const
{
    if (!setup)
        return {};
    return setup->split(QStringLiteral(" / "));
}

std::optional<QList<ZogQuote>> ZogQuote::decode(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;

    QList<ZogQuote> quotes;
    for (const QJsonValue &value : document.array()) {
        if (!value.isObject())
            return std::nullopt;
        const QJsonObject object = value.toObject();
        const QJsonValue id = object.value(QLatin1String("id"));
        const QJsonValue quote = object.value(QLatin1String("quote"));
        const QJsonValue setup = object.value(QLatin1String("setup"));
        // An id must be a whole number; 3.5 is as unusable as a missing one.
        if (!id.isDouble() || id.toDouble() != double(id.toInt()) || !quote.isString())
            return std::nullopt;
        if (!setup.isUndefined() && !setup.isNull() && !setup.isString())
            return std::nullopt;

        ZogQuote record;
        record.id = id.toInt();
        record.quote = quote.toString();
        if (setup.isString())
            record.setup = setup.toString();
        quotes.append(record);
    }
    return quotes;
}

QList<ZogQuote> ZogQuote::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decode(file.readAll()).value_or(QList<ZogQuote>());
}

namespace {

QString &chosenLanguage()
{
    static QString language;
    return language;
}

} // namespace

void ZogQuote::useLanguage(const QString &language)
{
    chosenLanguage() = language;
}

QString ZogQuote::path(const QString &language)
{
    if (language.isEmpty())
        return QStringLiteral(":/zog-quotes.json");
    return QStringLiteral(":/zog-quotes.%1.json").arg(language);
}

const QList<ZogQuote> &ZogQuote::all()
{
    static const QList<ZogQuote> quotes = [] {
        const QList<ZogQuote> own = load(path(chosenLanguage()));
        return own.isEmpty() ? load(path({})) : own;
    }();
    return quotes;
}

std::optional<ZogQuote> ZogQuote::random()
{
    const QList<ZogQuote> &quotes = all();
    if (quotes.isEmpty())
        return std::nullopt;
    return quotes.at(QRandomGenerator::system()->bounded(quotes.size()));
}
